// Starting programs without a shell, and the recorders that tests put in their place.
#pragma once

#include <string>
#include <vector>

namespace plat::shell {

enum class SpawnResult { Started, Recorded, NotFound, Denied, NoMemory, Failed };

// Which recorder file a request goes to.
enum class SpawnKind { Opener, Shutdown };

// Starts argv[0] (searched on PATH) with `argv`, in `dir` when not empty; the child is reaped
// in the background (shell/reaper.h). While tests record, under the headless backend, or when the kind's
// recorder file is set, the request is only recorded.
SpawnResult Spawn(const std::vector<std::string>& argv, const std::string& dir, SpawnKind kind);

// Command-line words as the platform's programs split them: blanks separate words, double
// quotes group, 2n backslashes before a quote give n and the quote acts, 2n+1 give n and a
// literal quote; other backslashes are literal.
std::vector<std::string> SplitCommandLine(const std::string& line);

// The folder of the running program, with a trailing '/'.
std::string ProgramFolder();

// Test controls.
void SetRecording(bool on);
void SetRecorderFile(SpawnKind kind, const char* path);
std::vector<std::vector<std::string>> Requests();
void ClearRequests();

}  // namespace plat::shell
