#include "start/Catalogues.h"

#include <exception>

#include "component/CodePage.h"
#include "component/FileReplace.h"
#include "component/Path.h"
#include "platform/Folders.h"

namespace zelmo::start {

namespace {

Collection DecodeCatalogue(std::string_view bytes) {
    return JSONDecodieren(codepage::Decode(bytes));
}

// Fills `load` step by step, so that a failure keeps what the steps before it set.
template <typename ReadTables, typename ReadEvents>
CatalogueLoad Load(ReadTables readTables, ReadEvents readEvents) {
    CatalogueLoad load;
    Catalogues& c = load.catalogues;
    try {
        c.TabellenKatalog = DecodeCatalogue(readTables());
        c.EreignisKatalog = DecodeCatalogue(readEvents());
        c.EreignisListe = c.EreignisKatalog.Item("Ereignisse");
    } catch (const std::exception&) {
        load.message = std::string(kCatalogueReadFailedMessage);
    }
    return load;
}

std::string CataloguePath(const std::vector<std::string>& folders, std::string_view name) {
    const auto holder = platform::FirstHolding(folders, name);
    return JoinPath(holder ? *holder : folders.empty() ? "" : folders.back(), name);
}

std::vector<std::string> TextsOf(const Collection& array) {
    std::vector<std::string> texts;
    if (!array.IsArray())
        return texts;
    const std::size_t count = array.Count();
    texts.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Collection entry = array.At(i);
        if (!entry.IsCollection())
            texts.emplace_back(entry.TextOrEmpty());
    }
    return texts;
}

}  // namespace

std::string CatalogueMissingMessage(std::string_view path) {
    std::string text = "Kann Tabelle: ";
    text.append(path);
    text.append(" - nicht finden!");
    return text;
}

CatalogueLoad StarttabellenEinlesen(const std::vector<std::string>& folders) {
    const std::string tablePath = CataloguePath(folders, kTableCatalogueFileName);
    const std::string eventPath = CataloguePath(folders, kEventCatalogueFileName);

    if (!FileExists(tablePath))
        return {{}, CatalogueMissingMessage(tablePath)};
    if (!FileExists(eventPath))
        return {{}, CatalogueMissingMessage(eventPath)};

    return Load([&] { return ReadFile(tablePath); }, [&] { return ReadFile(eventPath); });
}

CatalogueLoad StarttabellenAusBytes(std::string_view tableBytes, std::string_view eventBytes) {
    return Load([&] { return tableBytes; }, [&] { return eventBytes; });
}

std::vector<std::string> TableNames(const Catalogues& catalogues) {
    std::vector<std::string> names;
    const Collection& tables = catalogues.TabellenKatalog;
    if (!tables.IsObject())
        return names;
    const std::size_t count = tables.Count();
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        names.emplace_back(tables.KeyByIndex(i));
    return names;
}

std::vector<std::string> TableFields(const Catalogues& catalogues, std::string_view table) {
    return TextsOf(catalogues.TabellenKatalog.Find(table));
}

std::vector<std::string> EventNames(const Catalogues& catalogues) {
    return TextsOf(catalogues.EreignisListe);
}

}  // namespace zelmo::start
