#include "link/TelegramStore.h"

#include <string>

#include "component/Error.h"

namespace zelmo {

std::optional<std::size_t> TelegramStore::SectionIndex(std::string_view name) {
    for (std::size_t k = 0; k < kSectionNames.size(); ++k) {
        if (kSectionNames[k] == name)
            return k;
    }
    return std::nullopt;
}

const Collection& TelegramStore::Section(std::string_view name) const {
    static const Collection nothing;
    const auto index = SectionIndex(name);
    return index ? sections_[*index] : nothing;
}

void TelegramStore::StoreSections() {
    for (std::size_t k = 0; k < kSectionNames.size(); ++k) {
        Collection value = latest_.Find(kSectionNames[k]);
        if (value.IsNothing())
            continue;
        if (!value.IsCollection()) {
            throw Error("Abschnitt ist kein Objekt: " + std::string(kSectionNames[k]));
        }
        sections_[k] = std::move(value);
    }
}

void TelegramStore::Clear() {
    latest_ = Collection();
    sections_.fill(Collection());
}

}  // namespace zelmo
