// The wide path of an item-id list: whole for a folder deeper than MAX_PATH bytes, which the
// narrow query refuses; refused for a place without a path and for a buffer too short.
#include <gtest/gtest.h>

#include <string>

#include "shlobj.h"
#include "windows.h"
#include "winplat_test_shell.h"

namespace {

// The item the folder browser answers for `path` (scripted), freed by the caller.
LPITEMIDLIST ItemOf(const std::string& path) {
    WinTestScriptFolder(path.c_str());
    BROWSEINFOA bi{};
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    WinTestClearScripts();
    return pidl;
}

std::string Narrow(const std::u16string& wide) {
    char out[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

TEST(ShellLongPaths, TheWidePathIsWholeWhereTheNarrowOneDoesNotFit) {
    std::string deep = "/tmp/vid\xC3\xA9os";
    while (deep.size() <= MAX_PATH + 40) deep += "/a-folder-deep-down";
    LPITEMIDLIST pidl = ItemOf(deep);
    ASSERT_NE(pidl, nullptr);
    char narrow[MAX_PATH] = "untouched";
    EXPECT_FALSE(SHGetPathFromIDListA(pidl, narrow));

    std::u16string wide(1024, u'x');
    ASSERT_TRUE(SHGetPathFromIDListEx(pidl, wide.data(), DWORD(wide.size()), GPFIDL_DEFAULT));
    EXPECT_EQ(Narrow(wide), deep);
    // The terminator counts: "é" is two bytes and one character, so the path with its
    // terminator takes as many characters as the narrow path has bytes, and one less is short.
    std::u16string exact(deep.size(), u'x');
    EXPECT_TRUE(SHGetPathFromIDListEx(pidl, exact.data(), DWORD(exact.size()), GPFIDL_DEFAULT));
    std::u16string shorter(deep.size() - 1, u'x');
    EXPECT_FALSE(SHGetPathFromIDListEx(pidl, shorter.data(), DWORD(shorter.size()), GPFIDL_DEFAULT));
    EXPECT_EQ(shorter[0], u'\0');
    ILFree(pidl);
}

TEST(ShellLongPaths, PlacesWithoutAPathAndBadArgumentsAreRefused) {
    LPITEMIDLIST drives = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives), S_OK);
    WCHAR wide[64] = {u'x'};
    EXPECT_FALSE(SHGetPathFromIDListEx(drives, wide, 64, GPFIDL_DEFAULT));
    EXPECT_EQ(wide[0], u'\0');
    EXPECT_FALSE(SHGetPathFromIDListEx(drives, nullptr, 64, GPFIDL_DEFAULT));
    EXPECT_FALSE(SHGetPathFromIDListEx(drives, wide, 0, GPFIDL_DEFAULT));
    EXPECT_FALSE(SHGetPathFromIDListEx(nullptr, wide, 64, GPFIDL_DEFAULT));
    ILFree(drives);
}

}  // namespace
