#pragma once

// A file-size limit for this process, as a full disk would impose: writes past it fail with
// EFBIG (SIGXFSZ is ignored meanwhile). Undone when it goes out of scope. Unix only.

#include <QtGlobal>

#include <csignal>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

class FileSizeLimit final {
public:
#ifdef Q_OS_UNIX
    static constexpr bool Supported = true;
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
#else
    static constexpr bool Supported = false;
    explicit FileSizeLimit(long long)
    {
    }
#endif
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

    bool ok() const
    {
        return m_ok;
    }

private:
#ifdef Q_OS_UNIX
    rlimit m_old {};
    void (*m_oldHandler)(int) = SIG_DFL;
#endif
    bool m_ok = false;
};

#define SKIP_WITHOUT_SIZE_LIMITS()                                                                 \
    if (!FileSizeLimit::Supported)                                                                 \
    QSKIP("a full disk is made with a file-size limit (setrlimit), which only Unix has")
