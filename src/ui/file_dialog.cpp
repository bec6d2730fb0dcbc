#include "ui/file_dialog.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QTimer>

namespace quenmark::ui {
namespace {

struct Answer {
    bool set = false;
    std::optional<QString> path;
};

Answer& next_answer()
{
    static Answer answer;
    return answer;
}

QString& started_with()
{
    static QString name;
    return name;
}

} // namespace

void FileDialog::open(QWidget* parent, const QString& title, const QString& filter,
                      const QString& file_name, std::function<void(const QString&)> chosen)
{
    started_with() = file_name;
    Answer& answer = next_answer();
    if (answer.set) {
        const std::optional<QString> path = answer.path;
        answer = {};
        if (path)
            QTimer::singleShot(0, parent, [chosen = std::move(chosen), path] { chosen(*path); });
        return;
    }
    auto* dialog = new QFileDialog(parent, title, QString(), filter);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    // "*.*" means every file where the filter's text comes from; here it
    // would hide files without a dot. The dialog's own file list keeps the
    // text shown but matches every file.
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    if (filter.contains(QStringLiteral("(*.*)"))) {
        if (auto* files = dialog->findChild<QFileSystemModel*>())
            files->setNameFilters({QStringLiteral("*")});
    }
    if (!file_name.isEmpty())
        dialog->selectFile(file_name);
    QObject::connect(dialog, &QFileDialog::fileSelected, dialog,
                     [chosen = std::move(chosen)](const QString& path) { chosen(path); });
    dialog->open();
}

void FileDialog::answer_next(std::optional<QString> path)
{
    next_answer() = Answer{true, std::move(path)};
}

QString FileDialog::last_file_name()
{
    return started_with();
}

} // namespace quenmark::ui
