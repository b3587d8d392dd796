// Modules the layer provides itself, under the names of the platform's system modules, so a
// program that loads one by name and asks for its functions reaches the layer's code.
#pragma once

#include <string>
#include <vector>

#include "winbase.h"

namespace plat::kernel {

struct BuiltinProc {
    const char* name;
    FARPROC proc;
};

// Registers a module answering to each of `names` (matched without case, with or without
// ".dll" and any folder) with its procedures. A name registered again keeps its first module.
// The window system's own modules (user32, kernel32, gdi32...) are there from the start and
// answer with any function the layer exports.
void RegisterBuiltinModule(const std::vector<std::string>& names, std::vector<BuiltinProc> procs);

// A module name as the table keys it: the file name, lower case, without ".dll".
std::string ModuleKey(const char* name);

}  // namespace plat::kernel
