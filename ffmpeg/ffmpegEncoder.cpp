#include "ffmpegEncoder.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavutil/log.h>
}

#include "AvsScript.h"
#include "EngineFormat.h"

// ---- Log facility ----

namespace {
std::atomic<int> g_logLevel{1};
std::atomic<LogSinkProc> g_logSink{&DefaultLogSink};
}  // namespace

void LogVPrintf(int level, const char* format, va_list args) {
    LogSinkProc sink = g_logSink.load();
    if (sink) sink(level, format, args);
}

void LogPrintf(int level, const char* format, ...) {
    va_list args;
    va_start(args, format);
    LogVPrintf(level, format, args);
    va_end(args);
}

int GetLogLevel() { return g_logLevel.load(); }
void SetLogLevel(int level) { g_logLevel.store(level); }
void SetLogCallback(LogSinkProc sink) { g_logSink.store(sink ? sink : &DefaultLogSink); }

void DefaultLogSink(int level, const char* format, va_list args) {
    if (level > g_logLevel.load()) return;
    char buffer[1024] = {0};
    FormatC_v(buffer, sizeof buffer, format, args);
    std::fputs(buffer, stderr);
}

// ---- Encoder wrapper ----

CFFmpegEncoder::CFFmpegEncoder() {
    ResetDefaults();
    // The libraries register their formats and codecs themselves; only the log level is ours.
    SetLogLevel(2);
}

CFFmpegEncoder::~CFFmpegEncoder() = default;

void CFFmpegEncoder::ResetDefaults() {
    m_strInputFile.clear();
    m_strOutputFile.clear();
    m_nWidth = 320;
    m_nHeight = 240;
    m_nVideoBitrate = 768;
    m_dFrameRate = 29.97;
    m_bFixAspect = 1;
    m_nAudioBitrate = 64;
    m_nSampleRate = 24000;
    m_nChannels = 2;
    m_bDisableAudio = 0;
    m_nVolume = 100;
    // A new batch starts without a stop left over from the last one's final moments.
    forget_stop_request();
}

std::string CFFmpegEncoder::GetModuleFolder() {
    std::string exe;
    std::size_t size = 256;
    for (;;) {
        std::string buf(size, '\0');
        ssize_t n = readlink("/proc/self/exe", &buf[0], buf.size());
        if (n < 0) return "./";
        if (static_cast<std::size_t>(n) < buf.size()) {
            exe.assign(buf.data(), static_cast<std::size_t>(n));
            break;
        }
        size *= 2;  // the name may have been cut: try a larger buffer
    }
    std::size_t sep = exe.rfind('/');
    return sep == std::string::npos ? std::string("./") : exe.substr(0, sep + 1);
}

namespace {

bool IsWritableFolder(const std::string& folder) {
    struct stat st;
    return stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(folder.c_str(), W_OK) == 0;
}

// A folder of the user's own below the temporary folder, created on first use. It must be a
// real folder (not a link) owned by the user, so nobody else can swap the script under us.
std::string UserTempFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/' && IsWritableFolder(runtime)) {
        std::string f = runtime;
        if (f.back() != '/') f += '/';
        return f;
    }
    const char* tmp = std::getenv("TMPDIR");
    std::string base = (tmp && tmp[0] == '/') ? tmp : "/tmp";
    if (base.back() != '/') base += '/';
    std::string folder = base + "velmora-" + std::to_string(static_cast<unsigned long>(getuid()));
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
    struct stat st;
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid())
        return std::string();
    return folder + "/";
}

}  // namespace

std::string CFFmpegEncoder::GetScriptFolder() const {
    if (!m_strScriptFolder.empty()) {
        std::string f = m_strScriptFolder;
        if (f.back() != '/') f += '/';
        return f;
    }
    std::string program = GetModuleFolder();
    if (IsWritableFolder(program)) return program;
    return UserTempFolder();
}

int CFFmpegEncoder::WriteAvsScript(const std::string& scriptPath, const std::string& inputPath) {
    return WriteAvsScriptFile(scriptPath, inputPath);
}

