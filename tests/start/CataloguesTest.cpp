#include "start/Catalogues.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TempFolder.h"
#include "component/Path.h"

namespace zelmo::start {
namespace {

using test::TempFolder;
using Names = std::vector<std::string>;

const std::string kTables =
    "{\"Startliste\": [\"Nr\", \"Reiter\", \"Pferd\"], \"Ergebnisliste\": [\"Platz\", \"Zeit\"],"
    " \"AktReiter\": []}";
const std::string kEvents = "{\"Version\": 2, \"Ereignisse\": [\"Start\", \"Ziel\", \"Abwurf\"]}";
const char* kFailed = "Fehler beim Einlesen der Starttabellen!";

TEST(CatalogueFile, LoadsTablesFieldsAndEventsInFileOrder) {
    const TempFolder dir;
    dir.Write("Tabellen.json", kTables);
    dir.Write("Ereignisse.json", kEvents);

    const CatalogueLoad load = StarttabellenEinlesen(dir.Path());

    EXPECT_EQ(load.message, std::nullopt);
    EXPECT_EQ(TableNames(load.catalogues), (Names{"Startliste", "Ergebnisliste", "AktReiter"}));
    EXPECT_EQ(TableFields(load.catalogues, "Startliste"), (Names{"Nr", "Reiter", "Pferd"}));
    EXPECT_EQ(TableFields(load.catalogues, "AktReiter"), Names{});
    EXPECT_EQ(TableFields(load.catalogues, "startliste"), Names{});  // names are exact
    EXPECT_EQ(EventNames(load.catalogues), (Names{"Start", "Ziel", "Abwurf"}));
    EXPECT_TRUE(load.catalogues.EreignisKatalog.Exists("Version"));
}

TEST(CatalogueFile, MissingFileNamesItsPathAndLoadsNothing) {
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
        const TempFolder dir;
        if (row.tables)
            dir.Write("Tabellen.json", kTables);
        if (row.events)
            dir.Write("Ereignisse.json", kEvents);
        if (row.tablesIsFolder)
            std::filesystem::create_directory(dir.File("Tabellen.json"));

        const CatalogueLoad load = StarttabellenEinlesen(dir.Path());

        EXPECT_EQ(load.message,
                  "Kann Tabelle: " + JoinPath(dir.Path(), row.missing) + " - nicht finden!");
        EXPECT_TRUE(load.catalogues.TabellenKatalog.IsNothing());
        EXPECT_TRUE(load.catalogues.EreignisKatalog.IsNothing());
        EXPECT_TRUE(load.catalogues.EreignisListe.IsNothing());
    }
}

TEST(CatalogueBytes, FailuresKeepWhatWasLoadedBefore) {
    struct Row {
        const char* name;
        std::string tables;
        std::string events;
        std::optional<std::string> message;
        bool tablesLoaded;
        bool eventCatalogueLoaded;
    };
    const Row rows[] = {
        {"invalid table catalogue", "{\"Startliste\": [", kEvents, kFailed, false, false},
        {"empty table file", "", kEvents, kFailed, false, false},
        {"byte order mark is not removed", "\xEF\xBB\xBF{}", kEvents, kFailed, false, false},
        {"invalid event catalogue", kTables, "{\"Ereignisse\": [\"Start\",]}", kFailed, true,
         false},
        {"no Ereignisse member", kTables, "{\"ereignisse\": [\"Start\"]}", kFailed, true, true},
        {"event catalogue is an array", kTables, "[\"Ereignisse\"]", kFailed, true, true},
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

TEST(CatalogueBytes, NamesAreReadThroughTheCodePage) {
    const CatalogueLoad ansi = StarttabellenAusBytes("{\"Pr\374fung\": [\"Gr\366\337e\"]}",
                                                     "{\"Ereignisse\": [\"Abw\374rfe\"]}");
    ASSERT_EQ(ansi.message, std::nullopt);
    EXPECT_EQ(TableNames(ansi.catalogues), Names{"Prüfung"});
    EXPECT_EQ(TableFields(ansi.catalogues, "Prüfung"), Names{"Größe"});
    EXPECT_EQ(EventNames(ansi.catalogues), Names{"Abwürfe"});

    // A file saved as UTF-8 shows each of its multi-byte characters as separate characters.
    const CatalogueLoad utf8 = StarttabellenAusBytes("{\"Größe\": []}", "{\"Ereignisse\": []}");
    EXPECT_EQ(TableNames(utf8.catalogues), Names{"GrÃ¶ÃŸe"});
}

TEST(CatalogueBytes, OddShapesGiveEmptyListsNotFailures) {
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
    EXPECT_EQ(TableNames(Catalogues{}), Names{});
    EXPECT_EQ(TableFields(Catalogues{}, "A"), Names{});
    EXPECT_EQ(EventNames(Catalogues{}), Names{});
}

}  // namespace
}  // namespace zelmo::start
