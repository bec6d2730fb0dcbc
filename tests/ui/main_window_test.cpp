// The main window: layout, initial state, small commands, file drops and the
// Controls served to worker threads.
#include "app/app_state.h"
#include "config/services_config.h"
#include "ui/main_window.h"
#include "event_loop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QUrl>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

using quenmark::text::Text;
using quenmark::ui::MainWindow;

namespace {

// "中文" and "链接" in the local code page.
const Text zhong_wen = "\xD6\xD0\xCE\xC4";
const Text lian_jie = "\xC1\xB4\xBD\xD3";

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    quenmark::app::AppState state_;
    std::unique_ptr<MainWindow> window_;

    template <typename Widget = QWidget>
    Widget* find(const char* name) const
    {
        return window_->findChild<Widget*>(QString::fromUtf8(name));
    }
    QPlainTextEdit* box(const char* name) const { return find<QPlainTextEdit>(name); }

private slots:
    void init()
    {
        window_ = quenmark::ui::create_main_window(state_);
        QVERIFY(window_ != nullptr);
    }
    void cleanup() { window_.reset(); }

    void window_frame()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Quenmark"));
        // The outer 456 x 327 less a 3-pixel frame and a 23-pixel title bar.
        QCOMPARE(window_->size(), QSize(450, 298));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        const Qt::WindowFlags flags = window_->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        // Centred: the outer rectangle's middle is the screen's.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window_->pos(), screen.topLeft() + QPoint((screen.width() - 456) / 2,
                                                           (screen.height() - 327) / 2));
    }

    void control_layout_data()
    {
        QTest::addColumn<QString>("parent");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("pixels");

        const auto row = [](const char* name, const char* parent, QRect geometry, const char* kind,
                            const char* caption, int pixels = 12) {
            QTest::newRow(name) << QString::fromUtf8(parent) << geometry << QString::fromUtf8(kind)
                                << QString::fromUtf8(caption) << pixels;
        };
        row("分组框1", "", {8, 8, 272, 153}, "QGroupBox", "长链接");
        row("编辑框1", "分组框1", {7, 18, 257, 106}, "QPlainTextEdit", "");
        row("按钮1", "分组框1", {6, 127, 259, 20}, "QPushButton", "导入");
        row("透明标签1", "分组框1", {72, 128, 192, 20}, "QLabel", "");
        row("按钮6", "分组框1", {249, 3, 16, 14}, "QPushButton", "×");
        row("分组框2", "", {8, 168, 272, 122}, "QGroupBox", "被缩短的链接");
        row("编辑框2", "分组框2", {8, 19, 255, 96}, "QPlainTextEdit", "");
        row("按钮5", "分组框2", {248, 4, 16, 14}, "QPushButton", "×");
        row("按钮2", "", {289, 16, 156, 64}, "QPushButton", "一键缩短", 16);
        row("按钮3", "", {289, 88, 80, 32}, "QPushButton", "全部复制");
        row("按钮4", "", {376, 88, 69, 32}, "QPushButton", "指定复制");
        row("选择框2", "", {290, 136, 72, 24}, "QCheckBox", "导入过滤");
        row("选择框1", "", {370, 136, 70, 24}, "QCheckBox", "使用延迟");
        row("分组框3", "", {290, 168, 151, 122}, "QGroupBox", "选择域名");
        row("单选框3", "分组框3", {9, 18, 48, 24}, "QRadioButton", quenmark::config::service_caption[2].data());
        row("单选框2", "分组框3", {89, 18, 48, 24}, "QRadioButton", quenmark::config::service_caption[1].data());
        row("单选框6", "分组框3", {9, 42, 64, 24}, "QRadioButton", quenmark::config::service_caption[5].data());
        row("单选框5", "分组框3", {89, 42, 48, 24}, "QRadioButton", quenmark::config::service_caption[4].data());
        row("单选框1", "分组框3", {9, 66, 69, 24}, "QRadioButton", quenmark::config::service_caption[0].data());
        row("单选框4", "分组框3", {89, 66, 48, 24}, "QRadioButton", quenmark::config::service_caption[3].data());
        row("超级链接框1", "分组框3", {23, 94, 36, 24}, "QLabel", "关于");
        row("超级链接框2", "分组框3", {75, 94, 54, 24}, "QLabel", "使用须知");
    }

    void control_layout()
    {
        QFETCH(QString, parent);
        QFETCH(QRect, geometry);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(int, pixels);

        QWidget* widget = find(QTest::currentDataTag());
        QVERIFY(widget != nullptr);
        QCOMPARE(widget->parentWidget() == window_.get() ? QString() : widget->parentWidget()->objectName(),
                 parent);
        QCOMPARE(widget->geometry(), geometry);
        QVERIFY(widget->inherits(kind.toLatin1().constData()));
        if (auto* group = qobject_cast<QGroupBox*>(widget))
            QCOMPARE(group->title(), caption);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), caption);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), caption);
        else
            QCOMPARE(qobject_cast<QPlainTextEdit*>(widget)->toPlainText(), caption);
        QCOMPARE(widget->font().pixelSize(), pixels);
        QCOMPARE(widget->font().weight(), QFont::Normal);
        QVERIFY(widget->font().families().contains(QStringLiteral("Microsoft YaHei")));
        QVERIFY(widget->font().families().contains(QStringLiteral("Noto Sans CJK SC")));
    }

    void initial_state()
    {
        const char* radios[] = {"单选框1", "单选框2", "单选框3", "单选框4", "单选框5", "单选框6"};
        for (const char* radio : radios)
            QCOMPARE(window_->is_checked(radio), std::string(radio) == "单选框3");
        QVERIFY(!window_->is_checked("选择框1"));
        QVERIFY(!window_->is_checked("选择框2"));
        QVERIFY(find("透明标签1")->isHidden());
        QCOMPARE(window_->width_of("按钮1"), 259);
        QVERIFY(!window_->is_disabled());

        for (const char* name : {"编辑框1", "编辑框2"}) {
            QPlainTextEdit* edit = box(name);
            QCOMPARE(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
            QCOMPARE(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QCOMPARE(edit->toPlainText(), QString());
        }
        QVERIFY(!box("编辑框1")->isReadOnly());
        QVERIFY(box("编辑框2")->isReadOnly());

        // One group: choosing another service unchecks service 3.
        find<QRadioButton>("单选框1")->click();
        QVERIFY(window_->is_checked("单选框1"));
        QVERIFY(!window_->is_checked("单选框3"));
    }

    void tooltips_data()
    {
        QTest::addColumn<QString>("tip");
        QTest::newRow("按钮1") << QStringLiteral("批量导入请一行一条");
        QTest::newRow("按钮4") << QStringLiteral("如果有转换失败的问题，也可以截图指定复制的窗口反馈给开发者");
        QTest::newRow("选择框1") << QStringLiteral("添加1s的请求延迟，以防止请求太快");
        QTest::newRow("选择框2") << QStringLiteral("为导入的链接添加过滤规则，如果有链接主域名相同，不建议勾选");
        QTest::newRow("单选框1") << QString::fromUtf8(quenmark::config::service1_tooltip_domains[0].data())
                                     + QStringLiteral(" 或者 ")
                                     + QString::fromUtf8(quenmark::config::service1_tooltip_domains[1].data());
        QTest::newRow("按钮2") << QString();
    }

    void tooltips()
    {
        QFETCH(QString, tip);
        QCOMPARE(find(QTest::currentDataTag())->toolTip(), tip);
    }

    void copy_all_takes_the_whole_box()
    {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));
        find<QPushButton>("按钮3")->click();
        QCOMPARE(clipboard->text(), QStringLiteral("before"));

        window_->append_text("编辑框2", "a\r\n" + zhong_wen + "\r\n");
        find<QPushButton>("按钮3")->click();
        QCOMPARE(clipboard->text(), QStringLiteral("a\r\n中文\r\n"));
    }

    void clears_touch_one_box_only()
    {
        window_->set_text("编辑框1", "http://x/1\r\n");
        window_->set_text("编辑框2", "http://y/1\r\n");
        // What a filtered import with duplicates leaves behind.
        window_->set_text("透明标签1", lian_jie);
        window_->set_visible("透明标签1", true);
        window_->set_width("按钮1", 60);

        find<QPushButton>("按钮6")->click();
        QCOMPARE(window_->text_of("编辑框1"), Text());
        QCOMPARE(window_->text_of("编辑框2"), Text("http://y/1\r\n"));
        QVERIFY(!find("透明标签1")->isHidden());
        QCOMPARE(window_->text_of("透明标签1"), lian_jie);
        QCOMPARE(window_->width_of("按钮1"), 60);

        window_->set_text("编辑框1", "http://x/2");
        find<QPushButton>("按钮5")->click();
        QCOMPARE(window_->text_of("编辑框2"), Text());
        QCOMPARE(window_->text_of("编辑框1"), Text("http://x/2"));
    }

    void short_link_box_selectable_not_editable()
    {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        window_->append_text("编辑框2", "http://y/1\r\n");
        QPlainTextEdit* edit = box("编辑框2");
        edit->setFocus();
        QTest::keyClicks(edit, "typed");
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(window_->text_of("编辑框2"), Text("http://y/1\r\n"));

        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("http://y/1\n"));
    }

    void enter_keeps_focus_and_escape_closes()
    {
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));

        QWidget* check = find("选择框1");
        check->setFocus();
        QTest::keyClick(check, Qt::Key_Return);
        QTest::keyClick(check, Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), check);
        QVERIFY(window_->isVisible());

        // Esc closes the window, even from inside an edit box, and that ends
        // the program's event loop.
        box("编辑框1")->setFocus();
        QVERIFY(loop_ends_after([this] { QTest::keyClick(box("编辑框1"), Qt::Key_Escape); }));
        QVERIFY(!window_->isVisible());
    }

    void controls_convert_at_the_boundary()
    {
        // Local text in, Qt text out: CR LF becomes one line break.
        window_->set_text("编辑框1", zhong_wen + "\r\n" + lian_jie);
        QCOMPARE(box("编辑框1")->toPlainText(), QStringLiteral("中文\n链接"));

        // Typed text reaches the commands with CR LF line ends.
        box("编辑框1")->setPlainText(QStringLiteral("链接\n\nhttp://x/中文\n"));
        QCOMPARE(window_->text_of("编辑框1"), lian_jie + "\r\n\r\nhttp://x/" + zhong_wen + "\r\n");

        // Appending keeps what is there and leaves the insertion point at the end.
        window_->append_text("编辑框1", "tail");
        QCOMPARE(window_->text_of("编辑框1"), lian_jie + "\r\n\r\nhttp://x/" + zhong_wen + "\r\ntail");
        QCOMPARE(box("编辑框1")->textCursor().position(), box("编辑框1")->document()->characterCount() - 1);

        window_->set_caption("Quenmark [" + zhong_wen + "]");
        QCOMPARE(window_->windowTitle(), QStringLiteral("Quenmark [中文]"));
        QCOMPARE(window_->caption(), "Quenmark [" + zhong_wen + "]");
        window_->set_disabled(true);
        QVERIFY(window_->is_disabled());
        QVERIFY(!window_->isEnabled());
        window_->set_disabled(false);

        // Unknown names and operations that do not fit a control are ignored.
        window_->set_text("编辑框9", "x");
        QCOMPARE(window_->text_of("编辑框9"), Text());
        QCOMPARE(window_->width_of("编辑框9"), 0);
        QVERIFY(!window_->is_checked("按钮1"));
    }

    void controls_from_a_worker_keep_order()
    {
        window_->set_text("编辑框1", "long");
        find<QCheckBox>("选择框1")->setChecked(true);

        Text seen_text;
        bool seen_checked = false;
        int seen_width = 0;
        std::atomic<bool> done{false};
        window_->start_worker([&](std::stop_token) {
            window_->set_disabled(true);
            window_->set_caption("Quenmark [busy]");
            for (int i = 1; i <= 200; ++i)
                window_->append_text("编辑框2", std::to_string(i) + "\r\n");
            // A read waits behind the changes this thread made before it.
            seen_text = window_->text_of("编辑框2");
            seen_checked = window_->is_checked("选择框1");
            seen_width = window_->width_of("按钮1");
            window_->set_caption("Quenmark");
            window_->set_disabled(false);
            done = true;
        });

        QTRY_VERIFY(done.load());
        Text expected;
        for (int i = 1; i <= 200; ++i)
            expected += std::to_string(i) + "\r\n";
        QCOMPARE(seen_text, expected);
        QVERIFY(seen_checked);
        QCOMPARE(seen_width, 259);
        QTRY_COMPARE(window_->windowTitle(), QStringLiteral("Quenmark"));
        QVERIFY(window_->isEnabled());
    }

    void closing_releases_a_waiting_worker()
    {
        window_->set_text("编辑框1", "long");
        window_->show();
        std::atomic<bool> waiting{false};
        std::atomic<bool> stop_seen{false};
        Text read_while_closing = "unset";
        Text read_after_closing = "unset";
        window_->start_worker([&](std::stop_token stop) {
            waiting = true;
            // The user-interface thread is busy and then closes the window:
            // this read must give up instead of holding the join forever.
            read_while_closing = window_->text_of("编辑框1");
            stop_seen = stop.stop_requested();
            window_->append_text("编辑框1", "late");
            read_after_closing = window_->text_of("编辑框1");
        });
        while (!waiting)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));

        const auto started = std::chrono::steady_clock::now();
        QVERIFY(window_->close()); // joins the worker
        QVERIFY(std::chrono::steady_clock::now() - started < std::chrono::seconds(2));
        QCOMPARE(read_while_closing, Text());
        QCOMPARE(read_after_closing, Text());
        QVERIFY(stop_seen.load());
        QCoreApplication::processEvents();
        QCOMPARE(box("编辑框1")->toPlainText(), QStringLiteral("long"));
        QCOMPARE(window_->text_of("编辑框1"), Text());
    }

    void file_drops_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on_box");
        QTest::addColumn<QByteArray>("handed_over"); // local text, empty for none

        const QUrl one = QUrl::fromLocalFile(QStringLiteral("/tmp/链接.txt"));
        const QUrl two = QUrl::fromLocalFile(QStringLiteral("/tmp/b.txt"));
        const QByteArray one_path = QByteArray::fromStdString("/tmp/" + lian_jie + ".txt");
        QTest::newRow("one file") << QList<QUrl>{one} << QString() << false << one_path;
        QTest::newRow("one file on the box") << QList<QUrl>{one} << QString() << true << one_path;
        QTest::newRow("two files") << QList<QUrl>{one, two} << QString() << false
                                   << one_path + "\r\n/tmp/b.txt\r\n";
        QTest::newRow("web link") << QList<QUrl>{QUrl(QStringLiteral("http://x/1"))} << QString() << false
                                  << QByteArray();
        QTest::newRow("text") << QList<QUrl>{} << QStringLiteral("http://x/1") << false << QByteArray();
    }

    void file_drops()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, text);
        QFETCH(bool, on_box);
        QFETCH(QByteArray, handed_over);

        int calls = 0;
        Text received;
        window_->set_commands({.import_dropped = [&](const Text& paths) {
            ++calls;
            received = paths;
        }});
        QMimeData mime;
        if (!urls.isEmpty())
            mime.setUrls(urls);
        if (!text.isEmpty())
            mime.setText(text);
        QWidget* target = on_box ? box("编辑框1")->viewport() : window_.get();
        const QPointF where(10, 10);
        QDragEnterEvent enter(where.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), !handed_over.isEmpty());
        QDropEvent drop(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);

        QCOMPARE(calls, handed_over.isEmpty() ? 0 : 1);
        QCOMPARE(QByteArray::fromStdString(received), handed_over);
        if (calls == 1)
            QCOMPARE(box("编辑框1")->toPlainText(), QString());
    }

    void buttons_start_their_commands()
    {
        QStringList started;
        window_->set_commands({
            .import_from_dialog = [&] { started << QStringLiteral("import"); },
            .shorten = [&] { started << QStringLiteral("shorten"); },
            .paired_copy = [&] { started << QStringLiteral("paired"); },
        });
        find<QPushButton>("按钮1")->click();
        find<QPushButton>("按钮2")->click();
        find<QPushButton>("按钮4")->click();
        QCOMPARE(started, (QStringList{QStringLiteral("import"), QStringLiteral("shorten"),
                                       QStringLiteral("paired")}));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
