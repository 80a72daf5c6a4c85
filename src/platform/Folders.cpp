#include "platform/Folders.h"

#include "component/Error.h"
#include "component/FileReplace.h"
#include "component/Path.h"
#include "platform/Platform.h"

namespace zelmo::platform {

namespace {

bool IsAbsolute(const std::optional<std::string>& folder) {
    return folder && folder->starts_with('/');
}

// $variable/zelmo-livetext, or home/belowHome/zelmo-livetext where the variable gives no
// absolute folder.
std::string XdgFolder(const std::optional<std::string>& value, const FolderFacts& facts,
                      std::string_view belowHome, std::string_view variable) {
    std::string base;
    if (IsAbsolute(value)) {
        base = *value;
    } else if (IsAbsolute(facts.home)) {
        base = *facts.home + '/';
        base.append(belowHome);
    } else {
        throw Error("Kein Ordner für Einstellungen und Protokolle: weder " + std::string(variable) +
                    " noch HOME nennen einen absoluten Pfad.");
    }
    while (!base.empty() && base.back() == '/')
        base.pop_back();
    return base + '/' + std::string(kFolderName);
}

}  // namespace

Folders PortableFolders(const std::string& programFolder) {
    return {programFolder, {programFolder}, programFolder};
}

Folders ChooseFolders(const FolderFacts& facts) {
    if (facts.programFolderWritable && !facts.packageData)
        return PortableFolders(facts.programFolder);
    Folders folders;
    folders.settings = XdgFolder(facts.xdgConfigHome, facts, ".config", "XDG_CONFIG_HOME");
    folders.state = XdgFolder(facts.xdgStateHome, facts, ".local/state", "XDG_STATE_HOME");
    // A program folder that may not be written but brought no data folder along is a portable
    // folder copied somewhere read-only: its catalogues lie beside it.
    folders.catalogues = {folders.settings, facts.packageData.value_or(facts.programFolder)};
    return folders;
}

std::string FolderFrom(std::string_view folder, std::string_view relative) {
    if (relative.starts_with('/'))
        return std::string(relative);
    std::string base(folder);
    for (;;) {
        if (relative.starts_with("../")) {
            base = FolderOfPath(base);
            relative.remove_prefix(3);
        } else if (relative.starts_with("./")) {
            relative.remove_prefix(2);
        } else {
            break;
        }
    }
    return relative.empty() ? base : base + '/' + std::string(relative);
}

std::optional<std::string> FirstHolding(const std::vector<std::string>& folders,
                                        std::string_view name) {
    for (const std::string& folder : folders) {
        if (FileExists(JoinPath(folder, name)))
            return folder;
    }
    return std::nullopt;
}

}  // namespace zelmo::platform
