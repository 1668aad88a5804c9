#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "framework/core/ExceptionGuard.h"
#include "framework/core/MLock.h"
#include "framework/core/MRandom.h"
#include "framework/core/Strings.h"
#include "tests/support/LogCapture.h"

using namespace corvane;

TEST(Random, FollowsTheLinearCongruentialSequence) {
    MRandom::Seed(1);
    EXPECT_EQ(MRandom::Next(), 41);
    EXPECT_EQ(MRandom::Next(), 18467);
    EXPECT_EQ(MRandom::Next(), 6334);
    MRandom::Seed(1);
    EXPECT_DOUBLE_EQ(MRandom::NextUnit(), 41.0 / 32767.0);
    // The full state wraps at 32 bits.
    MRandom::Seed(0xFFFFFFFFu);
    MRandom::Next();
    EXPECT_EQ(MRandom::State(), 0xFFFFFFFFu * 214013u + 2531011u);
}

TEST(ExceptionGuard, OwnExceptionsAreSilentOthersAreLogged) {
    sonvera_test::LogCapture log;
    EXPECT_EQ(Guarded("A::b", 7, []() -> int { throw MException("Index out of range."); }), 7);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(Guarded("MAudioPluginVSTAdapter::setChunk", 0, []() -> int { throw std::runtime_error("x"); }), 0);
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0], "SYSTEM EXCEPTION! MAudioPluginVSTAdapter::setChunk");
    EXPECT_EQ(Guarded("A::b", 0, [] { return 5; }), 5);
}

TEST(Lock, FailedAcquireThrowsTheMutexMessage) {
    MMutex mutex;
    ASSERT_EQ(mutex.Lock(MMutex::WaitForever), 0);
    EXPECT_EQ(mutex.Lock(0), 0) << "the owner may lock again";
    mutex.Unlock();
    std::string message;
    std::thread other([&] {
        try {
            MLock hold(mutex, 0);
        } catch (const MException& e) {
            message = e.Message();
        }
    });
    other.join();
    mutex.Unlock();
    EXPECT_EQ(message, "Could not acquire mutex.");
}

TEST(Strings, JoinAndParse) {
    EXPECT_EQ(JoinTexts("", "b"), "b");
    EXPECT_EQ(JoinTexts("a", ""), "a");
    EXPECT_EQ(JoinTexts("a", "b"), "a - b");
    EXPECT_DOUBLE_EQ(ParseDouble("12.5 dB"), 12.5);
    EXPECT_DOUBLE_EQ(ParseDouble("abc"), 0.0);
    EXPECT_DOUBLE_EQ(ParseDouble("nan"), 0.0);
    EXPECT_EQ(ParseInteger("42x"), 42);
    EXPECT_EQ(RoundHalfUp(5.5), 6.0);
    EXPECT_EQ(RoundHalfUp(-0.5), 0.0);
    EXPECT_EQ(RoundHalfUp(-0.6), -1.0);
}