int CFFmpegEncoder::BuildArguments(int profile) {
    m_params.Reset();
    m_scriptLock.Release();
    m_strScriptPath.clear();

    std::string input = m_strInputFile;
    if (AvsScriptNeeded(m_strInputFile)) {
        std::string folder = GetScriptFolder();
        if (folder.empty()) return -1;
        std::string script = folder + "input.avs";
        // The wait for another conversion's script ends with a stop asked for meanwhile.
        const int written = WriteAvsScriptFile(script, m_strInputFile, &m_scriptLock, &stop_pending);
        if (written != 1) return written == -2 ? -2 : -1;
        m_strScriptPath = script;
        m_strScriptInput = m_strInputFile;
        input = script;
    }
    m_params.Add("-i", input.c_str());

    std::string name = PathFileName(m_strInputFile);
    std::size_t dot = name.rfind('.');
    std::string title = dot == std::string::npos ? std::string() : name.substr(0, dot);
    m_params.Add("-title", title.c_str());

    // Encoders refuse a bit rate above the maximum rate, so the cap follows a higher choice.
    int maxrate = m_nVideoBitrate > 768 ? m_nVideoBitrate : 768;
    m_params.Add("-bitexact", "");
    m_params.Add("-maxrate", std::to_string(maxrate).c_str());
    m_params.Add("-bufsize", "4096");

    const char* vcodec = "mpeg4";
    const char* acodec = "aac";
    const char* format = "mp4";
    switch (profile) {
    case PROFILE_MOV: format = "mov"; break;
    case PROFILE_3GP:
        vcodec = m_strVideoCodec.c_str();
        acodec = m_strAudioCodec.c_str();
        format = "3gp";
        break;
    case PROFILE_PSP: vcodec = "xvid"; format = "psp"; break;
    case PROFILE_3G2: format = "3g2"; break;
    case PROFILE_IPOD: vcodec = m_strVideoCodec.c_str(); format = "ipod"; break;
    default: break;
    }
    m_params.Add("-vcodec", vcodec);
    m_params.Add("-acodec", acodec);
    m_params.Add("-f", format);

    m_params.Add("-s", FormatStringC("%dx%d", m_nWidth, m_nHeight).c_str());
    m_params.Add("-r", FormatStringC("%f", m_dFrameRate).c_str());
    if (m_bFixAspect) m_params.Add("-fixaspect", "");
    m_params.Add("-b", std::to_string(m_nVideoBitrate).c_str());
    m_params.Add("-ac", std::to_string(m_nChannels).c_str());
    m_params.Add("-ab", std::to_string(m_nAudioBitrate).c_str());
    if (m_bDisableAudio) m_params.Add("-an", "");
    m_params.Add("-vol", std::to_string(m_nVolume).c_str());
    m_params.Add("-ar", std::to_string(m_nSampleRate).c_str());
    m_params.Add(m_strOutputFile.c_str(), "");

    return m_params.Overflowed() ? -1 : 0;
}

namespace {

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

int CFFmpegEncoder::StartEncode(int profile) {
    const int built = BuildArguments(profile);
    if (built != 0) {
        // A stop that ended the wait for the script is taken here, as a run would take it.
        if (built == -2) forget_stop_request();
        return built == -2 ? -2 : -1;
    }
    // The driver creates the output before it knows whether the input can be read; a failed
    // file must not leave an empty or half-written file behind that the user could take for
    // a result. A file that was there before the run is the user's and is left alone.
    const bool existed = IsRegularFile(m_strOutputFile);
    int result = StartWork();
    if (result == -1 && !existed && IsRegularFile(m_strOutputFile)) unlink(m_strOutputFile.c_str());
    return result;
}

namespace {

void ReleaseScriptLock(void* lock) { static_cast<AvsScriptLock*>(lock)->Release(); }

}  // namespace

int CFFmpegEncoder::StartWork() {
    if (m_params.Overflowed()) return -1;
    // The driver lets the script's lock go as soon as it has read the script.
    if (m_scriptLock.Held())
        set_input_script(m_strScriptPath.c_str(), m_strScriptInput.c_str(), &ReleaseScriptLock, &m_scriptLock);
    int result;
    try {
        result = ffmpeg_main(m_params.GetCount(), m_params.GetSlots());
    } catch (...) {
        LogPrintf(0, "[ERROR] ffmpeg_main exception in StartWork!\n");
        result = -1;
    }
    m_scriptLock.Release();
    return result;
}

void CFFmpegEncoder::Stop() { request_stop(); }

void CFFmpegEncoder::SetProgressCallback(ProgressCallback callback, void* user) {
    set_progress_callback(callback, user);
}

int CFFmpegEncoder::GetMediaInfo(const char* path, MediaInfo* info) { return query_media_info(path, info); }

int CFFmpegEncoder::CanOpen(const char* path) { return probe_media_file(path) == 0 ? 1 : 0; }

void CFFmpegEncoder::SetLogLevel(int level) {
    // The engine counts -1 quiet, 0 errors, 1 information, 2 details. Details stop short of
    // the libraries' debugging level, which writes lines for every packet and frame: a window
    // program's standard error (often a session log) would grow by megabytes per file.
    int av;
    if (level < 0) av = AV_LOG_QUIET;
    else if (level == 0) av = AV_LOG_ERROR;
    else if (level == 1) av = AV_LOG_INFO;
    else av = AV_LOG_VERBOSE;
    av_log_set_level(av);
}

void CFFmpegEncoder::SetLogCallback(AvLogCallback callback) {
    av_log_set_callback(callback ? callback : &av_log_default_callback);
}

void CFFmpegEncoder::AddParam(const char* name, const char* value) {
    LogPrintf(2, "command param add: %s = %s\n", name ? name : "", value ? value : "");
    m_params.Add(name, value);
}

void CFFmpegEncoder::ResetParams() {
    LogPrintf(2, "command param reset!\n");
    m_params.Reset();
}
