#include "component/FileReplace.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

#include "component/Error.h"
#include "component/Path.h"

namespace zelmo {
namespace {

namespace fs = std::filesystem;

class FileReplaceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zelmo-fr-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    std::size_t EntryCount() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {}));
    }
    fs::path dir_;
};

TEST_F(FileReplaceTest, CreatesAndReplacesWholeFiles) {
    const std::string file = Path("a.txt");
    ReplaceFile(file, "eins\r\nzwei\r\n");
    EXPECT_EQ(ReadFile(file), "eins\r\nzwei\r\n");
    ReplaceFile(file, "x", Durability::Synced);
    EXPECT_EQ(ReadFile(file), "x");
    ReplaceFile(file, std::string("\0\xFF", 2));
    EXPECT_EQ(ReadFile(file), std::string("\0\xFF", 2));
    EXPECT_EQ(EntryCount(), 1u);  // no temporary file left behind
}

TEST_F(FileReplaceTest, NewFilesGetTheUsualModeSoOtherUsersCanReadThem) {
    // LiveText may read the folder as another user; a private temporary file's 0600 must not
    // survive the rename.
    const mode_t old = ::umask(022);
    ReplaceFile(Path("m.txt"), "x");
    ::umask(old);
    struct stat st {};
    ASSERT_EQ(::stat(Path("m.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(FileReplaceTest, FailureNamesTheFileAndKeepsTheOldOne) {
    const std::string missingFolder = Path("fehlt") + "/b.txt";
    try {
        ReplaceFile(missingFolder, "x");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), missingFolder + ": No such file or directory");
    }

    // The target is a folder: the rename fails after the temporary file was written.
    const std::string folderTarget = Path("ordner");
    fs::create_directories(folderTarget + "/inhalt");
    EXPECT_THROW(ReplaceFile(folderTarget, "x"), Error);
    EXPECT_TRUE(FolderExists(folderTarget));
    EXPECT_TRUE(FolderExists(folderTarget + "/inhalt"));
    EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(FileReplaceTest, ExistenceTellsFilesFromFolders) {
    ReplaceFile(Path("f"), "");
    fs::create_directories(Path("d"));
    EXPECT_TRUE(FileExists(Path("f")));
    EXPECT_FALSE(FolderExists(Path("f")));
    EXPECT_TRUE(FolderExists(Path("d")));
    EXPECT_FALSE(FileExists(Path("d")));
    EXPECT_FALSE(FileExists(Path("nichts")));
    EXPECT_THROW(ReadFile(Path("nichts")), Error);
    EXPECT_THROW(ReadFile(Path("d")), Error);
}

TEST(PathJoin, JoinsWithoutNormalising) {
    EXPECT_EQ(JoinSlash("C:/Daten", "Start.txt"), "C:/Daten/Start.txt");
    EXPECT_EQ(JoinSlash("/daten/", "x.csv"), "/daten//x.csv");
    EXPECT_EQ(JoinPath("/daten", "control.txt"),
              std::string("/daten") + kPathSeparator + "control.txt");
}

}  // namespace
}  // namespace zelmo
