#pragma once
// Diagnostic log. Discards by default; SONVERA_LOG=stderr or SONVERA_LOG=/path
// makes it write one line per message. Tests install a capture sink.
// [thread-safe] Never called on the audio thread in the steady state.

#include <functional>
#include <string>

namespace corvane {

namespace DiagnosticLog {

using Sink = std::function<void(const std::string&)>;

void Write(const std::string& message);

// Replaces the sink chosen from the environment; an empty sink restores it.
void SetSink(Sink sink);

}  // namespace DiagnosticLog

}  // namespace corvane
