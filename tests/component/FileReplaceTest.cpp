#include "component/FileReplace.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "TempFolder.h"
#include "component/Error.h"

namespace zelmo {
namespace {

using test::TempFolder;

TEST(FileReplace, ReplacesWholeFilesWithTheUsualModeAndNoTemporaryFileLeft) {
    const TempFolder dir;
    const std::string file = dir.File("a.txt");
    // LiveText may read the folder as another user: a private temporary file's 0600 must not
    // survive the rename.
    const mode_t old = ::umask(022);
    ReplaceFile(file, "eins\r\nzwei\r\n");
    ::umask(old);
    EXPECT_EQ(dir.Read("a.txt"), "eins\r\nzwei\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);

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
        EXPECT_EQ(std::string(e.what()), missingFolder + ": No such file or directory");
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
