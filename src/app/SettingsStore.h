#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pamiro {

using KeyValuePairs = std::vector<std::pair<std::string, std::string>>;

// Raw reads and writes of the user's saved choices and the table of offered
// versions, in the sections "Parametros" and "Version" of the application
// "Pamiro" (what the keys hold: app/SavedChoices.h). One interface, one
// store per platform: an INI file on POSIX (IniSettingsStore), the registry
// on Windows; tests use an in-memory store (tests/support).
//
// Reads see every write at once. Writes reach the lasting store at Commit at
// the latest; a store may write through earlier. Section and key names match
// without regard to ASCII case; values are bytes.
class SettingsStore {
  public:
    virtual ~SettingsStore() = default;

    // The stored text, or fallback when the key is missing.
    virtual std::string Read(std::string_view section, std::string_view key,
                             std::string_view fallback) const = 0;
    // Every pair of a section in the store's own order (for keys written one
    // after another, the order of writing); empty when there is no section.
    virtual KeyValuePairs ReadSection(std::string_view section) const = 0;

    // Creates the section and the key as needed.
    virtual void Write(std::string_view section, std::string_view key, std::string value) = 0;
    // The section with everything in it.
    virtual void DeleteSection(std::string_view section) = 0;
    // Makes the writes last; false with Error() set when that failed (the
    // changes stay visible to reads for this run).
    virtual bool Commit() = 0;

    // False when the store exists but cannot be read; it then reads empty
    // and Commit refuses to replace what it could not read.
    virtual bool Readable() const = 0;
    // The last failure, naming the store: "<where>: <Spanish reason>".
    virtual const std::string& Error() const = 0;
    // Where the store lives, as a message names it (a file, a registry key).
    virtual std::string Location() const = 0;
};

}  // namespace pamiro
