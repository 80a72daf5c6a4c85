#include "templates/Vorlage.h"

#include "component/Error.h"

namespace zelmo {

namespace {

constexpr int kIndexAusserhalb = 9;

}  // namespace

Vorlage::Vorlage() : zeilen_(1) {}

void Vorlage::PruefeZeile(std::size_t zeile) const {
    if (zeile >= zeilen_.size()) {
        throw Error("Zeile " + std::to_string(zeile) + " gibt es nicht", kIndexAusserhalb);
    }
}

const VorlageZeile& Vorlage::Zeile(std::size_t zeile) const {
    PruefeZeile(zeile);
    return zeilen_[zeile];
}

const std::string& Vorlage::Zelle(std::size_t zeile, std::size_t spalte) const {
    PruefeZeile(zeile);
    if (spalte >= kSpaltenAnzahl) {
        throw Error("Spalte " + std::to_string(spalte) + " gibt es nicht", kIndexAusserhalb);
    }
    return zeilen_[zeile][spalte];
}

void Vorlage::SetzeZelle(std::size_t zeile, std::size_t spalte, std::string text) {
    PruefeZeile(zeile);
    if (spalte >= kSpaltenAnzahl) {
        throw Error("Spalte " + std::to_string(spalte) + " gibt es nicht", kIndexAusserhalb);
    }
    zeilen_[zeile][spalte] = std::move(text);
}

void Vorlage::SetzeZeile(std::size_t zeile, VorlageZeile inhalt) {
    PruefeZeile(zeile);
    zeilen_[zeile] = std::move(inhalt);
}

void Vorlage::ZeileAnhaengen(VorlageZeile inhalt) {
    zeilen_.push_back(std::move(inhalt));
}

void Vorlage::ZeileEinfuegen(std::size_t index, VorlageZeile inhalt) {
    if (index > zeilen_.size()) {
        throw Error("Zeile " + std::to_string(index) + " gibt es nicht", kIndexAusserhalb);
    }
    zeilen_.insert(zeilen_.begin() + static_cast<std::ptrdiff_t>(index), std::move(inhalt));
}

void Vorlage::ZeileEntfernen(std::size_t index) {
    PruefeZeile(index);
    if (zeilen_.size() == 1) {
        zeilen_[0] = VorlageZeile{};
        return;
    }
    zeilen_.erase(zeilen_.begin() + static_cast<std::ptrdiff_t>(index));
}

void Vorlage::ZeileKopieren(std::size_t von, std::size_t nach) {
    PruefeZeile(von);
    PruefeZeile(nach);
    if (von != nach) {
        zeilen_[nach] = zeilen_[von];
    }
}

ZellPosition Vorlage::ZeileDuplizieren(std::size_t r) {
    PruefeZeile(r);
    ZeileEinfuegen(r + 1);
    ZeileKopieren(r, r + 1);
    return {r + 1, 0};
}

ZellPosition Vorlage::ZeileLoeschen(std::size_t r) {
    PruefeZeile(r);
    if (r == 0) {
        zeilen_[0] = VorlageZeile{};
    }
    if (zeilen_.size() >= 2) {
        zeilen_.erase(zeilen_.begin() + static_cast<std::ptrdiff_t>(r));
    }
    if (r >= zeilen_.size()) {
        r = zeilen_.size() - 1;
    }
    return {r, 0};
}

std::optional<ZellPosition> Vorlage::ZeileHoch(std::size_t r) {
    PruefeZeile(r);
    if (r < 1) {
        return std::nullopt;
    }
    // The line above travels below r, so that the line at r ends one place up.
    ZeileEinfuegen(r + 1);
    ZeileKopieren(r - 1, r + 1);
    return ZeileLoeschen(r - 1);
}

std::optional<ZellPosition> Vorlage::ZeileRunter(std::size_t r) {
    PruefeZeile(r);
    if (r + 1 >= zeilen_.size()) {
        return std::nullopt;
    }
    // The line below travels above r, so that the line at r ends one place down.
    ZeileEinfuegen(r);
    ZeileKopieren(r + 2, r);
    ZeileLoeschen(r + 2);
    return ZellPosition{r + 1, 0};
}

}  // namespace zelmo
