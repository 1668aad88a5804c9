#pragma once
// A value that more than one thread touches: only relaxed atomic loads and
// stores reach it, so no plain access (and no torn read) can compile.

#include <atomic>

namespace corvane {

template <class T>
class Shared {
public:
    Shared(T value = T()) : value_(value) {}  // NOLINT: implicit, like the plain field it replaces
    Shared(const Shared&) = delete;
    Shared& operator=(const Shared&) = delete;

    T Load() const { return value_.load(std::memory_order_relaxed); }
    void Store(T value) { value_.store(value, std::memory_order_relaxed); }
    T Exchange(T value) { return value_.exchange(value, std::memory_order_relaxed); }

private:
    std::atomic<T> value_;
    static_assert(std::atomic<T>::is_always_lock_free, "shared values must never block the audio thread");
};

}  // namespace corvane
