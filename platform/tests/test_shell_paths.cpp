// Path helpers with either separator, item-id lists through the shell allocator, the special
// folders' Linux places, and sounds that answer truthfully.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "windows.h"
#include "shlobj.h"
#include "shlwapi.h"

namespace {

TEST(ShellPaths, NamesAndExtensionsAreFoundAfterEitherSeparator) {
    EXPECT_STREQ(PathFindFileNameA("/videos/clip.avi"), "clip.avi");
    EXPECT_STREQ(PathFindFileNameA("C:\\v\\clip.avi"), "clip.avi");
    EXPECT_STREQ(PathFindFileNameA("/mixed\\dir/and\\name.mkv"), "name.mkv");
    EXPECT_STREQ(PathFindFileNameA("/videos/"), "videos/");
    EXPECT_STREQ(PathFindFileNameA("plain"), "plain");
    const char* p = "/a.b/c";
    EXPECT_EQ(PathFindExtensionA(p), p + strlen(p)) << "a dot in a folder name is no extension";
    EXPECT_STREQ(PathFindExtensionA("/x/movie.final.MP4"), ".MP4");
    EXPECT_STREQ(PathFindExtensionA("x\\y.z\\name"), "");
}

TEST(ShellPaths, EditingHelpersKeepTheRootAndTheBufferLimit) {
    char buf[MAX_PATH];
    strcpy(buf, "/out/sub/file.mp4");
    EXPECT_TRUE(PathRemoveFileSpecA(buf));
    EXPECT_STREQ(buf, "/out/sub");
    strcpy(buf, "C:\\out\\file.mp4");
    EXPECT_TRUE(PathRemoveFileSpecA(buf));
    EXPECT_STREQ(buf, "C:\\out");
    strcpy(buf, "/file");
    EXPECT_TRUE(PathRemoveFileSpecA(buf));
    EXPECT_STREQ(buf, "/");
    EXPECT_FALSE(PathRemoveFileSpecA(buf)) << "the root has nothing left to cut";

    strcpy(buf, "/out");
    PathAddBackslashA(buf);
    EXPECT_STREQ(buf, "/out/");
    strcpy(buf, "C:\\out\\");
    PathAddBackslashA(buf);
    EXPECT_STREQ(buf, "C:\\out\\");
    PathRemoveBackslashA(buf);
    EXPECT_STREQ(buf, "C:\\out");
    EXPECT_TRUE(PathAppendA(buf, "\\clip.mp4"));
    EXPECT_STREQ(buf, "C:\\out/clip.mp4");
    strcpy(buf, "/x/y/name.ext");
    PathStripPathA(buf);
    EXPECT_STREQ(buf, "name.ext");
    PathRemoveExtensionA(buf);
    EXPECT_STREQ(buf, "name");

    std::string longer(MAX_PATH - 3, 'a');
    strcpy(buf, longer.c_str());
    EXPECT_FALSE(PathAppendA(buf, "bcd")) << "no overflow past MAX_PATH";
    EXPECT_EQ(std::string(buf), longer);
}

TEST(ShellPaths, ExistenceChecksReadEitherSeparator) {
    char tmpl[] = "/tmp/velmora-paths-XXXXXX";
    std::string dir = mkdtemp(tmpl);
    std::string file = dir + "/f.txt";
    FILE* f = fopen(file.c_str(), "w");
    fclose(f);
    std::string back = dir + "\\f.txt";
    EXPECT_TRUE(PathFileExistsA(back.c_str()));
    EXPECT_TRUE(PathIsDirectoryA(dir.c_str()));
    EXPECT_FALSE(PathIsDirectoryA(file.c_str()));
    EXPECT_FALSE(PathFileExistsA((dir + "/none").c_str()));
    EXPECT_FALSE(PathFileExistsA(""));
    unlink(file.c_str());
    rmdir(dir.c_str());
}

// The folder picker's sequence: a list from the browser, its path, freed through the allocator.
TEST(ShellItemLists, SpecialFoldersMapToHomePlacesAndVirtualPlacesHaveNoPath) {
    char tmpl[] = "/tmp/velmora-home-XXXXXX";
    std::string home = mkdtemp(tmpl);
    std::string old_home = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    char path[MAX_PATH];
    // Without a Desktop folder the desktop is the home folder; with one, that folder.
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOP, nullptr, 0, path), S_OK);
    EXPECT_EQ(std::string(path), home);
    mkdir((home + "/Desktop").c_str(), 0777);
    LPITEMIDLIST pidl = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &pidl), S_OK);
    ASSERT_TRUE(SHGetPathFromIDListA(pidl, path));
    EXPECT_EQ(std::string(path), home + "/Desktop");
    ILFree(pidl);
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, 0, path), S_OK);
    EXPECT_EQ(std::string(path), home);

    // A missing folder is made only when asked.
    EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, path), E_FAIL);
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
    EXPECT_EQ(std::string(path), home + "/.config");
    EXPECT_TRUE(PathIsDirectoryA(path));

    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &pidl), S_OK);
    strcpy(path, "untouched");
    EXPECT_FALSE(SHGetPathFromIDListA(pidl, path));
    EXPECT_STREQ(path, "");
    IMalloc* m = nullptr;
    ASSERT_EQ(SHGetMalloc(&m), S_OK);
    m->Free(pidl);
    m->Release();
    EXPECT_FALSE(SHGetPathFromIDListA(nullptr, path));

    setenv("HOME", old_home.c_str(), 1);
    std::string cmd = "rm -rf '" + home + "'";
    (void)system(cmd.c_str());
}

TEST(ShellSounds, MissingSoundsFailAndStopRequestsSucceed) {
    EXPECT_FALSE(PlaySoundA("/no/such/click.wav", nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT));
    EXPECT_FALSE(PlaySoundA(MAKEINTRESOURCEA(4321), GetModuleHandleA(nullptr), SND_RESOURCE | SND_NODEFAULT));
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, SND_PURGE));
    EXPECT_TRUE(PlaySoundA("SystemExclamation", nullptr, SND_ALIAS | SND_ASYNC));
    EXPECT_FALSE(sndPlaySoundA("/no/such/sound.wav", SND_ASYNC | SND_NODEFAULT));
    EXPECT_TRUE(MessageBeep(MB_ICONEXCLAMATION));
}

}  // namespace
