#include "ui/main_window.h"

#include "app/app_state.h"
#include "ui/hyperlink_label.h"
#include "ui/info_windows.h"
#include "ui/pairing_window.h"
#include "ui/qt_text.h"
#include "ui/service_domains.h"
#include "ui/window_setup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDropEvent>
#include <QGroupBox>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextCursor>
#include <QThread>
#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

namespace quenmark::ui {
namespace {

QString from_utf8(std::string_view name)
{
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QPlainTextEdit* make_box(QWidget* parent, bool read_only)
{
    auto* box = new QPlainTextEdit(parent);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    box->setTabChangesFocus(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, Qt::white);
    box->setPalette(palette);
    if (read_only) {
        box->setReadOnly(true);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    return box;
}

// The text a control shows: an edit box's content, a label's text, a
// button's caption, a group box's title.
QString shown_text(const QWidget* widget)
{
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(widget))
        return box->toPlainText();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    return {};
}

void show_text(QWidget* widget, const QString& text)
{
    if (auto* box = qobject_cast<QPlainTextEdit*>(widget))
        box->setPlainText(text);
    else if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
}

// The dropped paths as one text: a single path as it is, several each
// followed by CR LF. Empty unless every dropped item is a local file or
// folder, so that dragged text or web links are left to the edit boxes.
QString dropped_paths(const QMimeData* mime)
{
    if (mime == nullptr || !mime->hasUrls())
        return {};
    const QList<QUrl> urls = mime->urls();
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            return {};
        paths.append(QDir::toNativeSeparators(url.toLocalFile()));
    }
    if (paths.size() == 1)
        return paths.front();
    QString joined;
    for (const QString& path : paths)
        joined += path + QStringLiteral("\r\n");
    return joined;
}

// Takes file drops for the whole window, also over the edit boxes, which
// would otherwise insert the dropped paths as text.
class FileDropFilter final : public QObject {
public:
    FileDropFilter(std::function<void(const QString&)> receiver, QObject* parent)
        : QObject(parent), receiver_(std::move(receiver))
    {
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (dropped_paths(drag->mimeData()).isEmpty())
                return false;
            drag->acceptProposedAction();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString paths = dropped_paths(drop->mimeData());
            if (paths.isEmpty())
                return false;
            drop->acceptProposedAction();
            receiver_(paths);
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
        }
    }

private:
    std::function<void(const QString&)> receiver_;
};

// The answer to one read served by the user-interface thread.
template <typename Result>
struct Reply {
    std::mutex mutex;
    std::condition_variable ready;
    bool done = false;
    Result value{};
};

} // namespace

MainWindow::MainWindow(app::AppState& state) : state_(state)
{
    build_layout();
}

MainWindow::~MainWindow()
{
    shut_down();
}

