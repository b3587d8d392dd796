// The open-file dialog's rules, apart from its window: filters, folder listings, and the
// result buffer in the layout callers parse.
#pragma once

#include <string>
#include <vector>

#include "windows.h"
#include "commdlg.h"

namespace plat::dialogs {

struct Filter {
    std::string description;
    std::vector<std::string> patterns;  // trimmed, never empty
};

// "desc\0pat;pat\0desc\0pat\0\0" into its pairs. Blanks and tabs around descriptions and
// patterns are not part of them.
std::vector<Filter> ParseFilters(const char* filters);
// Wildcards '*' and '?', without regard to case; "*.*" also matches names without a dot.
bool MatchPattern(const std::string& pattern, const std::string& name);
bool MatchesFilter(const Filter& f, const std::string& name);

struct Entry {
    std::string name;
    bool folder;
};
// Folders first, then files that pass `filter` (all files when null); each group sorted
// without regard to case. Hidden (dot) entries only when asked.
std::vector<Entry> ListFolder(const std::string& folder, const Filter* filter, bool show_hidden);

// Folder and name joined with one '/'.
std::string JoinPath(const std::string& folder, const std::string& name);
// The parent of an absolute folder ("/" stays "/").
std::string ParentOf(const std::string& folder);
// Native, absolute, without "." and ".." parts or a trailing '/'; relative to `base`.
std::string Normalize(const std::string& path, const std::string& base);

// Names typed in the file-name box: several in double quotes, or one as typed.
std::vector<std::string> SplitTypedNames(const std::string& text);

// Writes the chosen files into the caller's buffer: one file as its full path; several (only
// with OFN_ALLOWMULTISELECT) as folder NUL name NUL ... NUL NUL. Sets nFileOffset,
// nFileExtension and lpstrFileTitle. Returns 0, or FNERR_BUFFERTOOSMALL with the needed size
// in characters in the buffer's first two bytes (when the buffer has room for them).
DWORD PackResult(OPENFILENAMEA* ofn, const std::string& folder, const std::vector<std::string>& names);

}  // namespace plat::dialogs
