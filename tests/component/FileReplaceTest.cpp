#include "component/FileReplace.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#undef ReplaceFile  // winbase.h's macro would call ReplaceFileW
#else
#include <sys/stat.h>
#endif

#include <filesystem>

#include "TempFolder.h"
#include "component/Error.h"

namespace zelmo {
namespace {

using test::TempFolder;

TEST(FileReplace, ReplacesWholeFilesWithTheUsualModeAndNoTemporaryFileLeft) {
    const TempFolder dir;
    const std::string file = dir.File("a.txt");
#ifdef _WIN32
    ReplaceFile(file, "eins\r\nzwei\r\n");
#else
    // LiveText may read the folder as another user: a private temporary file's 0600 must not
    // survive the rename.
    const mode_t old = ::umask(022);
    ReplaceFile(file, "eins\r\nzwei\r\n");
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
#endif
    EXPECT_EQ(dir.Read("a.txt"), "eins\r\nzwei\r\n");

    ReplaceFile(file, "x", Durability::Synced);
    EXPECT_EQ(dir.Read("a.txt"), "x");
    ReplaceFile(file, std::string("\0\xFF", 2));
    EXPECT_EQ(ReadFile(file), std::string("\0\xFF", 2));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.txt"});
}

TEST(FileReplace, FailureNamesTheFileAndKeepsTheOldOne) {
    const TempFolder dir;
    const std::string missingFolder = dir.File("fehlt/b.txt");
    try {
        ReplaceFile(missingFolder, "x");
        FAIL() << "no error";
    } catch (const Error& e) {
#ifdef _WIN32
        // The system's text in the user's language ("Path not found." under Wine).
        EXPECT_THAT(e.what(), testing::StartsWith(missingFolder + ": "));
        EXPECT_GT(std::string(e.what()).size(), missingFolder.size() + 2);
#else
        EXPECT_EQ(std::string(e.what()), missingFolder + ": No such file or directory");
#endif
    }
    // The target is a folder: the rename fails after the temporary file was written.
    std::filesystem::create_directories(dir.File("ordner/inhalt"));
    EXPECT_THROW(ReplaceFile(dir.File("ordner"), "x"), Error);
    EXPECT_TRUE(FolderExists(dir.File("ordner/inhalt")));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"ordner"});
}

TEST(FileReplace, ExistenceTellsFilesFromFolders) {
    const TempFolder dir;
    dir.Write("f", "");
    EXPECT_TRUE(FileExists(dir.File("f")));
    EXPECT_FALSE(FolderExists(dir.File("f")));
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.File("nichts")));
    EXPECT_THROW(ReadFile(dir.File("nichts")), Error);
    EXPECT_THROW(ReadFile(dir.Path()), Error);
}

}  // namespace
}  // namespace zelmo
