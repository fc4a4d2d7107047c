#pragma once
// A file-size limit for the lifetime of the object: every write beyond
// Bytes fails (EFBIG, the signal ignored), as on a full disk.

#include <csignal>
#include <sys/resource.h>

namespace lp::test {

class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes)
    {
        getrlimit(RLIMIT_FSIZE, &FSaved);
        FPrevious = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = FSaved;
        limited.rlim_cur = Bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &FSaved);
        std::signal(SIGXFSZ, FPrevious);
    }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FSaved{};
    void (*FPrevious)(int) = nullptr;
};

} // namespace lp::test
