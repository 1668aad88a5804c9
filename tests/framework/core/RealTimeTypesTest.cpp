// The small types that carry values and events between threads.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "framework/core/SpscRing.h"
#include "framework/core/ThreadCheck.h"

using namespace corvane;

TEST(SpscRing, KeepsOrderDropsWhenFullAndWrapsAround) {
    SpscRing<int, 4> ring;
    int value = 0;
    EXPECT_FALSE(ring.TryPop(value));
    for (int round = 0; round < 3; ++round) {  // past the end of the storage several times
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(ring.TryPush(round * 10 + i));
        EXPECT_FALSE(ring.TryPush(99)) << "full: dropped";
        for (int i = 0; i < 4; ++i) {
            ASSERT_TRUE(ring.TryPop(value));
            EXPECT_EQ(value, round * 10 + i);
        }
        EXPECT_FALSE(ring.TryPop(value));
    }
}

TEST(SpscRing, OneProducerOneConsumerLoseNothingInOrder) {
    SpscRing<int, 64> ring;
    constexpr int count = 200000;
    std::thread producer([&] {
        for (int i = 0; i < count;)
            if (ring.TryPush(i)) ++i;
    });
    int expected = 0, value = 0;
    while (expected < count) {
        if (ring.TryPop(value)) {
            ASSERT_EQ(value, expected++);
        }
    }
    producer.join();
}

namespace {
std::atomic<int> violations{0};
void CountViolation(const char*) { ++violations; }
}  // namespace

TEST(AudioThreadCheck, ASecondThreadInsideTheEntryPointIsReported) {
    AudioThreadCheck::SetViolationHandler(CountViolation);
    AudioThreadCheck check;
    violations = 0;
    {
        AudioThreadCheck::Scope outer(check, "first");
        AudioThreadCheck::Scope nested(check, "nested on the same thread");
        std::thread([&] { AudioThreadCheck::Scope other(check, "second thread"); }).join();
    }
    EXPECT_EQ(violations.load(), 1);
    std::thread([&] { AudioThreadCheck::Scope later(check, "another thread, afterwards"); }).join();
    EXPECT_EQ(violations.load(), 1) << "hosts may move processing to another thread between blocks";
    AudioThreadCheck::SetViolationHandler(nullptr);
}
