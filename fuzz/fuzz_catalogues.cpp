// Catalogue loading over any two files: the input up to its first NUL byte is the table
// catalogue, the rest the event catalogue. Loading never throws, reports only its own
// message, and the dialog's lists can always be read.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "start/Catalogues.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    const std::string_view tables = input.substr(0, cut);
    const std::string_view events =
        cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

    const zelmo::start::CatalogueLoad load = zelmo::start::StarttabellenAusBytes(tables, events);
    const zelmo::start::Catalogues& c = load.catalogues;

    if (load.message) {
        if (*load.message != zelmo::start::kCatalogueReadFailedMessage)
            std::abort();
        if (!c.EreignisListe.IsNothing())
            std::abort();
    } else if (c.TabellenKatalog.IsNothing() || c.EreignisListe.IsNothing()) {
        std::abort();
    }

    std::size_t fields = 0;
    for (const auto& table : zelmo::start::TableNames(c)) {
        fields += zelmo::start::TableFields(c, table).size();
    }
    (void)fields;
    (void)zelmo::start::EventNames(c);
    return 0;
}
