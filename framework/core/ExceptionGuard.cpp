#include "framework/core/ExceptionGuard.h"

#include <string>

namespace corvane {

void LogSystemException(const char* operation) {
    try {
        DiagnosticLog::Write(std::string("SYSTEM EXCEPTION! ") + operation);
    } catch (...) {
        // The log itself failed (out of memory): nothing more can be said.
    }
}

}  // namespace corvane
