#include "platform/MMutex.h"

#include <chrono>

namespace corvane {
namespace {

thread_local int audioThreadDepth = 0;
std::atomic<uint64_t> audioThreadWaits{0};
std::atomic<MMutex::WaitHandler> waitHandler{nullptr};

}  // namespace

MMutex::AudioThreadMark::AudioThreadMark() { ++audioThreadDepth; }
MMutex::AudioThreadMark::~AudioThreadMark() { --audioThreadDepth; }
bool MMutex::OnAudioThread() { return audioThreadDepth > 0; }
uint64_t MMutex::AudioThreadWaits() { return audioThreadWaits.load(std::memory_order_relaxed); }
void MMutex::SetWaitHandler(WaitHandler handler) { waitHandler.store(handler); }

int MMutex::Lock(uint32_t timeoutMs) {
    if (timeoutMs == 0) return mutex_.try_lock() ? 0 : 1;
    if (audioThreadDepth > 0) {
        if (mutex_.try_lock()) return 0;
        audioThreadWaits.fetch_add(1, std::memory_order_relaxed);
        if (WaitHandler handler = waitHandler.load()) handler();
    }
    if (timeoutMs == WaitForever) {
        mutex_.lock();
        return 0;
    }
    return mutex_.try_lock_for(std::chrono::milliseconds(timeoutMs)) ? 0 : 1;
}

void MMutex::Unlock() { mutex_.unlock(); }

}  // namespace corvane
