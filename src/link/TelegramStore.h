#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "component/Collection.h"

// The show state kept between telegrams: the latest telegram and the latest content of each
// section. Sections are handles into the telegram that carried them, so storing one copies
// nothing; a section outlives its telegram for as long as it is stored.
namespace zelmo {

class TelegramStore {
  public:
    // The sections in the order in which a telegram's values replace them.
    static constexpr std::array<std::string_view, 16> kSectionNames = {
        "GlobalBW",        "AktUml",      "ParcourStatus", "DurchZiel",
        "CountdownLaeuft", "ZeitLaeuft",  "Einstellungen", "Ergebnisliste",
        "Mannschaft",      "Pruefung",    "Reiter",        "ReiterErsterPlatz",
        "Startliste",      "Umlaufdaten", "Veranstaltung", "AktReiter"};

    // Position of a section name in kSectionNames, nothing for any other name.
    static std::optional<std::size_t> SectionIndex(std::string_view name);

    // The whole last telegram; nothing before the first one and after one that failed to
    // decode.
    const Collection& Latest() const { return latest_; }
    void ReleaseLatest() { latest_ = Collection(); }
    void SetLatest(Collection telegram) { latest_ = std::move(telegram); }

    // The stored section of that name; nothing until a telegram carried it and for a name
    // that is not a section.
    const Collection& Section(std::string_view name) const;

    // Replaces, in kSectionNames order, every section the latest telegram carries. A section
    // value that is not an object or array throws Error; the sections replaced before it stay
    // replaced.
    void StoreSections();

    // Releases the latest telegram and every section.
    void Clear();

  private:
    Collection latest_;
    std::array<Collection, kSectionNames.size()> sections_;
};

}  // namespace zelmo
