#pragma once
// A fixed-capacity queue between exactly one producer and one consumer,
// without a lock: neither side can ever block the other or allocate.

#include <array>
#include <atomic>
#include <cstddef>

namespace corvane {

template <class T, size_t Capacity>
class SpscRing {
public:
    // [producer] False when the ring is full: the item is dropped.
    bool TryPush(const T& item) {
        const size_t tail = tail_.load(std::memory_order_relaxed);
        if (tail - head_.load(std::memory_order_acquire) >= Capacity) return false;
        items_[tail % Capacity] = item;
        tail_.store(tail + 1, std::memory_order_release);
        return true;
    }

    // [consumer] False when the ring is empty.
    bool TryPop(T& item) {
        const size_t head = head_.load(std::memory_order_relaxed);
        if (head == tail_.load(std::memory_order_acquire)) return false;
        item = items_[head % Capacity];
        head_.store(head + 1, std::memory_order_release);
        return true;
    }

private:
    std::array<T, Capacity> items_{};
    std::atomic<size_t> head_{0};
    std::atomic<size_t> tail_{0};
};

}  // namespace corvane
