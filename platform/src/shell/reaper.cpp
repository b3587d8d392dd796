#include "shell/reaper.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace plat::shell {
namespace {

struct Child {
    pid_t pid;
    int fd;  // readable once the child has ended; -1 where the kernel offers no such descriptor
};

// Children without a descriptor are looked at this often.
constexpr int kLookMs = 250;

struct Reaper {
    std::mutex control;  // starting and stopping the thread
    std::mutex mu;       // what the thread reads
    std::vector<Child> children;
    std::thread* thread = nullptr;
    pid_t process = 0;  // that runs the thread: a forked child has none, and shares the pipe
    bool stopping = false;
    bool exiting = false;  // the process is ending: no thread starts again
    int wake[2] = {-1, -1};
};

Reaper& R() {
    static Reaper* r = new Reaper;  // outlives the static destructors of programs that start children late
    return *r;
}

void Wake(Reaper& r) {
    char c = 1;
    ssize_t n = write(r.wake[1], &c, 1);
    (void)n;
}

int ChildDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return int(syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

// Waits until a child ends or the pipe wakes it, then reaps every child that has ended.
void Run(Reaper& r) {
    pthread_setname_np(pthread_self(), "child reaper");
    std::vector<pollfd> fds;
    for (;;) {
        bool look = false;
        fds.assign(1, pollfd{r.wake[0], POLLIN, 0});
        {
            std::lock_guard<std::mutex> g(r.mu);
            if (r.stopping) return;
            for (const Child& c : r.children) {
                if (c.fd >= 0) fds.push_back(pollfd{c.fd, POLLIN, 0});
                else look = true;
            }
        }
        poll(fds.data(), nfds_t(fds.size()), look ? kLookMs : -1);
        char buf[64];
        while (read(r.wake[0], buf, sizeof buf) > 0) {
        }
        std::lock_guard<std::mutex> g(r.mu);
        for (size_t i = 0; i < r.children.size();) {
            Child& c = r.children[i];
            int status;
            const pid_t got = waitpid(c.pid, &status, WNOHANG);
            if (got == 0 || (got < 0 && errno == EINTR)) {
                ++i;
                continue;
            }
            // Reaped, or no longer a child of ours to wait for.
            if (c.fd >= 0) close(c.fd);
            r.children.erase(r.children.begin() + long(i));
        }
    }
}

// Exit handlers run in the reverse order of their registration: this one, registered with the
// first child, runs before those registered when the process started (the leak checker's).
void StopAtExit() {
    {
        std::lock_guard<std::mutex> g(R().control);
        R().exiting = true;
    }
    StopReaping();
}

}  // namespace

void ReapWhenEnded(pid_t pid) {
    Reaper& r = R();
    std::lock_guard<std::mutex> g(r.control);
    static const bool ready = [&r] {
        if (pipe2(r.wake, O_CLOEXEC | O_NONBLOCK) != 0) return false;
        std::atexit(StopAtExit);
        return true;
    }();
    {
        std::lock_guard<std::mutex> d(r.mu);
        r.children.push_back(Child{pid, ChildDescriptor(pid)});
    }
    if (!ready || r.exiting) return;  // left to the system, as at exit
    if (r.thread) {
        Wake(r);
        return;
    }
    r.thread = new std::thread(Run, std::ref(r));
    r.process = getpid();
}

void StopReaping() {
    Reaper& r = R();
    std::lock_guard<std::mutex> g(r.control);
    if (!r.thread || r.process != getpid()) return;
    {
        std::lock_guard<std::mutex> d(r.mu);
        r.stopping = true;
    }
    Wake(r);
    r.thread->join();
    delete r.thread;
    r.thread = nullptr;
    std::lock_guard<std::mutex> d(r.mu);
    r.stopping = false;
}

}  // namespace plat::shell
