// The encoder wrapper: turns one set of conversion settings into the driver's argument vector
// and runs the driver once, synchronously, on the calling thread. Also the engine's small log
// facility (LogPrintf and companions).
#ifndef VELMORA_FFMPEG_FFMPEGENCODER_H
#define VELMORA_FFMPEG_FFMPEGENCODER_H

#include <cstdarg>
#include <string>

#include "AvsScript.h"
#include "MediaInfo.h"
#include "ParamContainer.h"
#include "ffmpeg.h"

// ---- Engine log facility: one level and one sink for the process. ----

typedef void (*LogSinkProc)(int level, const char* format, va_list args);

void LogPrintf(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
void LogVPrintf(int level, const char* format, va_list args);
int GetLogLevel();           // initially 1
void SetLogLevel(int level);
void SetLogCallback(LogSinkProc sink);  // null puts DefaultLogSink back
// Writes lines of a level at or below the log level (at most 1023 characters each) to the
// standard error stream, the debugging output of this platform.
void DefaultLogSink(int level, const char* format, va_list args);

// Output profiles: the codecs and container format of the argument vector.
enum OutputProfile {
    PROFILE_MP4 = 0,    // mpeg4 / aac / mp4
    PROFILE_MOV = 1,    // mpeg4 / aac / mov
    PROFILE_3GP = 2,    // chosen video / chosen audio codec / 3gp
    PROFILE_PSP = 3,    // xvid / aac / psp
    PROFILE_3G2 = 4,    // mpeg4 / aac / 3g2
    PROFILE_IPOD = 5,   // chosen video codec / aac / ipod (what the application uses)
};

class CFFmpegEncoder {
public:
    typedef void (*AvLogCallback)(void* avcl, int level, const char* format, va_list args);

    CFFmpegEncoder();
    virtual ~CFFmpegEncoder();

    CFFmpegEncoder(const CFFmpegEncoder&) = delete;
    CFFmpegEncoder& operator=(const CFFmpegEncoder&) = delete;

    // Input and output paths empty, 320x240, 768 kbit/s, 29.97 fps, fix aspect on, audio
    // 64 kbit/s, 24000 Hz, 2 channels, audio on, volume 100. The codec names are kept. A stop
    // asked for and not yet taken by a run is forgotten (a batch starts afresh).
    void ResetDefaults();

    // Setters store their argument and validate nothing; the driver rejects what it cannot use.
    // The text setters also take plain character pointers (null counts as empty), so a string
    // class that converts to one can be passed directly.
    void SetInputFile(const std::string& path) { m_strInputFile = path; }
    void SetInputFile(const char* path) { m_strInputFile = path ? path : ""; }
    void SetOutputFile(const std::string& path) { m_strOutputFile = path; }
    void SetOutputFile(const char* path) { m_strOutputFile = path ? path : ""; }
    void SetVideoCodec(const std::string& codec) { m_strVideoCodec = codec; }
    void SetVideoCodec(const char* codec) { m_strVideoCodec = codec ? codec : ""; }
    void SetFrameSize(int width, int height) { m_nWidth = width; m_nHeight = height; }
    void SetVideoBitrate(int kbps) { m_nVideoBitrate = kbps; }
    void SetFrameRate(double fps) { m_dFrameRate = fps; }
    void SetFixAspect(int fix) { m_bFixAspect = fix; }
    void SetAudioCodec(const std::string& codec) { m_strAudioCodec = codec; }
    void SetAudioCodec(const char* codec) { m_strAudioCodec = codec ? codec : ""; }
    void SetAudioBitrate(int kbps) { m_nAudioBitrate = kbps; }
    void SetSampleRate(int hz) { m_nSampleRate = hz; }
    void SetChannels(int channels) { m_nChannels = channels; }
    void SetDisableAudio(int off) { m_bDisableAudio = off; }
    void SetVolume(int volume) { m_nVolume = volume; }

    // Builds the argument vector for a profile and runs the driver: 0 converted, -1 failed
    // (no input or output, set-up failed, or the input's script could not be written),
    // -2 stopped by request. A failed run removes the output file it created.
    int StartEncode(int profile);

    // Builds the argument vector (writing the input's script when it needs one) without
    // running the driver: 0 when the vector is complete, -1 when the file must fail, -2 when
    // a stop came while another conversion held the script. A script written stays locked
    // until the next StartWork has read it (or the next build).
    int BuildArguments(int profile);

    // Runs the driver over the current vector, inside a catch-all handler (-1 on exception).
    int StartWork();

    // Asks the conversion under way, or about to start, to stop; only sets the driver's stop
    // flag (ResetDefaults clears it).
    void Stop();

    void SetProgressCallback(ProgressCallback callback, void* user);

    // The media-information probe: 0 success, -1 failure (record untouched).
    int GetMediaInfo(const char* path, MediaInfo* info);
    // True when the format library opens the file and reads its stream information.
    int CanOpen(const char* path);

    // Writes the input's script when its kind needs one: 1 the driver reads the script,
    // 0 it reads the input itself, -1 a needed script could not be written.
    int WriteAvsScript(const std::string& scriptPath, const std::string& inputPath);

    // The folder of the running program, with a trailing '/'.
    static std::string GetModuleFolder();

    // Where the input script is written: the program folder when it is writable, otherwise a
    // per-user temporary folder; SetScriptFolder overrides this (an empty text restores it).
    std::string GetScriptFolder() const;
    void SetScriptFolder(const std::string& folder) { m_strScriptFolder = folder; }

    // The codec library's log: its level in the engine's numbering (-1 quiet, 0 errors,
    // 1 information, 2 details) and an optional callback in place of its own printer.
    static void SetLogLevel(int level);
    static void SetLogCallback(AvLogCallback callback);

    // Adds one option (and value) to the vector, or empties it, with a trace line at level 2.
    void AddParam(const char* name, const char* value);
    void ResetParams();

    // The vector of the last StartEncode / BuildArguments.
    const CParamContainer& GetParams() const { return m_params; }

private:
    CParamContainer m_params;
    std::string m_strInputFile;
    std::string m_strOutputFile;
    std::string m_strVideoCodec;
    int m_nWidth;
    int m_nHeight;
    int m_nVideoBitrate;
    double m_dFrameRate;
    int m_bFixAspect;
    std::string m_strAudioCodec;
    int m_nAudioBitrate;
    int m_nSampleRate;
    int m_nChannels;
    int m_bDisableAudio;
    int m_nVolume;
    std::string m_strScriptFolder;
    // The script of the last build, locked until the driver has read it, and what it names.
    AvsScriptLock m_scriptLock;
    std::string m_strScriptPath;
    std::string m_strScriptInput;
};

#endif
