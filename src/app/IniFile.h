#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/SettingsStore.h"  // KeyValuePairs

namespace pamiro {

// An INI-style text of sections holding KEY=value lines. Sections and keys keep
// the order in which they were first written, because the offered versions are
// listed in that order. Names match without regard to ASCII case, as registry
// names do, and keep the case they were first written with. Values are bytes.
//
// A value that could not survive a plain line (control characters, blanks at
// either end, a leading double quote) is written between double quotes with
// backslash escapes (\\ \" \n \r \t \xHH); any other value is written as it is,
// so a store edited by hand with "C:\dir" values reads back unchanged.
class IniDocument {
  public:
    // Never fails: lines that are neither a section header nor KEY=value are
    // ignored, as are comments (";" or "#") and lines before the first header.
    // A key given twice keeps its first place and its last value.
    static IniDocument Parse(std::string_view text);
    std::string Serialise() const;

    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    // Replaces the value in place, or appends the key (and the section).
    void Set(std::string_view section, std::string_view key, std::string value);
    void RemoveSection(std::string_view section);
    // The section's pairs in stored order; empty when it does not exist.
    KeyValuePairs Section(std::string_view section) const;

    bool operator==(const IniDocument&) const = default;

  private:
    struct SectionData {
        std::string Name;
        KeyValuePairs Entries;
        bool operator==(const SectionData&) const = default;
    };
    SectionData* Find(std::string_view section);
    const SectionData* Find(std::string_view section) const;
    std::vector<SectionData> sections_;
};

// Reads the file. A missing file is an empty document; any other failure
// returns nothing and describes itself in error ("<file>: <Spanish reason>").
std::optional<IniDocument> LoadIniFile(const std::filesystem::path& file, std::string& error);

// The document's text written whole (ReplaceFileAtomically, core/NativeFile.h).
bool SaveIniFileAtomically(const std::filesystem::path& file, const IniDocument& document,
                           std::string& error);

}  // namespace pamiro
