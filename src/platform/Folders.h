#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the program keeps its settings, finds its catalogues and writes its logs. A program
// folder the user may write holds everything beside the executable (the portable layout, as
// on Windows); an installed program cannot write where it lies, so each user's files go to the
// XDG folders and the catalogues come from the package's data folder.
namespace zelmo::platform {

// The name of the program's own folder below the XDG folders and the package's data folder.
inline constexpr std::string_view kFolderName = "zelmo-livetext";

struct Folders {
    std::string settings;  // the settings files, and the catalogues the user changed
    // Looked in, in this order, for each catalogue and the sample template: a file the user
    // keeps in the settings folder wins over the package's.
    std::vector<std::string> catalogues;
    std::string state;  // Protokolle/ and Mitschnitt/

    bool operator==(const Folders&) const = default;
};

// Everything beside the program: the portable layout.
Folders PortableFolders(const std::string& programFolder);

// What the choice depends on, as the system answers it.
struct FolderFacts {
    std::string programFolder;
    bool programFolderWritable = false;
    // The package's data folder found relative to the program folder, when it exists: a
    // program installed with its data is installed even where root may write its folder.
    std::optional<std::string> packageData;
    // The environment: XDG_CONFIG_HOME, XDG_STATE_HOME and the home folder (HOME, or the
    // user's entry where that is not set).
    std::optional<std::string> xdgConfigHome, xdgStateHome, home;
};

// Portable when the program folder may be written and no package data lies beside it;
// otherwise the installed layout. XDG values that are empty or relative are ignored, as the
// XDG base directory rules say. Throws Error when the installed layout has no absolute home
// folder to fall back on.
Folders ChooseFolders(const FolderFacts& facts);

// `relative` ("../share/zelmo-livetext") taken from `folder`, each leading "../" one folder up.
std::string FolderFrom(std::string_view folder, std::string_view relative);

// The first of `folders` that holds a file `name`; nothing when none does.
std::optional<std::string> FirstHolding(const std::vector<std::string>& folders,
                                        std::string_view name);

}  // namespace zelmo::platform
