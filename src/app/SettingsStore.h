#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/IniFile.h"

namespace pamiro {

// The user's saved choices and the table of offered versions, in the sections
// "Parametros" and "Version" of the application "Pamiro".
//
// Reads come from memory. Writes change memory at once and reach the file at
// Commit, which re-reads the file first and applies the writes on top of it,
// the way single registry values are written: a key added by hand while the
// program runs is not lost by a later save.
class SettingsStore {
  public:
    explicit SettingsStore(std::filesystem::path file);

    const std::filesystem::path& File() const { return file_; }
    // False when the file exists but cannot be read; the store is then empty
    // and Commit refuses to replace the unread file.
    bool Readable() const { return readable_; }

    std::string Read(std::string_view section, std::string_view key,
                     std::string_view fallback) const;
    KeyValuePairs ReadSection(std::string_view section) const;

    void Write(std::string_view section, std::string_view key, std::string value);
    void DeleteSection(std::string_view section);
    // Writes the pending changes; false with Error() set when that failed (the
    // changes stay in memory for this run).
    bool Commit();
    const std::string& Error() const { return error_; }

  private:
    struct Change {
        std::string Section;
        std::string Key;  // empty: the whole section is deleted
        std::string Value;
    };
    void Apply(IniDocument& document, const Change& change) const;

    std::filesystem::path file_;
    IniDocument document_;
    std::vector<Change> pending_;
    std::string error_;
    bool readable_ = true;
};

// $XDG_CONFIG_HOME/Pamiro/Pamiro.ini, or ~/.config/Pamiro/Pamiro.ini.
std::filesystem::path DefaultSettingsFile();

// The counterpart of the Windows folder: it only feeds the default folders.
inline constexpr std::string_view kSystemFolder = "/var";
// What a missing folder key reads as.
inline constexpr std::string_view kFixedDefaultFolder = "/var/tmp";
// The default folder under a system folder: "/var" gives "/var/tmp".
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