void MainWindow::build_layout()
{
    set_up_window(*this, QStringLiteral("Quenmark"), {456, 327});

    auto* long_group = place(new QGroupBox(QStringLiteral("长链接"), this), "分组框1", 8, 8, 272, 153);
    long_links_box_ = place(make_box(long_group, false), "编辑框1", 7, 18, 257, 106);
    auto* import = place(new QPushButton(QStringLiteral("导入"), long_group), "按钮1", 6, 127, 259, 20);
    // Created after 按钮1 so that it lies above the button once the import
    // narrows the button and shows it.
    auto* status = place(new QLabel(long_group), "透明标签1", 72, 128, 192, 20);
    status->setAlignment(Qt::AlignCenter);
    status->hide();
    auto* clear_long = place(new QPushButton(QStringLiteral("×"), long_group), "按钮6", 249, 3, 16, 14);

    auto* short_group =
        place(new QGroupBox(QStringLiteral("被缩短的链接"), this), "分组框2", 8, 168, 272, 122);
    short_links_box_ = place(make_box(short_group, true), "编辑框2", 8, 19, 255, 96);
    auto* clear_short = place(new QPushButton(QStringLiteral("×"), short_group), "按钮5", 248, 4, 16, 14);

    auto* shorten = place(new QPushButton(QStringLiteral("一键缩短"), this), "按钮2", 289, 16, 156, 64);
    shorten->setFont(layout_font(16));
    auto* copy = place(new QPushButton(QStringLiteral("全部复制"), this), "按钮3", 289, 88, 80, 32);
    auto* paired = place(new QPushButton(QStringLiteral("指定复制"), this), "按钮4", 376, 88, 69, 32);
    place(new QCheckBox(QStringLiteral("导入过滤"), this), "选择框2", 290, 136, 72, 24);
    place(new QCheckBox(QStringLiteral("使用延迟"), this), "选择框1", 370, 136, 70, 24);

    // Radio buttons sharing a parent form one group: checking one unchecks
    // the others.
    auto* services = place(new QGroupBox(QStringLiteral("选择域名"), this), "分组框3", 290, 168, 151, 122);
    struct RadioPlace {
        const char* name;
        int service, x, y, w;
    };
    constexpr RadioPlace radios[] = {
        {"单选框3", 3, 9, 18, 48},  {"单选框2", 2, 89, 18, 48}, {"单选框6", 6, 9, 42, 64},
        {"单选框5", 5, 89, 42, 48}, {"单选框1", 1, 9, 66, 69},  {"单选框4", 4, 89, 66, 48},
    };
    for (const RadioPlace& radio : radios) {
        const QString domain = from_utf8(service_domains[static_cast<std::size_t>(radio.service - 1)]);
        auto* button = place(new QRadioButton(domain, services), radio.name, radio.x, radio.y, radio.w, 24);
        button->setChecked(radio.service == 3);
    }
    auto* about = place(new HyperlinkLabel(QStringLiteral("关于"), services), "超级链接框1", 23, 94, 36, 24);
    auto* notice = place(new HyperlinkLabel(QStringLiteral("使用须知"), services), "超级链接框2", 75, 94, 54, 24);

    connect(import, &QPushButton::clicked, this, [this] {
        if (commands_.import_from_dialog)
            commands_.import_from_dialog();
    });
    connect(shorten, &QPushButton::clicked, this, [this] {
        if (commands_.shorten)
            commands_.shorten();
    });
    connect(paired, &QPushButton::clicked, this, [this] {
        if (commands_.paired_copy)
            commands_.paired_copy();
    });
    connect(copy, &QPushButton::clicked, this, [this] { copy_all(); });
    connect(clear_short, &QPushButton::clicked, this, [this] { clear_short_links(); });
    connect(clear_long, &QPushButton::clicked, this, [this] { clear_long_links(); });
    about->on_press([this] { toggle_about(); });
    notice->on_press([this] { toggle_notice(); });

    long_links_box_->setFocus();
}

void MainWindow::on_created()
{
    const auto tip = [this](const char* name, const QString& text) {
        if (QWidget* widget = control(name))
            widget->setToolTip(text);
    };
    tip("按钮1", QStringLiteral("批量导入请一行一条"));
    tip("按钮4", QStringLiteral("如果有转换失败的问题，也可以截图指定复制的窗口反馈给开发者"));
    tip("选择框1", QStringLiteral("添加1s的请求延迟，以防止请求太快"));
    tip("选择框2", QStringLiteral("为导入的链接添加过滤规则，如果有链接主域名相同，不建议勾选"));
    tip("单选框1", from_utf8(service1_tooltip_domains[0]) + QStringLiteral(" 或者 ") +
                       from_utf8(service1_tooltip_domains[1]));

    auto* drops = new FileDropFilter(
        [this](const QString& paths) {
            if (commands_.import_dropped)
                commands_.import_dropped(to_text(paths));
        },
        this);
    setAcceptDrops(true);
    installEventFilter(drops);
    long_links_box_->viewport()->installEventFilter(drops);
    short_links_box_->viewport()->installEventFilter(drops);
}

