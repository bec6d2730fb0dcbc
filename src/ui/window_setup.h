// What every window of the program shares: fixed size, title bar, centring,
// Esc to close, and the layout font.
#pragma once

#include <QFont>
#include <QIcon>
#include <QSize>
#include <QString>
#include <QWidget>

namespace quenmark::ui {

// Window sizes in the layouts are outer sizes: they count a fixed frame of
// 3 pixels on each side and a title bar of 23 pixels. Controls are placed in
// what is left, the client area.
inline constexpr int frame_width = 3;
inline constexpr int title_bar_height = 23;

// The client area of a window whose outer size is `outer`.
[[nodiscard]] QSize client_size(QSize outer);

// The layout font: "Microsoft YaHei" where it is installed, else the
// Simplified Chinese face of Noto Sans CJK, `pixel_height` pixels high.
[[nodiscard]] QFont layout_font(int pixel_height, bool bold = false);

// Turns `window` into a top-level window with `caption`: the client size
// for the outer size `outer`, fixed unless `resizable`, minimise and close
// buttons but no maximise button, the layout font at 12 pixels, centred on
// the screen, closed by Esc while it is the active window.
void set_up_window(QWidget& window, const QString& caption, QSize outer, bool resizable = false);

// `widget` named `name` (its objectName), placed at x, y with size w x h
// inside its parent.
template <typename Widget>
Widget* place(Widget* widget, const char* name, int x, int y, int w, int h)
{
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(x, y, w, h);
    return widget;
}

// The program's icon, also shown in the About window.
[[nodiscard]] QIcon application_icon();

} // namespace quenmark::ui
