#pragma once
// A disk that fills up after a few bytes, without root: the process's file
// size limit, with the signal that limit raises ignored so that writes fail
// with an error as on a full disk. Restored when the scope ends.

#include <sys/resource.h>

#include <csignal>
#include <cstddef>

namespace sonvera_test {

class FullDisk {
public:
    explicit FullDisk(size_t bytesLeft) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = previous_;
        limited.rlim_cur = bytesLeft;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FullDisk() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    // For a child process: no room at all, set by its shell.
    static constexpr const char* ShellPrefix = "trap '' XFSZ; ulimit -f 0; ";

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

}  // namespace sonvera_test
