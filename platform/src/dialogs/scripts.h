// Answers that tests queue for the next open-file and folder dialogs, and the dialog shown now.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "windows.h"

namespace plat::dialogs {

struct FileScript {
    bool cancel = false;
    std::string folder;
    std::vector<std::string> names;
};
struct FolderScript {
    bool cancel = false;
    std::string path;
};

std::optional<FileScript> TakeFileScript();
std::optional<FolderScript> TakeFolderScript();
void SetCurrentDialog(HWND dlg);

// The common dialogs' last error, per thread.
void SetError(DWORD code);

}  // namespace plat::dialogs
