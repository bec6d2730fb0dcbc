// A label drawn as a link that acts when the left mouse button goes down
// on it, not when it is released.
#pragma once

#include <QLabel>

#include <functional>

namespace quenmark::ui {

class HyperlinkLabel final : public QLabel {
public:
    HyperlinkLabel(const QString& caption, QWidget* parent);

    // `pressed` runs on every left-button press; replaces the previous one.
    void on_press(std::function<void()> pressed);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> pressed_;
};

} // namespace quenmark::ui
