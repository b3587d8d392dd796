// The AviSynth input script: inputs of the kinds the format library is not asked to read
// directly are handed to the driver as a three-line script that names the input file.
#ifndef VELMORA_FFMPEG_AVSSCRIPT_H
#define VELMORA_FFMPEG_AVSSCRIPT_H

#include <string>

// The extension of a path, with its leading dot: the text from the last '.' after the last
// folder separator ('/' or '\'); empty when the name has no '.'.
std::string PathExtension(const std::string& path);

// The file-name part of a path: after its last '/' or '\' (the whole path when it has none).
std::string PathFileName(const std::string& path);

// True when the driver is to read the input through a script, from its extension
// (case-insensitive).
bool AvsScriptNeeded(const std::string& inputPath);

// True when the script's string can hold the name: no line break, and a double quote only
// where AviSynth's triple-quoted string does not end early ("\"\"\"" inside, or a '"' last).
bool AvsScriptCanQuote(const std::string& inputPath);

// The exact bytes of the script for an input (lines end with CR LF, the last has no end).
std::string AvsScriptText(const std::string& inputPath);

// An exclusive lock on a script file. Every instance of the program writes its script under
// it, and keeps it until its driver has read the script, so that another instance converting
// at the same time from the same folder waits instead of putting its own input in our place.
class AvsScriptLock {
public:
    AvsScriptLock() = default;
    ~AvsScriptLock() { Release(); }
    AvsScriptLock(AvsScriptLock&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    AvsScriptLock& operator=(AvsScriptLock&& other) noexcept;
    AvsScriptLock(const AvsScriptLock&) = delete;
    AvsScriptLock& operator=(const AvsScriptLock&) = delete;

    enum Outcome { Locked, Failed, TimedOut, Stopped };
    // Opens the script (creating it) and locks it, waiting while another holds it, at most
    // waitMs milliseconds and only until `stopped` (when given) answers true. The lock is on
    // the file now at the path: one removed or replaced while we waited is opened again.
    Outcome Acquire(const std::string& path, int waitMs = kDefaultWaitMs, int (*stopped)() = nullptr);
    // Long enough for another conversion to open its input, short of a hung one's forever.
    static constexpr int kDefaultWaitMs = 60000;
    // Replaces the content of the locked script; false when it was not written whole.
    bool Write(const std::string& text);
    void Release();
    bool Held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Writes the script for an input that needs one, under the script's lock.
// 1: the script was written, the driver is to read it; 0: no script needed, nothing written;
// -1: a script is needed but could not be written whole (or the input's name cannot be
// quoted in one, or the lock did not come in time); the file must then fail, and no stale
// script is left at scriptPath; -2: `stopped` answered true while the lock was awaited.
// With `keep`, a written script stays locked in *keep; otherwise the lock goes at once.
int WriteAvsScriptFile(const std::string& scriptPath, const std::string& inputPath, AvsScriptLock* keep = nullptr,
                       int (*stopped)() = nullptr);

#endif