void MainWindow::set_commands(MainWindowCommands commands)
{
    commands_ = std::move(commands);
}

void MainWindow::start_worker(std::function<void(std::stop_token)> body)
{
    if (closing_)
        return;
    std::erase_if(workers_, [](const Worker& worker) { return worker.finished->load(); });
    auto finished = std::make_shared<std::atomic<bool>>(false);
    std::jthread thread([body = std::move(body), finished](std::stop_token stop) {
        body(stop);
        finished->store(true);
    });
    workers_.push_back(Worker{std::move(thread), std::move(finished)});
}

void MainWindow::copy_all()
{
    QString text = short_links_box_->toPlainText();
    if (text.isEmpty())
        return;
    // The box's lines as the commands see them, CR LF after each one.
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

void MainWindow::clear_long_links()
{
    long_links_box_->clear();
}

void MainWindow::clear_short_links()
{
    short_links_box_->clear();
}

void MainWindow::toggle_about()
{
    toggle(about_, &make_about_window);
}

void MainWindow::toggle_notice()
{
    toggle(notice_, &make_notice_window);
}

void MainWindow::toggle(QPointer<QWidget>& window, QWidget* (*make)(QWidget&))
{
    const bool open = window && window->isVisible();
    // A window the user has closed is hidden until its deferred deletion
    // runs; it counts as absent and goes now.
    delete window.data();
    if (open || closing_)
        return;
    window = make(*this);
    window->show();
}

void MainWindow::open_pairing_window(const text::TextArray& items)
{
    delete pairing_.data();
    if (closing_)
        return;
    pairing_ = make_pairing_window(*this, items);
    pairing_->show();
}

QWidget* MainWindow::pairing_window() const
{
    return pairing_ && pairing_->isVisible() ? pairing_.data() : nullptr;
}

QWidget* MainWindow::about_window() const
{
    return about_ && about_->isVisible() ? about_.data() : nullptr;
}

QWidget* MainWindow::notice_window() const
{
    return notice_ && notice_->isVisible() ? notice_.data() : nullptr;
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    shut_down();
    event->accept();
}

void MainWindow::shut_down()
{
    // Workers are told to stop first, so that one woken by the closing
    // below already sees its stop request.
    for (Worker& worker : workers_)
        worker.thread.request_stop();

    // From here on every Controls call returns at once, so a worker waiting
    // for a read gives up and none posts work that would still run.
    closing_ = true;

    // Owned windows (About, Notice and those of later commands) go with
    // this one; otherwise they would keep the event loop running.
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* child : children) {
        if (child->isWindow())
            delete child;
    }

    workers_.clear(); // each jthread joins as it goes
}

QWidget* MainWindow::control(std::string_view name) const
{
    const QList<QWidget*> found = findChildren<QWidget*>(from_utf8(name));
    for (QWidget* widget : found) {
        if (widget->window() == this)
            return widget;
    }
    return nullptr;
}

bool MainWindow::on_ui_thread() const
{
    return QThread::currentThread() == thread();
}

// Runs `change` on the user-interface thread: at once when called there,
// otherwise queued behind this thread's earlier calls. Dropped once the
// window is closing.
template <typename Change>
void MainWindow::change(Change change)
{
    if (closing_)
        return;
    if (on_ui_thread()) {
        change();
        return;
    }
    post(std::function<void()>(std::move(change)));
}

// Hands `call` to the user-interface thread through a queue of this
// window's own, so that the hand-over is visible to ThreadSanitizer (Qt's
// event queue locks where it cannot see); Qt only carries the wake-up.
void MainWindow::post(std::function<void()> call)
{
    bool wake = false;
    {
        const std::lock_guard lock(calls_mutex_);
        calls_.push_back(std::move(call));
        wake = !drain_posted_;
        drain_posted_ = true;
    }
    if (wake)
        QMetaObject::invokeMethod(this, "run_posted_calls", Qt::QueuedConnection);
}

