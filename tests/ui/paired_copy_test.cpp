// 按钮4 through the window's own wiring: the line-count check, the message,
// the pairing window and the copy of one short link.
#include "app/app_state.h"
#include "app/commands.h"
#include "ui/main_window.h"
#include "ui/message_box.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using quenmark::ui::MainWindow;
using quenmark::ui::MessageBox;

class PairedCopyTest : public QObject {
    Q_OBJECT

private:
    quenmark::app::AppState state_;
    quenmark::intake::ImportTurns turns_;
    std::unique_ptr<MainWindow> window_;

    void fill(const QString& long_links, const QString& short_links)
    {
        window_->findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"))->setPlainText(long_links);
        window_->findChild<QPlainTextEdit*>(QStringLiteral("编辑框2"))->setPlainText(short_links);
    }
    void click()
    {
        QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("按钮4")), Qt::LeftButton);
    }
    QStringList items() const
    {
        QStringList texts;
        if (QWidget* pairing = window_->pairing_window()) {
            const auto* list = pairing->findChild<QListWidget*>(QStringLiteral("列表框1"));
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        }
        return texts;
    }

private slots:
    void initTestCase() { MessageBox::answer_automatically(); }
    void init()
    {
        window_ = quenmark::ui::create_main_window(state_);
        QVERIFY(window_ != nullptr);
        quenmark::app::connect_commands(*window_, state_, turns_);
        window_->show();
    }
    void cleanup() { window_.reset(); }

    void check_data()
    {
        QTest::addColumn<QString>("long_links");
        QTest::addColumn<QString>("short_links");
        QTest::addColumn<bool>("message");
        QTest::addColumn<QStringList>("shown"); // sorted, as the list shows them
        QTest::newRow("empty short box") << "a\nb\n" << "" << false << QStringList();
        QTest::newRow("three and two") << "a\nb\nc\n" << "s1\ns2\n" << true << QStringList();
        QTest::newRow("final line end") << "c\nb\na\n" << "s3\ns2\ns1" << false
                                        << QStringList{"s1 -> a", "s2 -> b", "s3 -> c"};
        QTest::newRow("blank long line") << "x\n\ny\n" << "s2\ns1\n" << false
                                         << QStringList{"s1 -> y", "s2 -> x"};
    }

    void check()
    {
        QFETCH(QString, long_links);
        QFETCH(QString, short_links);
        QFETCH(bool, message);
        QFETCH(QStringList, shown);
        const QString before = QStringLiteral("before");
        QGuiApplication::clipboard()->setText(before);
        quenmark::ui::MessageBox::show(nullptr, QString()); // clears the last text
        fill(long_links, short_links);
        click();
        QCOMPARE(MessageBox::last_text(), message ? QStringLiteral("请保持 长链 行数与 短链 行数一致") : QString());
        QCOMPARE(window_->pairing_window() != nullptr, !shown.isEmpty());
        QCOMPARE(items(), shown);
        if (QWidget* pairing = window_->pairing_window()) {
            QCOMPARE(pairing->windowTitle(), QStringLiteral("双击以复制文本(转换失败问题可截图本窗口反馈)"));
            QCOMPARE(pairing->parentWidget(), window_.get());
            QVERIFY(!pairing->isModal());
        }
    }

    void a_second_check_replaces_the_window()
    {
        fill(QStringLiteral("a\n"), QStringLiteral("s1\n"));
        click();
        QPointer<QWidget> first = window_->pairing_window();
        QVERIFY(first);
        fill(QStringLiteral("b\n"), QStringLiteral("s2\n"));
        click();
        QVERIFY(first.isNull());
        QCOMPARE(items(), QStringList{QStringLiteral("s2 -> b")});
    }

    void double_click_copies_the_short_link()
    {
        fill(QStringLiteral("http://x/a-b\nhttp://y/\n"),
             QStringLiteral("https://s.example/ab-cd\n转换失败 #编号2 [http://y] service_b \n"));
        click();
        auto* list = window_->pairing_window()->findChild<QListWidget*>(QStringLiteral("列表框1"));
        QCOMPARE(list->count(), 2);
        struct Case {
            int row;
            QString copied;
        };
        // Sorted: the link first, then the failure line.
        for (const Case& c : {Case{0, QStringLiteral("https://s.example/ab-cd")},
                              Case{1, QStringLiteral("转换失败#编号2[http://y]service_b")}}) {
            QListWidgetItem* item = list->item(c.row);
            list->setCurrentItem(item);
            emit list->itemDoubleClicked(item);
            QCOMPARE(QGuiApplication::clipboard()->text(), c.copied);
            QCOMPARE(window_->pairing_window()->windowTitle(),
                     QStringLiteral("双击以复制文本 [") + c.copied + QStringLiteral("] 复制成功"));
        }
    }

    void the_list_follows_the_window()
    {
        fill(QStringLiteral("a\n"), QStringLiteral("s1\n"));
        click();
        QWidget* pairing = window_->pairing_window();
        pairing->resize(700, 400);
        QTRY_COMPARE(pairing->findChild<QListWidget*>(QStringLiteral("列表框1"))->size(), QSize(700, 400));
    }
};

QTEST_MAIN(PairedCopyTest)
#include "paired_copy_test.moc"
