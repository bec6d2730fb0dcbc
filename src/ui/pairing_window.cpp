#include "ui/pairing_window.h"

#include "review/pairing.h"
#include "ui/qt_text.h"
#include "ui/window_setup.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QVBoxLayout>

namespace quenmark::ui {

QWidget* make_pairing_window(QWidget& owner, const text::TextArray& items)
{
    auto* window = new QWidget(&owner);
    set_up_window(*window, QStringLiteral("双击以复制文本(转换失败问题可截图本窗口反馈)"), {601, 335}, true);
    window->setAttribute(Qt::WA_DeleteOnClose);

    auto* list = new QListWidget(window);
    list->setObjectName(QStringLiteral("列表框1"));
    list->setFont(layout_font(12));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette palette = list->palette();
    palette.setColor(QPalette::Base, Qt::white);
    list->setPalette(palette);
    list->setSortingEnabled(true);
    for (const text::Text& item : items)
        list->addItem(to_qstring(item));

    // The list follows the window's size.
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list);

    QObject::connect(list, &QListWidget::itemDoubleClicked, window, [window, list] {
        const QListWidgetItem* selected = list->currentItem();
        if (selected == nullptr || !selected->isSelected() || selected->text().isEmpty())
            return;
        const QString copied = to_qstring(review::short_part(to_text(selected->text())));
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setText(copied);
        window->setWindowTitle(QStringLiteral("双击以复制文本 [") + copied + QStringLiteral("] 复制成功"));
    });
    return window;
}

} // namespace quenmark::ui
