// Item-id lists: the layer's own layout, one item holding a kind byte and a UTF-8 path.
// 'F' items are folders or files of the file system; 'V' items are virtual places that have
// no path. The empty list is the desktop.
#pragma once

#include <string>

#include "shlobj.h"

namespace plat::shell {

LPITEMIDLIST MakeFolderPidl(const std::string& path);
LPITEMIDLIST MakeVirtualPidl(const std::string& name);
// The file-system path of a list (the desktop's for the empty list); false for virtual items.
bool PidlPath(LPCITEMIDLIST pidl, std::string* path);
// The folder a special-folder id stands for; false for virtual places and unknown ids.
bool SpecialFolderPath(int csidl, std::string* path);

}  // namespace plat::shell
