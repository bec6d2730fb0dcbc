#include "ui/window_setup.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStringList>

namespace quenmark::ui {

QSize client_size(QSize outer)
{
    return {outer.width() - 2 * frame_width, outer.height() - title_bar_height - 2 * frame_width};
}

QFont layout_font(int pixel_height, bool bold)
{
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(pixel_height);
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    return font;
}

void set_up_window(QWidget& window, const QString& caption, QSize outer, bool resizable)
{
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    window.setWindowTitle(caption);
    window.setFont(layout_font(12));
    // Minimum and maximum equal: the window manager offers no resizing and
    // no maximise button.
    if (resizable)
        window.resize(client_size(outer));
    else
        window.setFixedSize(client_size(outer));

    // A window's position counts its frame, so centring uses the outer size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.move(area.x() + (area.width() - outer.width()) / 2,
                    area.y() + (area.height() - outer.height()) / 2);
    }

    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setContext(Qt::WindowShortcut);
    QObject::connect(escape, &QShortcut::activated, &window, &QWidget::close);
}

QIcon application_icon()
{
    return QIcon(QStringLiteral(":/quenmark/quenmark.png"));
}

} // namespace quenmark::ui
