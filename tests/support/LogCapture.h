#pragma once
// Collects diagnostic log lines for the life of the object.

#include <string>
#include <vector>

#include "framework/core/DiagnosticLog.h"

namespace sonvera_test {

class LogCapture {
public:
    LogCapture() {
        corvane::DiagnosticLog::SetSink([this](const std::string& line) { lines.push_back(line); });
    }
    ~LogCapture() { corvane::DiagnosticLog::SetSink(nullptr); }

    std::vector<std::string> lines;
};

}  // namespace sonvera_test
