// A stand-in for the main window's controls that records what the core
// does to them.
#pragma once

#include "ui/controls.h"

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace quenmark::test_support {

class FakeControls final : public ui::Controls {
public:
    void append_text(std::string_view box, text::Text text) override
    {
        std::lock_guard lock(mutex_);
        texts_[std::string(box)] += text;
        appends_.push_back(std::move(text));
    }
    text::Text text_of(std::string_view control) override
    {
        std::lock_guard lock(mutex_);
        return texts_[std::string(control)];
    }
    void set_text(std::string_view control, text::Text text) override
    {
        std::lock_guard lock(mutex_);
        texts_[std::string(control)] = std::move(text);
    }
    bool is_checked(std::string_view control) override
    {
        std::lock_guard lock(mutex_);
        return checked_[std::string(control)];
    }
    void set_visible(std::string_view control, bool visible) override
    {
        std::lock_guard lock(mutex_);
        visible_[std::string(control)] = visible;
    }
    int width_of(std::string_view control) override
    {
        std::lock_guard lock(mutex_);
        return widths_[std::string(control)];
    }
    void set_width(std::string_view control, int width) override
    {
        std::lock_guard lock(mutex_);
        widths_[std::string(control)] = width;
    }
    text::Text caption() override
    {
        std::lock_guard lock(mutex_);
        return captions_.empty() ? text::Text("Quenmark") : captions_.back();
    }
    void set_caption(text::Text caption) override
    {
        std::lock_guard lock(mutex_);
        captions_.push_back(std::move(caption));
    }
    bool is_disabled() override
    {
        std::lock_guard lock(mutex_);
        return !disabled_.empty() && disabled_.back();
    }
    void set_disabled(bool disabled) override
    {
        std::lock_guard lock(mutex_);
        disabled_.push_back(disabled);
    }

    void sync() override {}

    // Test side.
    void check(const std::string& control, bool checked)
    {
        std::lock_guard lock(mutex_);
        checked_[control] = checked;
    }
    bool visible(const std::string& control)
    {
        std::lock_guard lock(mutex_);
        return visible_[control];
    }
    int width(const std::string& control)
    {
        std::lock_guard lock(mutex_);
        return widths_[control];
    }
    std::vector<text::Text> appends()
    {
        std::lock_guard lock(mutex_);
        return appends_;
    }
    std::vector<text::Text> captions()
    {
        std::lock_guard lock(mutex_);
        return captions_;
    }
    std::vector<bool> disabled_history()
    {
        std::lock_guard lock(mutex_);
        return disabled_;
    }

private:
    std::mutex mutex_;
    std::map<std::string, text::Text> texts_;
    std::map<std::string, bool> checked_;
    std::map<std::string, bool> visible_;
    std::map<std::string, int> widths_;
    std::vector<text::Text> appends_;
    std::vector<text::Text> captions_;
    std::vector<bool> disabled_;
};

} // namespace quenmark::test_support
