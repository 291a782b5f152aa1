#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/IniFile.h"
#include "app/PendingWrites.h"
#include "app/SettingsStore.h"

namespace pamiro {

// The settings store of POSIX systems: an INI file.
//
// Reads come from memory. Writes change memory at once and reach the file at
// Commit, which re-reads the file first and applies the writes on top of it,
// the way single registry values are written: a key added by hand while the
// program runs is not lost by a later save.
class IniSettingsStore : public SettingsStore {
  public:
    explicit IniSettingsStore(std::filesystem::path file);

    const std::filesystem::path& File() const { return file_; }

    std::string Read(std::string_view section, std::string_view key,
                     std::string_view fallback) const override;
    KeyValuePairs ReadSection(std::string_view section) const override;
    void Write(std::string_view section, std::string_view key, std::string value) override;
    void DeleteSection(std::string_view section) override;
    bool Commit() override;
    bool Readable() const override { return readable_; }
    const std::string& Error() const override { return error_; }
    std::string Location() const override;

  private:
    static void Apply(IniDocument& document, const PendingWrite& write);

    std::filesystem::path file_;
    IniDocument document_;
    PendingWrites pending_;
    std::string error_;
    bool readable_ = true;
};

// $XDG_CONFIG_HOME/Pamiro/Pamiro.ini, or ~/.config/Pamiro/Pamiro.ini.
std::filesystem::path DefaultSettingsFile();

}  // namespace pamiro
