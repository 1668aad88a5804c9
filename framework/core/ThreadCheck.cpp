#include "framework/core/ThreadCheck.h"

#include <cstdlib>
#include <string>

#include "framework/core/DiagnosticLog.h"

namespace corvane {
namespace {

void AbortOnViolation(const char* operation) {
    DiagnosticLog::Write(std::string("Audio-thread contract broken: ") + operation);
    std::abort();
}

std::atomic<AudioThreadCheck::Handler> violationHandler{AbortOnViolation};

// Checked builds treat a wait as a broken contract; shipped ones only count it.
#if !defined(NDEBUG) || defined(SONVERA_THREAD_CHECKS)
void ReportWait() { violationHandler.load()("a lock on the audio thread would wait"); }

const bool waitsReported = [] {
    MMutex::SetWaitHandler(ReportWait);
    return true;
}();
#else
const bool waitsReported = false;
#endif

}  // namespace

void AudioThreadCheck::SetViolationHandler(Handler handler) {
    violationHandler.store(handler != nullptr ? handler : AbortOnViolation);
}

AudioThreadCheck::Scope::Scope(AudioThreadCheck& check, const char* operation) : check_(check) {
    (void)waitsReported;
    const std::thread::id self = std::this_thread::get_id();
    std::thread::id expected{};
    if (check.owner_.compare_exchange_strong(expected, self, std::memory_order_acquire) || expected == self) {
        ++check.depth_;
        entered_ = true;
        return;
    }
    violationHandler.load()(operation);
}

AudioThreadCheck::Scope::~Scope() {
    if (entered_ && --check_.depth_ == 0) check_.owner_.store(std::thread::id{}, std::memory_order_release);
}

}  // namespace corvane
