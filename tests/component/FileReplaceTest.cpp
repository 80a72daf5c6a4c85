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
#include <thread>

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
    ReplaceFile(file, std::string("\0\xFF", 2), Durability::Synced);
    EXPECT_EQ(ReadFile(file), std::string("\0\xFF", 2));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.txt"});
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FolderExists(dir.Path()));
    EXPECT_FALSE(FileExists(dir.Path()));
    EXPECT_THROW(ReadFile(dir.Path()), Error);
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
    EXPECT_FALSE(FileExists(missingFolder));
    EXPECT_THROW(ReadFile(missingFolder), Error);
    // The target is a folder: the rename fails after the temporary file was written.
    std::filesystem::create_directories(dir.File("ordner/inhalt"));
    EXPECT_THROW(ReplaceFile(dir.File("ordner"), "x"), Error);
    EXPECT_TRUE(FolderExists(dir.File("ordner/inhalt")));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"ordner"});
}

#ifdef _WIN32

TEST(FileReplace, UmlautNamesGoThroughTheWideCalls) {
    const TempFolder dir;
    const std::string folder = dir.File("Übergabe");
    ASSERT_TRUE(std::filesystem::create_directory(test::U8Path(folder)));
    ReplaceFile(folder + "/Grüße.txt", "M\xFCller", Durability::Synced);
    EXPECT_EQ(dir.Read("Übergabe/Grüße.txt"), "M\xFCller");  // under the name as given
    EXPECT_EQ(ReadFile(folder + "/Grüße.txt"), "M\xFCller");
    EXPECT_TRUE(FileExists(folder + "/Grüße.txt"));
    EXPECT_TRUE(FolderExists(folder));
    EXPECT_FALSE(FileExists(folder));
}

// The graphics system reads the data files while we replace them, and Windows refuses to
// rename over an open file, whatever it shares. The replacement waits for the reader; one
// that never lets go ends in the usual failure, soon, with the old file intact.
TEST(FileReplace, WaitsForAReaderOfTheTargetAndGivesUpOnOneThatStays) {
    const DWORD all = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    // how the reader shares the file, whether it lets go of it
    const std::pair<DWORD, bool> faelle[] = {{all, true}, {FILE_SHARE_READ, true}, {all, false}};
    for (const auto& [share, letsGo] : faelle) {
        SCOPED_TRACE(::testing::Message() << share << (letsGo ? " lets go" : " stays"));
        const TempFolder dir;
        const std::string file = dir.File("daten.txt");
        dir.Write("daten.txt", "alt");
        HANDLE reader = CreateFileW(test::U8Path(file).c_str(), GENERIC_READ, share, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(reader, INVALID_HANDLE_VALUE);
        std::thread reading([reader, closes = letsGo] {
            if (closes) {
                Sleep(20);
                CloseHandle(reader);
            }
        });
        bool replaced = true;
        try {
            ReplaceFile(file, "neu");
        } catch (const Error&) {
            replaced = false;
        }
        reading.join();
        if (!letsGo)
            CloseHandle(reader);
        EXPECT_EQ(replaced, letsGo);
        EXPECT_EQ(dir.Read("daten.txt"), letsGo ? "neu" : "alt");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"daten.txt"});
    }
}

#endif

}  // namespace
}  // namespace zelmo
