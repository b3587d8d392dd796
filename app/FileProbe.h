// Probing the files of one add on a worker thread: the files in the order chosen, one result
// each, handed to the UI thread through a queue whose arrivals are announced by posting a
// message to the dialog. The worker touches no window; it only posts.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "MediaInfo.h"
#include "afxwin.h"

// What the probe found about a file.
enum { PROBE_OK = 0, PROBE_NO_DECODER = 1, PROBE_NO_INFO = 2 };

struct ProbedFile {
    std::string path;
    int result = PROBE_OK;  // PROBE_*
    MediaInfo info{};       // filled for PROBE_OK
};

class CFileProbe {
public:
    // Runs on the worker: PROBE_* for `path`, `info` filled when it is PROBE_OK.
    using ProbeFn = std::function<int(const std::string& path, MediaInfo* info)>;

    CFileProbe(std::vector<std::string> paths, ProbeFn probe, HWND notify, UINT message);
    // Stops and joins a worker still running.
    ~CFileProbe();
    CFileProbe(const CFileProbe&) = delete;
    CFileProbe& operator=(const CFileProbe&) = delete;

    // Starts the worker; false when no thread could be made (Run then probes on the caller).
    bool Start();
    // Probes every file on the calling thread, as the worker does.
    void Run();

    // UI thread: the next result in order; false when none is waiting or the probe is stopped.
    bool TakeNext(ProbedFile* out);
    // Every file probed and taken, or the probe stopped and its worker done.
    bool Finished();
    // The worker stops after the file in hand; what is left is not handed out.
    void Cancel() { m_cancel.store(true); }
    bool Cancelled() const { return m_cancel.load(); }
    // Waits for the worker to return (it never waits for the UI thread, so this is short).
    void Join();

private:
    static UINT ThreadProc(LPVOID param);

    const std::vector<std::string> m_paths;
    const ProbeFn m_probe;
    const HWND m_notify;
    const UINT m_message;
    CWinThread* m_pThread = nullptr;
    std::atomic<bool> m_cancel{false};
    std::mutex m_mutex;  // guards what follows
    std::deque<ProbedFile> m_queue;
    bool m_done = false;
};
