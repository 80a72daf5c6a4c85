#include "output/Ausgabe.h"

#include "component/CodePage.h"
#include "component/Error.h"
#include "component/FileReplace.h"

namespace zelmo {

std::size_t AusgabeVorschau::ZeileHinzufuegen(std::string seite, std::string dateiname,
                                              std::string tabelle) {
    Zeile zeile;
    zeile[0] = std::move(seite);
    zeile[1] = std::move(dateiname);
    zeile[2] = std::move(tabelle);
    zeilen_.push_back(std::move(zeile));
    if (zeilen_.size() > kMaxZeilen) {
        zeilen_.erase(zeilen_.begin());
    }
    return zeilen_.size() - 1;
}

void AusgabeVorschau::SetzeZelle(std::size_t zeile, std::size_t spalte, std::string text) {
    if (zeile >= zeilen_.size() || spalte >= kSpaltenAnzahl) {
        return;
    }
    zeilen_[zeile][spalte] = std::move(text);
}

bool DateinameZulaessig(std::string_view dateiname) {
    return !dateiname.empty() && dateiname != "." && dateiname != ".." &&
           dateiname.find_first_of(kDateinameVerboteneZeichen) == std::string_view::npos;
}

bool DateiErsetzen(const std::string& pfad, std::string_view utf8, AusgabeZiel& ziel) {
    try {
        ReplaceFile(pfad, codepage::Encode(utf8), Durability::Atomic);
    } catch (const Error& e) {
        // The component's message is "<path>: <reason>"; show the reason after the path.
        std::string grund = e.what();
        const std::string praefix = pfad + ": ";
        if (grund.compare(0, praefix.size(), praefix) == 0) {
            grund.erase(0, praefix.size());
        }
        if (!ziel.Warnungen.empty()) {
            ziel.Warnungen += "\r\n";
        }
        ziel.Warnungen += "Datei nicht geschrieben: " + pfad + " - " + grund;
        return false;
    }
    ziel.GeschriebeneDateien.push_back(pfad);
    return true;
}

}  // namespace zelmo
