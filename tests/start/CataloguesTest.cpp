#include "start/Catalogues.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "component/FileReplace.h"
#include "component/Path.h"

namespace zelmo::start {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kTables =
    "{\"Startliste\": [\"Nr\", \"Reiter\", \"Pferd\"], \"Ergebnisliste\": [\"Platz\", \"Zeit\"],"
    " \"AktReiter\": []}";
const std::string kEvents = "{\"Version\": 2, \"Ereignisse\": [\"Start\", \"Ziel\", \"Abwurf\"]}";

class CatalogueFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("zelmo-catalogues-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string Folder() const { return dir_.string(); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    void Put(const char* name, const std::string& bytes) const { ReplaceFile(Path(name), bytes); }
    fs::path dir_;
};

void ExpectNothingLoaded(const Catalogues& c) {
    EXPECT_TRUE(c.TabellenKatalog.IsNothing());
    EXPECT_TRUE(c.EreignisKatalog.IsNothing());
    EXPECT_TRUE(c.EreignisListe.IsNothing());
}

TEST_F(CatalogueFileTest, LoadsTablesFieldsAndEventsInFileOrder) {
    Put("Tabellen.json", kTables);
    Put("Ereignisse.json", kEvents);

    const CatalogueLoad load = StarttabellenEinlesen(Folder());

    EXPECT_EQ(load.message, std::nullopt);
    EXPECT_EQ(TableNames(load.catalogues), (Names{"Startliste", "Ergebnisliste", "AktReiter"}));
    EXPECT_EQ(TableFields(load.catalogues, "Startliste"), (Names{"Nr", "Reiter", "Pferd"}));
    EXPECT_EQ(TableFields(load.catalogues, "Ergebnisliste"), (Names{"Platz", "Zeit"}));
    EXPECT_EQ(TableFields(load.catalogues, "AktReiter"), Names{});
    EXPECT_EQ(TableFields(load.catalogues, "startliste"), Names{});  // names are exact
    EXPECT_EQ(EventNames(load.catalogues), (Names{"Start", "Ziel", "Abwurf"}));
    EXPECT_TRUE(load.catalogues.EreignisKatalog.Exists("Version"));
}

TEST_F(CatalogueFileTest, MissingFileNamesItsPathAndLoadsNothing) {
    struct Row {
        const char* name;
        bool tables;
        bool events;
        bool tablesIsFolder;
        const char* missing;
    };
    const Row rows[] = {
        {"both missing: only the table catalogue is named", false, false, false, "Tabellen.json"},
        {"table catalogue missing", false, true, false, "Tabellen.json"},
        {"event catalogue missing", true, false, false, "Ereignisse.json"},
        {"a folder is no table catalogue", false, true, true, "Tabellen.json"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        fs::remove_all(Path("Tabellen.json"));
        fs::remove_all(Path("Ereignisse.json"));
        if (row.tables)
            Put("Tabellen.json", kTables);
        if (row.events)
            Put("Ereignisse.json", kEvents);
        if (row.tablesIsFolder)
            fs::create_directory(Path("Tabellen.json"));

        const CatalogueLoad load = StarttabellenEinlesen(Folder());

        EXPECT_EQ(load.message,
                  "Kann Tabelle: " + JoinPath(Folder(), row.missing) + " - nicht finden!");
        ExpectNothingLoaded(load.catalogues);
        EXPECT_EQ(TableNames(load.catalogues), Names{});
        EXPECT_EQ(EventNames(load.catalogues), Names{});
    }
}

TEST_F(CatalogueFileTest, EventCatalogueWithoutEventsKeepsTheTables) {
    Put("Tabellen.json", kTables);
    Put("Ereignisse.json", "{\"ereignisse\": [\"Start\"]}");

    const CatalogueLoad load = StarttabellenEinlesen(Folder());

    EXPECT_EQ(load.message, "Fehler beim Einlesen der Starttabellen!");
    EXPECT_EQ(TableNames(load.catalogues), (Names{"Startliste", "Ergebnisliste", "AktReiter"}));
    EXPECT_FALSE(load.catalogues.EreignisKatalog.IsNothing());
    EXPECT_TRUE(load.catalogues.EreignisListe.IsNothing());
    EXPECT_EQ(EventNames(load.catalogues), Names{});
}

TEST(CatalogueBytesTest, FailuresKeepWhatWasLoadedBefore) {
    const char* failed = "Fehler beim Einlesen der Starttabellen!";
    struct Row {
        const char* name;
        std::string tables;
        std::string events;
        std::optional<std::string> message;
        bool tablesLoaded;
        bool eventCatalogueLoaded;
    };
    const Row rows[] = {
        {"invalid table catalogue", "{\"Startliste\": [", kEvents, failed, false, false},
        {"empty table file", "", kEvents, failed, false, false},
        {"byte order mark is not removed", "\xEF\xBB\xBF{}", kEvents, failed, false, false},
        {"invalid event catalogue", kTables, "{\"Ereignisse\": [\"Start\",]}", failed, true, false},
        {"empty event object", kTables, "{}", failed, true, true},
        {"event catalogue is an array", kTables, "[\"Ereignisse\"]", failed, true, true},
        {"empty table object", "{}", kEvents, std::nullopt, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CatalogueLoad load = StarttabellenAusBytes(row.tables, row.events);
        EXPECT_EQ(load.message, row.message);
        EXPECT_EQ(!load.catalogues.TabellenKatalog.IsNothing(), row.tablesLoaded);
        EXPECT_EQ(!load.catalogues.EreignisKatalog.IsNothing(), row.eventCatalogueLoaded);
        EXPECT_EQ(load.catalogues.EreignisListe.IsNothing(), row.message.has_value());
    }
}

TEST(CatalogueBytesTest, NamesAreReadThroughTheCodePage) {
    // Windows-1252 bytes: "Prüfung" with "Größe" / "Abwürfe"
    const CatalogueLoad ansi = StarttabellenAusBytes(
        "{\"Pr\xFC"
        "fung\": [\"Gr\xF6\xDF"
        "e\"]}",
        "{\"Ereignisse\": [\"Abw\xFCrfe\"]}");
    ASSERT_EQ(ansi.message, std::nullopt);
    EXPECT_EQ(TableNames(ansi.catalogues), Names{"Prüfung"});
    EXPECT_EQ(TableFields(ansi.catalogues, "Prüfung"), Names{"Größe"});
    EXPECT_EQ(EventNames(ansi.catalogues), Names{"Abwürfe"});

    // A file saved as UTF-8 shows each of its multi-byte characters as separate characters.
    const CatalogueLoad utf8 = StarttabellenAusBytes(
        "{\"Gr\xC3\xB6\xC3\x9F"
        "e\": []}",
        "{\"Ereignisse\": []}");
    ASSERT_EQ(utf8.message, std::nullopt);
    EXPECT_EQ(TableNames(utf8.catalogues), Names{"GrÃ¶ÃŸe"});
    EXPECT_EQ(EventNames(utf8.catalogues), Names{});
}

TEST(CatalogueBytesTest, OddShapesGiveEmptyListsNotFailures) {
    struct Row {
        const char* name;
        std::string tables;
        std::string events;
        Names tableNames;
        Names fieldsOfA;
        Names eventNames;
    };
    const Row rows[] = {
        {"table catalogue is an array", "[\"A\"]", "{\"Ereignisse\": \"Start\"}", {}, {}, {}},
        {"table is no array",
         "{\"A\": \"Nr\", \"B\": {\"x\": 1}}",
         "{\"Ereignisse\": 5}",
         {"A", "B"},
         {},
         {}},
        {"nested entries left out, scalars as text",
         "{\"A\": [\"Nr\", [\"x\"], 7, {\"y\": 1}, true, null]}",
         "{\"Ereignisse\": [\"Start\", [], 3]}",
         {"A"},
         {"Nr", "7", "Wahr", ""},
         {"Start", "3"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CatalogueLoad load = StarttabellenAusBytes(row.tables, row.events);
        EXPECT_EQ(load.message, std::nullopt);
        EXPECT_EQ(TableNames(load.catalogues), row.tableNames);
        EXPECT_EQ(TableFields(load.catalogues, "A"), row.fieldsOfA);
        EXPECT_EQ(EventNames(load.catalogues), row.eventNames);
    }

    const Catalogues nothing;
    EXPECT_EQ(TableNames(nothing), Names{});
    EXPECT_EQ(TableFields(nothing, "A"), Names{});
    EXPECT_EQ(EventNames(nothing), Names{});
}

}  // namespace
}  // namespace zelmo::start
