#pragma once

// Helpers for tests that put something other than a regular file where the
// program expects one (a FIFO, a link to a device), or fill the disk.

#include <QFile>
#include <QString>
#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

inline bool MakeFifo(const QString &path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

inline bool IsFifo(const QString &path)
{
    struct stat st{};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}

// Runs work on a thread. When it has not finished after a few seconds it is
// taken to be stuck on the FIFO: the FIFO then gets writers that close at
// once, so that a read there sees its end and the thread can finish, and the
// answer is false. (A writer that is stuck is released by a reader likewise.)
inline bool FinishesWithoutBlocking(const std::function<void()> &work, const QString &fifo)
{
    std::atomic<bool> done{false};
    std::thread thread([&] {
        work();
        done = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const bool finished = done;
    const QByteArray name = QFile::encodeName(fifo);
    while (!done) {
        for (const int mode : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
            const int fd = ::open(name.constData(), mode);
            if (fd >= 0)
                ::close(fd);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    thread.join();
    return finished;
}

// For work that must run on this thread (windows): after a few seconds a
// thread of its own starts opening the FIFO from both ends and closing it
// again, which releases an open() or read() stuck on it. Stop() ends that and
// tells whether it was needed.
class TFifoWatchdog
{
public:
    explicit TFifoWatchdog(const QString &fifo)
        : m_name(QFile::encodeName(fifo))
        , m_thread([this] { Run(); })
    {
    }
    ~TFifoWatchdog() { Stop(); }
    TFifoWatchdog(const TFifoWatchdog &) = delete;
    TFifoWatchdog &operator=(const TFifoWatchdog &) = delete;

    // True when something was stuck on the FIFO and had to be released.
    bool Stop()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        return m_released;
    }

private:
    void Run()
    {
        const auto start = std::chrono::steady_clock::now();
        while (!m_stop) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(5)) {
                for (const int mode : {O_WRONLY | O_NONBLOCK, O_RDONLY | O_NONBLOCK}) {
                    const int fd = ::open(m_name.constData(), mode);
                    if (fd >= 0) {
                        ::close(fd);
                        m_released = true;
                    }
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    QByteArray m_name;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_released{false};
    std::thread m_thread;
};

// Files may grow to at most `bytes` while it lives: a full disk for any user,
// root included. SIGXFSZ is ignored meanwhile, so writes fail instead.
class TFileSizeLimit
{
public:
    explicit TFileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        m_ok = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~TFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TFileSizeLimit(const TFileSizeLimit &) = delete;
    TFileSizeLimit &operator=(const TFileSizeLimit &) = delete;
    bool Ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};
