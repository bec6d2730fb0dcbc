// The About and Notice windows and the two labels that show and hide them.
#include "app/app_state.h"
#include "ui/info_windows.h"
#include "ui/main_window.h"
#include "event_loop.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTest>

#include <memory>

using quenmark::ui::MainWindow;

class InfoWindowsTest : public QObject {
    Q_OBJECT

private:
    quenmark::app::AppState state_;
    std::unique_ptr<MainWindow> window_;

    QWidget* label(const char* name) const
    {
        return window_->findChild<QWidget*>(QString::fromUtf8(name));
    }
    static QLabel* child_label(QWidget* window, const char* name)
    {
        return window->findChild<QLabel*>(QString::fromUtf8(name));
    }
    QWidget* open_window(bool about) const
    {
        return about ? window_->about_window() : window_->notice_window();
    }

private slots:
    void init()
    {
        window_ = quenmark::ui::create_main_window(state_);
        QVERIFY(window_ != nullptr);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }
    void cleanup() { window_.reset(); }

    void label_press_toggles_data()
    {
        QTest::addColumn<bool>("about");
        QTest::newRow("超级链接框1") << true;
        QTest::newRow("超级链接框2") << false;
    }

    void label_press_toggles()
    {
        QFETCH(bool, about);
        QWidget* link = label(QTest::currentDataTag());

        // The press acts; the release that follows changes nothing.
        QTest::mousePress(link, Qt::LeftButton);
        QVERIFY(open_window(about) != nullptr);
        QTest::mouseRelease(link, Qt::LeftButton);
        QVERIFY(open_window(about) != nullptr);
        QTest::mousePress(link, Qt::RightButton);
        QVERIFY(open_window(about) != nullptr);

        QPointer<QWidget> first = open_window(about);
        QTest::mouseClick(link, Qt::LeftButton);
        QVERIFY(open_window(about) == nullptr);
        QVERIFY(first.isNull());

        // Closed by the user, it opens again, built anew, on the next press.
        QTest::mouseClick(link, Qt::LeftButton);
        QPointer<QWidget> second = open_window(about);
        QVERIFY(second != nullptr);
        QVERIFY(second->close());
        QVERIFY(open_window(about) == nullptr);
        QTest::mouseClick(link, Qt::LeftButton);
        QVERIFY(open_window(about) != nullptr);
        QTRY_VERIFY(second.isNull());
    }

    void windows_are_owned_and_not_modal()
    {
        window_->toggle_about();
        window_->toggle_notice();
        QWidget* about = window_->about_window();
        QWidget* notice = window_->notice_window();
        QVERIFY(about != nullptr && notice != nullptr);
        for (QWidget* window : {about, notice}) {
            QVERIFY(window->isWindow());
            QCOMPARE(window->parentWidget(), window_.get());
            QCOMPARE(window->windowModality(), Qt::NonModal);
            QCOMPARE(window->minimumSize(), window->maximumSize());
            QVERIFY(!window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        }
        // The main window stays usable with both open.
        window_->findChild<QWidget*>(QStringLiteral("按钮6"))->setFocus();
        QVERIFY(window_->isEnabled());
    }

    void info_windows_stay_usable_while_the_main_window_is_disabled()
    {
        window_->toggle_notice();
        window_->set_disabled(true);
        QVERIFY(!window_->isEnabled());
        QVERIFY(window_->notice_window()->isEnabled());
        window_->set_disabled(false);
        QVERIFY(window_->isEnabled());
        QVERIFY(window_->notice_window()->isEnabled());
    }

    void escape_closes_only_the_info_window()
    {
        window_->toggle_about();
        QWidget* about = window_->about_window();
        about->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), about);
        QTest::keyClick(about, Qt::Key_Escape);
        QVERIFY(window_->about_window() == nullptr);
        QVERIFY(window_->isVisible());
    }

    void closing_the_main_window_destroys_both()
    {
        window_->toggle_about();
        window_->toggle_notice();
        QPointer<QWidget> about = window_->about_window();
        QPointer<QWidget> notice = window_->notice_window();
        // Both go with the main window, so nothing keeps the program running.
        QVERIFY(loop_ends_after([this] { window_->close(); }));
        QVERIFY(about.isNull());
        QVERIFY(notice.isNull());
        // Once closing, the labels open nothing more.
        window_->toggle_about();
        QVERIFY(window_->about_window() == nullptr);
    }

    void about_content()
    {
        window_->toggle_about();
        QWidget* about = window_->about_window();
        QCOMPARE(about->windowTitle(), QStringLiteral("关于"));
        QCOMPARE(about->size(), QSize(374, 200)); // outer 380 x 229

        QLabel* picture = child_label(about, "图片框1");
        QCOMPARE(picture->geometry(), QRect(127, 8, 120, 100));
        const QImage image = picture->pixmap().toImage();
        QCOMPARE(image.size(), QSize(64, 64));
        QVERIFY(image.hasAlphaChannel());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);

        QLabel* name = child_label(about, "透明标签1");
        QCOMPARE(name->geometry(), QRect(83, 117, 208, 32));
        QCOMPARE(name->text(), QStringLiteral("Quenmark"));
        QCOMPARE(name->font().pixelSize(), 16);
        QCOMPARE(name->font().weight(), QFont::Bold);
        QCOMPARE(name->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

        QLabel* credit = child_label(about, "透明标签2");
        QCOMPARE(credit->geometry(), QRect(60, 152, 253, 32));
        QVERIFY(!credit->text().isEmpty());
        QVERIFY(!credit->text().contains(QLatin1Char('\n')));
        QCOMPARE(credit->font().pixelSize(), 14);
        QCOMPARE(credit->font().weight(), QFont::Bold);
    }

    void notice_content()
    {
        window_->toggle_notice();
        QWidget* notice = window_->notice_window();
        QCOMPARE(notice->windowTitle(), QStringLiteral("使用须知"));
        QCOMPARE(notice->size(), QSize(495, 167)); // outer 501 x 196

        QLabel* text = child_label(notice, "透明标签1");
        QCOMPARE(text->geometry(), QRect(16, 16, 456, 144));
        QCOMPARE(text->font().pixelSize(), 14);
        QCOMPARE(text->font().weight(), QFont::Normal);
        QVERIFY(text->wordWrap());
        QCOMPARE(text->text(), quenmark::ui::notice_text());

        const QStringList lines = text->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QStringLiteral("请勿用于任何非法、商业用途（包括但不限于使用本软件传播非法链接）"));
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QString(70, QLatin1Char('-')));
        QCOMPARE(lines[3], QStringLiteral("特别鸣谢："));
        // The thanked parties: each item begins with a middle dot, one blank between items.
        const QStringList thanked = lines[4].split(QLatin1Char(' '));
        QVERIFY(thanked.size() >= 2);
        for (const QString& item : thanked)
            QVERIFY2(item.size() > 1 && item.startsWith(QStringLiteral("·")), qPrintable(item));
        QCOMPARE(lines[5], QStringLiteral("·以及提供短网址服务的网站们"));
        QCOMPARE(lines[6], lines[2]);
    }
};

QTEST_MAIN(InfoWindowsTest)
#include "info_windows_test.moc"
