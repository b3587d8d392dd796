#include "AvsScript.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ffmpegEncoder.h"

namespace {

std::size_t LastSeparator(const std::string& path) { return path.find_last_of("/\\"); }

bool ExtensionIs(const std::string& ext, const char* const* list) {
    for (; *list; ++list)
        if (strcasecmp(ext.c_str(), *list) == 0) return true;
    return false;
}

const char* const kConvertFps[] = {".rm", ".rmvb", ".wmv", ".asf", nullptr};
const char* const kKeepFps[] = {".mp4", nullptr};
const char* const kDirect[] = {".swf", ".flv", ".m4v", ".h264", ".h261", ".h263",
                               ".mpg", ".avi", ".3gp", nullptr};

}  // namespace

std::string PathFileName(const std::string& path) {
    std::size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string PathExtension(const std::string& path) {
    std::string name = PathFileName(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool AvsScriptCanQuote(const std::string& inputPath) {
    // A line break, or a quote where the triple-quoted string would end, would end the
    // script's string early and let a file name inject script text.
    if (inputPath.empty() || inputPath.find_first_of("\r\n") != std::string::npos) return false;
    if (inputPath.find('"') == std::string::npos) return true;
    return inputPath.find("\"\"\"") == std::string::npos && inputPath.back() != '"';
}

bool AvsScriptNeeded(const std::string& inputPath) {
    std::string ext = PathExtension(inputPath);
    if (ExtensionIs(ext, kConvertFps) || ExtensionIs(ext, kKeepFps)) return true;
    return !ExtensionIs(ext, kDirect);
}

std::string AvsScriptText(const std::string& inputPath) {
    std::string ext = PathExtension(inputPath);
    std::string text = "LoadPlugin(\"directshowsource.dll\")\r\n";
    // A name with a double quote goes in AviSynth's triple-quoted form, which holds it.
    const char* quote = inputPath.find('"') == std::string::npos ? "\"" : "\"\"\"";
    text += std::string("DirectShowSource(") + quote + inputPath + quote;
    if (ExtensionIs(ext, kConvertFps))
        text += ", fps=23.976, convertfps=true )";
    else if (ExtensionIs(ext, kKeepFps))
        text += ", fps=23.976, convertfps=false )";
    else
        text += ")";
    text += "\r\nreturn last";
    return text;
}

AvsScriptLock& AvsScriptLock::operator=(AvsScriptLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

AvsScriptLock::Outcome AvsScriptLock::Acquire(const std::string& path, int waitMs, int (*stopped)()) {
    Release();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    bool told = false;
    for (;;) {
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) return Failed;
        // Asked again and again rather than waited on, so that a stop or the end of the wait
        // is seen while another conversion holds the script.
        while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            Outcome gaveUp = Locked;
            if (errno != EWOULDBLOCK && errno != EINTR) gaveUp = Failed;
            else if (stopped && stopped()) gaveUp = Stopped;
            else if (std::chrono::steady_clock::now() >= deadline) gaveUp = TimedOut;
            if (gaveUp != Locked) {
                if (gaveUp == TimedOut)
                    LogPrintf(0, "The input script %s stayed in use by another conversion: giving up\n", path.c_str());
                close(fd);
                return gaveUp;
            }
            if (!told) {
                LogPrintf(1, "The input script %s is in use by another conversion: waiting for it\n", path.c_str());
                told = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // The holder may have removed the script before it let go: lock the one there now.
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            m_fd = fd;
            return Locked;
        }
        close(fd);
    }
}

bool AvsScriptLock::Write(const std::string& text) {
    if (m_fd < 0 || ftruncate(m_fd, 0) != 0) return false;
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = pwrite(m_fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

void AvsScriptLock::Release() {
    if (m_fd < 0) return;
    close(m_fd);  // closing lets the lock go
    m_fd = -1;
}

int WriteAvsScriptFile(const std::string& scriptPath, const std::string& inputPath, AvsScriptLock* keep,
                       int (*stopped)()) {
    if (!AvsScriptNeeded(inputPath)) return 0;
    AvsScriptLock lock;
    const AvsScriptLock::Outcome got = lock.Acquire(scriptPath, AvsScriptLock::kDefaultWaitMs, stopped);
    if (got == AvsScriptLock::Stopped) return -2;  // the script there is another's: left alone
    if (got != AvsScriptLock::Locked) {
        // Whatever an earlier file left there must not be converted under this file's name
        // (a script still locked by another is its own, and stays).
        if (got == AvsScriptLock::Failed) unlink(scriptPath.c_str());
        return -1;
    }
    if (!AvsScriptCanQuote(inputPath) || !lock.Write(AvsScriptText(inputPath))) {
        unlink(scriptPath.c_str());  // still under the lock: no other instance's script goes
        return -1;
    }
    if (keep) *keep = std::move(lock);
    return 1;
}