void MainWindow::run_posted_calls()
{
    std::deque<std::function<void()>> calls;
    {
        const std::lock_guard lock(calls_mutex_);
        calls.swap(calls_);
        drain_posted_ = false;
    }
    for (std::function<void()>& call : calls) {
        if (!closing_)
            call();
    }
}

// The result of `read` on the user-interface thread. A worker waits for it
// in short steps and gives up with the empty value as soon as the window is
// closing: the user-interface thread may then be joining this very worker.
template <typename Result, typename Read>
Result MainWindow::read(Read read)
{
    if (closing_)
        return Result{};
    if (on_ui_thread())
        return read();

    auto reply = std::make_shared<Reply<Result>>();
    post([this, reply, read = std::move(read)] {
        Result value = closing_ ? Result{} : read();
        {
            const std::lock_guard lock(reply->mutex);
            reply->value = std::move(value);
            reply->done = true;
        }
        reply->ready.notify_one();
    });

    std::unique_lock lock(reply->mutex);
    while (!reply->ready.wait_for(lock, std::chrono::milliseconds(10), [&] { return reply->done; })) {
        if (closing_)
            return Result{};
    }
    return std::move(reply->value);
}

void MainWindow::append_text(std::string_view box, text::Text text)
{
    change([this, name = std::string(box), added = to_qstring(text)] {
        auto* edit = qobject_cast<QPlainTextEdit*>(control(name));
        if (edit == nullptr)
            return;
        QTextCursor cursor(edit->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(added);
        edit->setTextCursor(cursor);
        edit->ensureCursorVisible();
    });
}

text::Text MainWindow::text_of(std::string_view control_name)
{
    return read<text::Text>([this, name = std::string(control_name)] {
        return to_text(shown_text(control(name)));
    });
}

void MainWindow::set_text(std::string_view control_name, text::Text text)
{
    change([this, name = std::string(control_name), shown = to_qstring(text)] {
        if (QWidget* widget = control(name))
            show_text(widget, shown);
    });
}

bool MainWindow::is_checked(std::string_view control_name)
{
    return read<bool>([this, name = std::string(control_name)] {
        const auto* button = qobject_cast<QAbstractButton*>(control(name));
        return button != nullptr && button->isChecked();
    });
}

void MainWindow::set_visible(std::string_view control_name, bool visible)
{
    change([this, name = std::string(control_name), visible] {
        if (QWidget* widget = control(name))
            widget->setVisible(visible);
    });
}

int MainWindow::width_of(std::string_view control_name)
{
    return read<int>([this, name = std::string(control_name)] {
        const QWidget* widget = control(name);
        return widget != nullptr ? widget->width() : 0;
    });
}

void MainWindow::set_width(std::string_view control_name, int width)
{
    change([this, name = std::string(control_name), width] {
        if (QWidget* widget = control(name))
            widget->resize(width, widget->height());
    });
}

text::Text MainWindow::caption()
{
    return read<text::Text>([this] { return to_text(windowTitle()); });
}

void MainWindow::set_caption(text::Text caption)
{
    change([this, shown = to_qstring(caption)] { setWindowTitle(shown); });
}

bool MainWindow::is_disabled()
{
    return read<bool>([this] { return !isEnabled(); });
}

void MainWindow::set_disabled(bool disabled)
{
    change([this, disabled] {
        setEnabled(!disabled);
        if (!disabled)
            return;
        // Qt disables owned windows along with their owner; the About,
        // Notice and pairing windows stay usable while a batch runs.
        const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        for (QWidget* child : children) {
            if (child->isWindow())
                child->setEnabled(true);
        }
    });
}

void MainWindow::sync()
{
    // A read queues behind this thread's earlier changes.
    (void)read<bool>([] { return true; });
}

std::unique_ptr<MainWindow> create_main_window(app::AppState& state)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    auto window = std::make_unique<MainWindow>(state);
    window->on_created();
    return window;
}

} // namespace quenmark::ui
