#pragma once

#include "component/Collection.h"

namespace zelmo::test {

// A telegram with every kind of section the writers meet.
inline Collection WriterTelegramm() {
    return JSONDecodieren(R"({
  "Ereignis": {"Status": "Start", "Zeit": 65.30, "Text": "a\r\nb\rc\nd\u0000e",
               "Null": null, "Flag": true, "Liste": [1, 2], "Zitat": "say \"hi\""},
  "ZeitLaeuft": {"a": "1", "b": "2", "c": "3", "d": "4", "e": "5", "f": "6", "g": "7"},
  "AktReiter": {"Records": [{"Name": "M\u00fcller", "Land": "GER"}]},
  "Startliste": {"0": 0, "1": 1, "Records": [{"Name": "A", "Land": "GER"}, {"Name": "B"}]},
  "Ergebnisliste": {"a": 1, "b": 2, "c": 3, "d": 4, "Records": [{"Rang": "1"}, {"Rang": "2"}]},
  "Reiter": {"a": 1, "Records": [{"N": "x"}, {"N": "y"}, {"N": "z"}]},
  "Mannschaft": {},
  "startliste": {"Records": [{"Name": "klein"}]},
  "GlobalBW": "text",
  "Veranstaltung": {"Records": []},
  "Pruefung": {"Titel": "x"}
})");
}

}  // namespace zelmo::test
