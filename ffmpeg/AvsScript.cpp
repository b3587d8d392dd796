#include "AvsScript.h"

#include <cerrno>
#include <cstdio>
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

bool AvsScriptNeeded(const std::string& inputPath) {
    std::string ext = PathExtension(inputPath);
    if (ExtensionIs(ext, kConvertFps) || ExtensionIs(ext, kKeepFps)) return true;
    return !ExtensionIs(ext, kDirect);
}

std::string AvsScriptText(const std::string& inputPath) {
    std::string ext = PathExtension(inputPath);
    std::string text = "LoadPlugin(\"directshowsource.dll\")\r\n";
    text += "DirectShowSource(\"" + inputPath + "\"";
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

bool AvsScriptLock::Acquire(const std::string& path) {
    Release();
    for (;;) {
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) return false;
        if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) {
                close(fd);
                return false;
            }
            LogPrintf(1, "The input script %s is in use by another conversion: waiting for it\n", path.c_str());
            int rc;
            while ((rc = flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
            }
            if (rc != 0) {
                close(fd);
                return false;
            }
        }
        // The holder may have removed the script before it let go: lock the one there now.
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
            held.st_ino == named.st_ino) {
            m_fd = fd;
            return true;
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

int WriteAvsScriptFile(const std::string& scriptPath, const std::string& inputPath, AvsScriptLock* keep) {
    if (!AvsScriptNeeded(inputPath)) return 0;
    AvsScriptLock lock;
    if (!lock.Acquire(scriptPath)) {
        // Whatever an earlier file left there must not be converted under this file's name.
        unlink(scriptPath.c_str());
        return -1;
    }
    // A quote or a line break would end the script's string early and let a file name inject
    // script text; such a name cannot be carried by a script.
    const bool quotable = !inputPath.empty() && inputPath.find_first_of("\"\r\n") == std::string::npos;
    if (!quotable || !lock.Write(AvsScriptText(inputPath))) {
        unlink(scriptPath.c_str());  // still under the lock: no other instance's script goes
        return -1;
    }
    if (keep) *keep = std::move(lock);
    return 1;
}
