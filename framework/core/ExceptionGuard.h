#pragma once
// Every operation a host can reach runs inside Guarded(): an MException gives
// the neutral result silently, anything else is logged as
// "SYSTEM EXCEPTION! <operation>" and gives the neutral result as well.

#include <utility>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/MException.h"

namespace corvane {

void LogSystemException(const char* operation);

template <class Result, class Body>
Result Guarded(const char* operation, Result neutral, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const MException&) {
        return neutral;
    } catch (...) {
        LogSystemException(operation);
        return neutral;
    }
}

template <class Body>
void GuardedVoid(const char* operation, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
    } catch (const MException&) {
    } catch (...) {
        LogSystemException(operation);
    }
}

}  // namespace corvane
