#include "start/Catalogues.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "TempFolder.h"
#include "component/Path.h"

namespace zelmo::start {
namespace {

using test::TempFolder;
using Names = std::vector<std::string>;

const std::string kTables = "{\"Startliste\": [\"Nr\", \"Reiter\"], \"AktReiter\": []}";
const std::string kEvents = "{\"Version\": 2, \"Ereignisse\": [\"Start\", \"Ziel\"]}";

// Installed, each catalogue comes from the user's folder when it holds one, else from the
// package's. One that neither holds is named where the package should have it, and then
// nothing loads.
TEST(CatalogueFile, EachFromTheUsersFolderElseThePackagesOrNamedWhereItLacks) {
    const TempFolder user, package;
    const std::vector<std::string> folders = {user.Path(), package.Path()};
    const auto missing = [&](const char* name) {
        const CatalogueLoad load = StarttabellenEinlesen(folders);
        EXPECT_TRUE(load.catalogues.TabellenKatalog.IsNothing());
        EXPECT_TRUE(load.catalogues.EreignisListe.IsNothing());
        EXPECT_EQ(load.message,
                  "Kann Tabelle: " + JoinPath(package.Path(), name) + " - nicht finden!");
    };
    missing("Tabellen.json");  // both missing: only the table catalogue is named
    package.Write("Ereignisse.json", kEvents);
    std::filesystem::create_directory(package.File("Tabellen.json"));
    missing("Tabellen.json");  // a folder is no catalogue
    std::filesystem::remove(package.File("Tabellen.json"));
    std::filesystem::remove(package.File("Ereignisse.json"));
    user.Write("Tabellen.json", "{\"Eigene\": [\"Feld\"]}");
    missing("Ereignisse.json");

    package.Write("Tabellen.json", kTables);
    package.Write("Ereignisse.json", kEvents);
    CatalogueLoad load = StarttabellenEinlesen(folders);
    EXPECT_EQ(load.message, std::nullopt);
    EXPECT_EQ(TableNames(load.catalogues), Names{"Eigene"});
    EXPECT_EQ(EventNames(load.catalogues), (Names{"Start", "Ziel"}));
    user.Write("Ereignisse.json", "{\"Ereignisse\": [\"Eigenes\"]}");
    std::filesystem::remove(user.File("Tabellen.json"));
    load = StarttabellenEinlesen(folders);
    EXPECT_EQ(TableNames(load.catalogues), (Names{"Startliste", "AktReiter"}));
    EXPECT_EQ(TableFields(load.catalogues, "Startliste"), (Names{"Nr", "Reiter"}));
    EXPECT_EQ(TableFields(load.catalogues, "startliste"), Names{});  // names are exact
    EXPECT_EQ(EventNames(load.catalogues), Names{"Eigenes"});
}

TEST(CatalogueBytes, FailuresKeepWhatWasLoadedBefore) {
    // tables, events, whether the table catalogue and the event catalogue stay loaded
    const std::tuple<std::string, std::string, bool, bool> rows[] = {
        {"{\"Startliste\": [", kEvents, false, false},
        {"\xEF\xBB\xBF{}", kEvents, false, false},  // a byte order mark is not removed
        {kTables, "{\"Ereignisse\": [\"Start\",]}", true, false},
        {kTables, "{\"ereignisse\": [\"Start\"]}", true, true},
    };
    for (const auto& [tables, events, tablesLoaded, eventsLoaded] : rows) {
        SCOPED_TRACE(tables + " | " + events);
        const CatalogueLoad load = StarttabellenAusBytes(tables, events);
        EXPECT_EQ(load.message, "Fehler beim Einlesen der Starttabellen!");
        EXPECT_EQ(!load.catalogues.TabellenKatalog.IsNothing(), tablesLoaded);
        EXPECT_EQ(!load.catalogues.EreignisKatalog.IsNothing(), eventsLoaded);
        EXPECT_TRUE(load.catalogues.EreignisListe.IsNothing());
    }
}

TEST(CatalogueBytes, OddShapesGiveEmptyListsNotFailures) {
    // tables, events, table names, fields of table A, event names
    const std::tuple<std::string, std::string, Names, Names, Names> rows[] = {
        {"[\"A\"]", "{\"Ereignisse\": \"Start\"}", {}, {}, {}},
        {"{\"A\": [\"Nr\", [\"x\"], 7, {\"y\": 1}, true, null], \"B\": 1}",
         "{\"Ereignisse\": [\"Start\", [], 3]}",
         {"A", "B"},
         {"Nr", "7", "Wahr", ""},
         {"Start", "3"}},
        // Read through the code page: a file saved as UTF-8 shows each byte as a character.
        {"{\"A\": [\"Gr\366\337e\"], \"Größe\": []}",
         "{\"Ereignisse\": [\"Abw\374rfe\"]}",
         {"A", "GrÃ¶ÃŸe"},
         {"Größe"},
         {"Abwürfe"}},
    };
    for (const auto& [tables, events, tableNames, fieldsOfA, eventNames] : rows) {
        SCOPED_TRACE(tables);
        const CatalogueLoad load = StarttabellenAusBytes(tables, events);
        EXPECT_EQ(load.message, std::nullopt);
        EXPECT_EQ(TableNames(load.catalogues), tableNames);
        EXPECT_EQ(TableFields(load.catalogues, "A"), fieldsOfA);
        EXPECT_EQ(EventNames(load.catalogues), eventNames);
    }
}

}  // namespace
}  // namespace zelmo::start
