#include "http/abort_signal.h"

#include <algorithm>

namespace quenmark::http {

void AbortSignal::abort()
{
    std::lock_guard lock(mutex_);
    aborted_.store(true, std::memory_order_release);
    for (Waiter* waiter : waiters_)
        waiter->wake();
}

void AbortSignal::attach(Waiter& waiter)
{
    std::lock_guard lock(mutex_);
    waiters_.push_back(&waiter);
    if (aborted_.load(std::memory_order_relaxed))
        waiter.wake();
}

void AbortSignal::detach(Waiter& waiter)
{
    std::lock_guard lock(mutex_);
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), &waiter), waiters_.end());
}

} // namespace quenmark::http
