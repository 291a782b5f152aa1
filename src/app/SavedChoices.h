#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/SettingsStore.h"

namespace pamiro {

// The saved choices' schema and rules, over any SettingsStore: which keys of
// "Parametros" and "Version" hold what, their defaults, and how the window
// load and "&Configuración" read and write them.

// The default folder under a system folder (SystemFolder, core/NativeSystem.h):
// "/var" gives "/var/tmp", "C:\Windows" gives "C:\Windows\Temp". A missing
// folder key reads as FixedDefaultFolder().
std::string DefaultFolderUnder(std::string_view systemFolder);

// The value of a text's leading decimal number, blanks ignored, sign and
// fraction allowed; 0 for a text that does not start with a number.
double LeadingNumber(std::string_view text);

// A stored list index: the decimal text of an index of a list of count
// entries; -1 (nothing selected) for anything else.
int StoredListIndex(std::string_view text, int count);

// Whether the window load must (re)initialise the store: no "Revision"
// ("NOREG"), one numerically below the program's, or no offered version.
bool NeedsInitialisation(std::string_view storedRevision, bool versionSectionEmpty);

using VersionRows = std::vector<std::pair<std::string, std::string>>;

// What the window shows after its load.
struct StartChoices {
    bool Initialised = false;  // the defaults were written in this load
    std::string StoreError;    // set when the defaults could not be written
    VersionRows VersionTable;
    int VersionIndex = -1;  // -1 only when the table is empty
    int PlatformIndex = -1;
    int SourceIndex = -1;
    int DestinationIndex = -1;
    std::string SourceFolder;       // the stored text, not yet checked
    std::string DestinationFolder;  // likewise
};

inline constexpr int kPlatformEntries = 3;
inline constexpr int kSourceEntries = 2;
inline constexpr int kDestinationEntries = 2;

// The store side of the window load: initialises the store when it needs it
// (then commits it), reads the version table and every saved choice.
StartChoices LoadStartChoices(SettingsStore& store, std::string_view systemFolder);

// What the window shows when the user saves it as the defaults.
struct CurrentChoices {
    std::string SourceFolder;
    std::string DestinationFolder;
    int VersionIndex = -1;
    int PlatformIndex = -1;
    int SourceIndex = -1;
    int DestinationIndex = -1;
};

// "&Configuracion": the two folders, the code of the selected version (kept as
// stored when no version is selected) and the three list indexes. "Revision",
// the section "Version" and the CP name are not touched. Commits; false when
// the file could not be written.
bool SaveAsDefaults(SettingsStore& store, const CurrentChoices& choices,
                    const VersionRows& versionTable);

}  // namespace pamiro
