#include "platform/Folders.h"

#include <gtest/gtest.h>

#include "component/Error.h"

namespace zelmo::platform {
namespace {

// The layout from what the system says: portable beside a writable program without package
// data, else the XDG folders (relative or empty values ignored) with the user's catalogues
// before the package's; no absolute home to fall back on stops with a German message.
TEST(Folders, PortableOrInstalledFromTheFacts) {
    struct Row {
        const char* what;
        FolderFacts facts;
        std::optional<Folders> expected;  // nothing: Error
        const char* message = "";
    };
    const std::string bin = "/usr/bin", share = "/usr/share/zelmo-livetext";
    const std::optional<std::string> unset, home = "/home/anna";
    const std::string config = "/home/anna/.config/zelmo-livetext";
    const std::string state = "/home/anna/.local/state/zelmo-livetext";
    const Row rows[] = {
        {"portable",
         {"/opt/zelmo", true, unset, "/x", "/y", home},
         {{"/opt/zelmo", {"/opt/zelmo"}, "/opt/zelmo"}}},
        {"installed, XDG unset",
         {bin, false, share, unset, unset, home},
         {{config, {config, share}, state}}},
        {"installed, XDG set",
         {bin, false, share, "/cfg/", "/st", home},
         {{"/cfg/zelmo-livetext", {"/cfg/zelmo-livetext", share}, "/st/zelmo-livetext"}}},
        {"XDG relative or empty",
         {bin, false, share, "cfg", "", home},
         {{config, {config, share}, state}}},
        {"XDG at the root",
         {bin, false, share, "/", unset, home},
         {{"/zelmo-livetext", {"/zelmo-livetext", share}, state}}},
        // Root may write /usr/bin; an installed program still keeps out of it.
        {"writable with package data",
         {bin, true, share, unset, unset, home},
         {{config, {config, share}, state}}},
        // A portable folder copied where it may not be written reads its own catalogues.
        {"read-only portable",
         {"/opt/zelmo", false, unset, unset, unset, home},
         {{config, {config, "/opt/zelmo"}, state}}},
        {"only XDG",
         {bin, false, share, "/c", "/s", unset},
         {{"/c/zelmo-livetext", {"/c/zelmo-livetext", share}, "/s/zelmo-livetext"}}},
        {"no home",
         {bin, false, share, unset, "/s", unset},
         std::nullopt,
         "Kein Ordner für Einstellungen und Protokolle: weder XDG_CONFIG_HOME noch HOME "
         "nennen einen absoluten Pfad."},
        {"relative home, no state folder",
         {bin, false, share, "/c", unset, "anna"},
         std::nullopt,
         "Kein Ordner für Einstellungen und Protokolle: weder XDG_STATE_HOME noch HOME "
         "nennen einen absoluten Pfad."},
        {"portable needs no home", {bin, true, unset, unset, unset, unset}, {{bin, {bin}, bin}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        try {
            const Folders folders = ChooseFolders(row.facts);
            ASSERT_TRUE(row.expected.has_value());
            EXPECT_EQ(folders.settings, row.expected->settings);
            EXPECT_EQ(folders.catalogues, row.expected->catalogues);
            EXPECT_EQ(folders.state, row.expected->state);
        } catch (const Error& e) {
            EXPECT_FALSE(row.expected.has_value());
            EXPECT_EQ(std::string(e.what()), row.message);
        }
    }
}

TEST(Folders, DataFolderRelativeToTheProgram) {
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"/usr/bin", "../share/zelmo-livetext", "/usr/share/zelmo-livetext"},
        {"/opt/z/lib/bin", "../../share/z", "/opt/z/share/z"},
        {"/bin", "../share/z", "/share/z"},
        {"/usr/bin", "./data", "/usr/bin/data"},
        {"/usr/bin", "/srv/share/z", "/srv/share/z"},
    };
    for (const auto& [folder, relative, expected] : rows) {
        SCOPED_TRACE(std::string(folder) + " + " + relative);
        EXPECT_EQ(FolderFrom(folder, relative), expected);
    }
}

}  // namespace
}  // namespace zelmo::platform
