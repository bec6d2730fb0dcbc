#include "ui/hyperlink_label.h"

#include <QMouseEvent>

namespace quenmark::ui {

HyperlinkLabel::HyperlinkLabel(const QString& caption, QWidget* parent) : QLabel(caption, parent)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(palette);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
}

void HyperlinkLabel::on_press(std::function<void()> pressed)
{
    pressed_ = std::move(pressed);
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && pressed_) {
        event->accept();
        pressed_();
        return;
    }
    QLabel::mousePressEvent(event);
}

} // namespace quenmark::ui
