// The programs the platform starts are reaped by one thread for all of them, which is finished
// before the process exits without waiting for those still running: the system reaps them once
// the program is gone.
#pragma once

#include <sys/types.h>

namespace plat::shell {

// Any thread: `pid`, a child of this process, is reaped once it ends.
void ReapWhenEnded(pid_t pid);

// Finishes the reaping thread (also done at exit) and returns at once, whatever children still
// run; the next child started starts it again, and it reaps those left as well.
void StopReaping();

}  // namespace plat::shell
