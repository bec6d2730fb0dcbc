// Aborting HTTP requests from another thread.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

namespace quenmark::http {

// A flag that ends, at once, every request made with it: the one in
// progress returns as a failed exchange within milliseconds, and later ones
// fail without connecting. Set once, it stays set.
class AbortSignal {
public:
    // What a request waiting on the network registers to be woken.
    class Waiter {
    public:
        virtual void wake() = 0;

    protected:
        ~Waiter() = default;
    };

    // Any thread, any number of times.
    void abort();
    [[nodiscard]] bool aborted() const { return aborted_.load(std::memory_order_acquire); }

    // A request registers while it waits and leaves before its waiter is
    // destroyed; a waiter registered after abort() is woken at once.
    void attach(Waiter& waiter);
    void detach(Waiter& waiter);

private:
    std::atomic<bool> aborted_ = false;
    std::mutex mutex_;
    std::vector<Waiter*> waiters_;
};

} // namespace quenmark::http
