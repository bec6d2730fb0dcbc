#include "ui/info_windows.h"

#include "ui/window_setup.h"

#include <QLabel>
#include <QStringList>

namespace quenmark::ui {
namespace {

// A window owned by `owner` (so it is destroyed with it) that destroys
// itself when closed, leaving its owner's pointer to it null.
QWidget* make_owned_window(QWidget& owner, const QString& caption, QSize outer)
{
    auto* window = new QWidget(&owner);
    set_up_window(*window, caption, outer);
    window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

QLabel* make_label(QWidget* parent, const char* name, QRect geometry, const QString& text,
                   const QFont& font, Qt::Alignment alignment)
{
    auto* label = place(new QLabel(text, parent), name, geometry.x(), geometry.y(),
                        geometry.width(), geometry.height());
    label->setFont(font);
    label->setAlignment(alignment);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    return label;
}

} // namespace

QWidget* make_about_window(QWidget& owner)
{
    QWidget* window = make_owned_window(owner, QStringLiteral("关于"), {380, 229});

    auto* picture = place(new QLabel(window), "图片框1", 127, 8, 120, 100);
    picture->setPixmap(application_icon().pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);

    make_label(window, "透明标签1", {83, 117, 208, 32}, QStringLiteral("Quenmark"),
               layout_font(16, true), Qt::AlignCenter);
    make_label(window, "透明标签2", {60, 152, 253, 32},
               QStringLiteral("作者：Quenmark 项目组"), layout_font(14, true),
               Qt::AlignCenter);
    return window;
}

QWidget* make_notice_window(QWidget& owner)
{
    QWidget* window = make_owned_window(owner, QStringLiteral("使用须知"), {501, 196});
    QLabel* notice = make_label(window, "透明标签1", {16, 16, 456, 144}, notice_text(),
                                layout_font(14), Qt::AlignLeft | Qt::AlignTop);
    notice->setWordWrap(true);
    return window;
}

QString notice_text()
{
    const QString rule(70, QLatin1Char('-'));
    return QStringList{
        QStringLiteral("请勿用于任何非法、商业用途（包括但不限于使用本软件传播非法链接）"),
        QString(),
        rule,
        QStringLiteral("特别鸣谢："),
        QStringLiteral("·Qt ·libcurl ·OpenSSL ·glibc ·思源黑体"),
        QStringLiteral("·以及提供短网址服务的网站们"),
        rule,
    }.join(QLatin1Char('\n'));
}

} // namespace quenmark::ui
