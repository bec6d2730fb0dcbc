// Imports through the window's own wiring: the Open dialog (answered
// through its seam) and file drops.
#include "app/app_state.h"
#include "app/commands.h"
#include "ui/file_dialog.h"
#include "ui/main_window.h"

#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using quenmark::ui::FileDialog;
using quenmark::ui::MainWindow;

class ImportClickTest : public QObject {
    Q_OBJECT

private:
    quenmark::app::AppState state_;
    quenmark::intake::ImportTurns turns_;
    std::unique_ptr<MainWindow> window_;
    QTemporaryDir dir_;

    QString write(const QString& name, const QByteArray& content)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
        return path;
    }
    QString long_links() const
    {
        return window_->findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"))->toPlainText();
    }
    void click_import()
    {
        QTest::mouseClick(window_->findChild<QPushButton*>(QStringLiteral("按钮1")), Qt::LeftButton);
    }
    void drop(const QList<QUrl>& urls)
    {
        QMimeData mime;
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &enter);
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window_.get(), &event);
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        window_ = quenmark::ui::create_main_window(state_);
        QVERIFY(window_ != nullptr);
        quenmark::app::connect_commands(*window_, state_, turns_);
        window_->show();
    }
    void cleanup() { window_.reset(); }

    void dialog_import_then_cancel()
    {
        const QString path = write(QStringLiteral("链接.txt"), "http://a.example/1\nhttp://a.example/2\n");
        FileDialog::answer_next(path);
        click_import();
        QTRY_COMPARE(long_links(), QStringLiteral("http://a.example/1\nhttp://a.example/2\n"));

        // The dialog starts with the path chosen last; cancelling it changes nothing.
        FileDialog::answer_next(std::nullopt);
        click_import();
        QCOMPARE(FileDialog::last_file_name(), path);
        QTest::qWait(100);
        QCOMPARE(long_links(), QStringLiteral("http://a.example/1\nhttp://a.example/2\n"));
    }

    void the_open_dialog_lists_files_without_a_dot()
    {
        quenmark::ui::FileDialog::open(window_.get(), QStringLiteral("Open"), QStringLiteral("All Files(*.*)"),
                                       QString(), [](const QString&) {});
        auto* dialog = window_->findChild<QFileDialog*>();
        QVERIFY(dialog != nullptr);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Open"));
        QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("All Files(*.*)")});
        auto* files = dialog->findChild<QFileSystemModel*>();
        QVERIFY(files != nullptr);
        QCOMPARE(files->nameFilters(), QStringList{QStringLiteral("*")});
        dialog->reject();
    }

    void drops()
    {
        const QString one = write(QStringLiteral("one.txt"), "http://b.example/\r\n");
        const QString two = write(QStringLiteral("two.txt"), "http://c.example/\r\n");
        drop({QUrl::fromLocalFile(one), QUrl::fromLocalFile(two)}); // names no file
        drop({QUrl::fromLocalFile(dir_.path())});                    // a folder
        drop({QUrl::fromLocalFile(one)});
        QTRY_COMPARE(long_links(), QStringLiteral("http://b.example/\n"));
    }
};

QTEST_MAIN(ImportClickTest)
#include "import_click_test.moc"
