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

// The exact bytes of the script for an input (lines end with CR LF, the last has no end).
std::string AvsScriptText(const std::string& inputPath);

// Writes the script for an input that needs one.
// 1: the script was written, the driver is to read it; 0: no script needed, nothing written;
// -1: a script is needed but could not be written whole (or the input's name cannot be
// quoted in one); the file must then fail, and no stale script is left at scriptPath.
int WriteAvsScriptFile(const std::string& scriptPath, const std::string& inputPath);

#endif
