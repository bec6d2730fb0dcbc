// The control operations through which commands and worker threads reach
// the main window. Plain C++, no Qt: the core includes this header without
// linking the user interface; the main window implements it.
#pragma once

#include "text/text.h"

#include <string_view>

namespace quenmark::ui {

// A control is named by its object name in the window layout, e.g. "编辑框1"
// (UTF-8, as written in the source). Texts are local texts (GB18030) with
// CR LF line ends.
//
// Every operation may be called from any thread. Calls made by one thread
// take effect on the window in the order they were made. Operations that
// only change the window return at once; operations that read wait for the
// user-interface thread, which itself never waits for a worker. Once the
// window is closing, every operation does nothing, and reads give the empty
// text, false or 0 at once, so a worker winding down never hangs and never
// touches a window that is gone.
class Controls {
public:
    virtual ~Controls() = default;

    // Appends `text` at the end of an edit box, moves the insertion point
    // there and scrolls to it; nothing else in the box changes.
    virtual void append_text(std::string_view box, text::Text text) = 0;

    // The text of an edit box or a label (a button's caption for a button).
    [[nodiscard]] virtual text::Text text_of(std::string_view control) = 0;
    virtual void set_text(std::string_view control, text::Text text) = 0;

    // The checked state of a check box or radio button.
    [[nodiscard]] virtual bool is_checked(std::string_view control) = 0;

    virtual void set_visible(std::string_view control, bool visible) = 0;
    [[nodiscard]] virtual int width_of(std::string_view control) = 0;
    virtual void set_width(std::string_view control, int width) = 0;

    // The main window's caption and disabled state.
    [[nodiscard]] virtual text::Text caption() = 0;
    virtual void set_caption(text::Text caption) = 0;
    [[nodiscard]] virtual bool is_disabled() = 0;
    virtual void set_disabled(bool disabled) = 0;

    // Waits until every change this thread asked for has reached the window
    // (returns at once on the user-interface thread, or once closing).
    virtual void sync() = 0;
};

} // namespace quenmark::ui
