#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "component/Collection.h"

// The definition catalogues: Tabellen.json (tables and their fields)
// and Ereignisse.json (event names). They tell the field selection dialog what it may offer.
namespace zelmo::start {

inline constexpr std::string_view kTableCatalogueFileName = "Tabellen.json";
inline constexpr std::string_view kEventCatalogueFileName = "Ereignisse.json";
inline constexpr std::string_view kCatalogueReadFailedMessage =
    "Fehler beim Einlesen der Starttabellen!";

// Each handle is nothing until its file was loaded.
struct Catalogues {
    Collection TabellenKatalog;  // object: table name -> array of field names
    Collection EreignisKatalog;  // object holding "Ereignisse"
    Collection EreignisListe;    // EreignisKatalog's "Ereignisse": the event names
};

struct CatalogueLoad {
    Catalogues catalogues;
    // Set when loading stopped early: show it (OK only). The start goes on either way.
    std::optional<std::string> message;
};

// "Kann Tabelle: " + path + " - nicht finden!"
std::string CatalogueMissingMessage(std::string_view path);

// Loads both catalogues, each from the first of `folders` that holds it (a user's own copy
// before the package's). A missing table catalogue stops before the event catalogue is looked
// at; a missing event catalogue leaves all three empty; either is named with its path in the
// last folder, where it belongs. A failure while reading or decoding, or an event catalogue
// without "Ereignisse", keeps what was loaded before it.
CatalogueLoad StarttabellenEinlesen(const std::vector<std::string>& folders);

// The loader's core over the two files' bytes (both present). The bytes are decoded through
// the code page, one character per byte, as the files are written in it.
CatalogueLoad StarttabellenAusBytes(std::string_view tableBytes, std::string_view eventBytes);

// Lenient reads for the dialog: an empty list where a catalogue is missing or not shaped as
// expected, never a failure. Entries that are not text (nested objects or arrays) are left out.
std::vector<std::string> TableNames(const Catalogues& catalogues);
std::vector<std::string> TableFields(const Catalogues& catalogues, std::string_view table);
std::vector<std::string> EventNames(const Catalogues& catalogues);

}  // namespace zelmo::start
