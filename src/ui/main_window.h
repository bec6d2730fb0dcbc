// The main window: the program's only working surface, and the Controls
// through which commands and worker threads reach it.
#pragma once

#include "text/text.h"
#include "ui/controls.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

class QPlainTextEdit;

namespace quenmark::app {
struct AppState;
}

namespace quenmark::ui {

// The commands that live outside this window and are started from it. Each
// runs on the user-interface thread; an unset one does nothing.
struct MainWindowCommands {
    std::function<void()> import_from_dialog;  // 按钮1 clicked
    std::function<void()> shorten;             // 按钮2 clicked
    std::function<void()> paired_copy;         // 按钮4 clicked
    // Files dropped anywhere on the window: one path, or several paths each
    // followed by CR LF, as local text.
    std::function<void(const text::Text& paths)> import_dropped;
};

class MainWindow final : public QWidget, public Controls {
    Q_OBJECT

public:
    explicit MainWindow(app::AppState& state);
    // Stops and joins every worker before any control goes away.
    ~MainWindow() override;

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    [[nodiscard]] app::AppState& state() { return state_; }
    void set_commands(MainWindowCommands commands);

    // Starts `body` on a thread of its own, owned by this window: when the
    // window closes, the thread's stop token is triggered, every Controls
    // operation becomes a no-op, and the thread is joined. Does nothing once
    // the window is closing. User-interface thread only.
    void start_worker(std::function<void(std::stop_token)> body);

    // The small commands of this window, user-interface thread only.
    // copy_all puts the short-link box's text on the clipboard unless it is
    // empty; the clears empty one box and touch nothing else.
    void copy_all();
    void clear_long_links();
    void clear_short_links();

    // Opens the About or Notice window when it is absent, destroys it when
    // it is open.
    void toggle_about();
    void toggle_notice();

    // Closes the pairing window if it is open and opens a new one listing
    // `items`.
    void open_pairing_window(const text::TextArray& items);
    [[nodiscard]] QWidget* pairing_window() const;

    // The About and Notice windows while they are open, else null.
    [[nodiscard]] QWidget* about_window() const;
    [[nodiscard]] QWidget* notice_window() const;

    // Controls, callable from any thread (see controls.h).
    void append_text(std::string_view box, text::Text text) override;
    [[nodiscard]] text::Text text_of(std::string_view control) override;
    void set_text(std::string_view control, text::Text text) override;
    [[nodiscard]] bool is_checked(std::string_view control) override;
    void set_visible(std::string_view control, bool visible) override;
    [[nodiscard]] int width_of(std::string_view control) override;
    void set_width(std::string_view control, int width) override;
    [[nodiscard]] text::Text caption() override;
    void set_caption(text::Text caption) override;
    [[nodiscard]] bool is_disabled() override;
    void set_disabled(bool disabled) override;
    void sync() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private slots:
    // Runs the calls other threads posted, in order.
    void run_posted_calls();

private:
    friend std::unique_ptr<MainWindow> create_main_window(app::AppState& state);

    void post(std::function<void()> call);

    struct Worker {
        std::jthread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void build_layout();
    void on_created();
    void toggle(QPointer<QWidget>& window, QWidget* (*make)(QWidget&));
    void shut_down();

    // This window's own control named `name`, not one of an owned window.
    [[nodiscard]] QWidget* control(std::string_view name) const;
    [[nodiscard]] bool on_ui_thread() const;
    template <typename Change>
    void change(Change change);
    template <typename Result, typename Read>
    Result read(Read read);

    app::AppState& state_;
    MainWindowCommands commands_;
    QPlainTextEdit* long_links_box_ = nullptr;
    QPlainTextEdit* short_links_box_ = nullptr;
    QPointer<QWidget> about_;
    QPointer<QWidget> notice_;
    QPointer<QWidget> pairing_;
    std::atomic<bool> closing_{false};
    std::mutex calls_mutex_;
    std::deque<std::function<void()>> calls_; // posted by other threads
    bool drain_posted_ = false;
    std::vector<Worker> workers_;
};

// The main window with its tooltips attached and file drops enabled, ready
// to show; null when it cannot be made (no QApplication).
[[nodiscard]] std::unique_ptr<MainWindow> create_main_window(app::AppState& state);

} // namespace quenmark::ui
