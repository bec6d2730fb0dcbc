// A click on 一键缩短 end to end: the window, the Shorten command, the batch
// worker and the local shortening server.
#include "app/app_state.h"
#include "shorten/command.h"
#include "support/local_shortener.h"
#include "ui/main_window.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using quenmark::ui::MainWindow;

class ShortenClickTest : public QObject {
    Q_OBJECT

private:
    quenmark::app::AppState state_;
    std::unique_ptr<quenmark::test_support::LocalShortener> local_;
    std::unique_ptr<MainWindow> window_;

    QPlainTextEdit* box(const char* name) const
    {
        return window_->findChild<QPlainTextEdit*>(QString::fromUtf8(name));
    }

private slots:
    void init()
    {
        // A delay long enough to watch the window while the batch runs.
        local_ = std::make_unique<quenmark::test_support::LocalShortener>(150);
        QVERIFY(local_->valid());
        window_ = quenmark::ui::create_main_window(state_);
        QVERIFY(window_ != nullptr);
        MainWindow& window = *window_;
        const quenmark::shorten::Catalogue& catalogue = local_->catalogue();
        window.set_commands({.shorten = [&window, &catalogue, this] {
            quenmark::shorten::shorten_command(
                window, state_.long_links,
                [&window](std::function<void(std::stop_token)> body) { window.start_worker(std::move(body)); },
                catalogue);
        }});
        window.show();
    }

    void cleanup()
    {
        window_.reset();
        local_.reset();
    }

    void lines_arrive_while_the_window_is_disabled()
    {
        box("编辑框1")->setPlainText(QStringLiteral("https://a.example/one/\n\nb.example/?quenmark-fault=fail\n"));
        auto* shorten = window_->findChild<QPushButton*>(QStringLiteral("按钮2"));
        QTest::mouseClick(shorten, Qt::LeftButton);
        QVERIFY(!window_->isEnabled()); // before the worker has even started
        QTRY_COMPARE(window_->windowTitle(), QStringLiteral("Quenmark [处理中]"));
        QTRY_VERIFY_WITH_TIMEOUT(window_->isEnabled(), 10000);
        QCOMPARE(window_->windowTitle(), QStringLiteral("Quenmark"));

        const QStringList lines = box("编辑框2")->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 3); // two lines and the empty rest after the last line end
        const QString origin = QStringLiteral("https://") +
                               QString::fromStdString(local_->services().services[2].host) + QLatin1Char('/');
        QVERIFY2(lines[0].startsWith(origin), qPrintable(lines[0]));
        QCOMPARE(lines[1], QStringLiteral("转换失败 #编号3 [http://b.example/?quenmark-fault=fail] service_c "));
        QCOMPARE(lines[2], QString());
    }

    void closing_mid_batch_ends_at_once()
    {
        box("编辑框1")->setPlainText(QStringLiteral("a.example/?quenmark-fault=timeout\na.example/next\n"));
        QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("按钮2")), Qt::LeftButton);
        QTRY_COMPARE(window_->windowTitle(), QStringLiteral("Quenmark [处理中]"));
        QElapsedTimer timer;
        timer.start();
        window_->close(); // aborts the request, joins the worker
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        window_.reset();
        QVERIFY(state_.long_links.size() == 2);
    }
};

QTEST_MAIN(ShortenClickTest)
#include "shorten_click_test.moc"
