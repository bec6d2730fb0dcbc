#include "ui/message_box.h"

#include <QMessageBox>

namespace quenmark::ui {
namespace {

bool automatic = false;
QString last;

} // namespace

void MessageBox::show(QWidget* owner, const QString& text)
{
    last = text;
    if (automatic)
        return;
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok, owner);
    box.exec();
}

void MessageBox::answer_automatically()
{
    automatic = true;
}

QString MessageBox::last_text()
{
    return last;
}

} // namespace quenmark::ui
