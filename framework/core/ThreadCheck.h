#pragma once
// Thread tags on entry points: [audio-thread] (the host's processing thread),
// [main-thread] (its user-interface thread), [any] (either). Every build marks
// the thread inside an audio-thread entry point, so that a lock there that
// would wait is counted (MMutex::AudioThreadWaits). Checked builds (debug,
// sanitizers) enforce the contract: the audio-thread entry points of one
// instance never run on two threads at once, and a lock there never waits.

#include <atomic>
#include <thread>

#include "platform/MMutex.h"

namespace corvane {

class AudioThreadCheck {
public:
    // What happens on a violation; the default logs the operation and aborts.
    using Handler = void (*)(const char* operation);
    static void SetViolationHandler(Handler handler);

    // Held for the length of one audio-thread entry point; nests on its thread.
    class Scope {
    public:
        Scope(AudioThreadCheck& check, const char* operation);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        MMutex::AudioThreadMark mark_;
        AudioThreadCheck& check_;
        bool entered_ = false;
    };

private:
    std::atomic<std::thread::id> owner_{};
    int depth_ = 0;  // touched by the owning thread only
};

}  // namespace corvane

#if !defined(NDEBUG) || defined(SONVERA_THREAD_CHECKS)
#define SONVERA_AUDIO_THREAD(check, operation) \
    ::corvane::AudioThreadCheck::Scope audioThreadScope_((check), (operation))
#else
#define SONVERA_AUDIO_THREAD(check, operation) ::corvane::MMutex::AudioThreadMark audioThreadMark_
#endif
