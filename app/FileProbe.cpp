#include "FileProbe.h"

#include <utility>

#include "Utilities.h"

CFileProbe::CFileProbe(std::vector<std::string> paths, ProbeFn probe, HWND notify, UINT message)
    : m_paths(std::move(paths)), m_probe(std::move(probe)), m_notify(notify), m_message(message) {}

CFileProbe::~CFileProbe() {
    Cancel();
    Join();
}

bool CFileProbe::Start() {
    m_pThread = BeginJoinableThread(&CFileProbe::ThreadProc, this, THREAD_PRIORITY_BELOW_NORMAL);
    return m_pThread != nullptr;
}

UINT CFileProbe::ThreadProc(LPVOID param) {
    static_cast<CFileProbe*>(param)->Run();
    return 0;
}

void CFileProbe::Run() {
    for (const std::string& path : m_paths) {
        if (m_cancel.load()) break;
        ProbedFile file;
        file.path = path;
        file.result = m_probe(path, &file.info);
        bool announce;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            announce = m_queue.empty();  // otherwise the UI thread has a notice still to read
            m_queue.push_back(std::move(file));
        }
        if (announce) ::PostMessageA(m_notify, m_message, 0, 0);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
    }
    // The last act of the worker: the UI thread ends the add when it reads this.
    ::PostMessageA(m_notify, m_message, 0, 0);
}

bool CFileProbe::TakeNext(ProbedFile* out) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_cancel.load() || m_queue.empty()) return false;
    *out = std::move(m_queue.front());
    m_queue.pop_front();
    return true;
}

bool CFileProbe::Finished() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_done && (m_queue.empty() || m_cancel.load());
}

void CFileProbe::Join() {
    JoinThread(m_pThread);
}
