#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/PendingWrites.h"
#include "app/SettingsStore.h"
#include "core/NativeSystem.h"

namespace pamiro {

// The settings store of Windows: HKEY_CURRENT_USER\Software\Pamiro, one key
// per section, one text value per key name.
//
// Writes wait in memory (reads see them at once) and reach the registry at
// Commit, in the order they were made; values written by hand meanwhile stay.
class RegistrySettingsStore : public SettingsStore {
  public:
    explicit RegistrySettingsStore(std::string application = "Pamiro");

    std::string Read(std::string_view section, std::string_view key,
                     std::string_view fallback) const override;
    KeyValuePairs ReadSection(std::string_view section) const override;
    void Write(std::string_view section, std::string_view key, std::string value) override;
    void DeleteSection(std::string_view section) override;
    bool Commit() override;
    bool Readable() const override { return true; }
    const std::string& Error() const override { return error_; }
    std::string Location() const override;

  private:
    std::string application_;
    UserRegistry registry_;
    PendingWrites pending_;
    std::string error_;
};

}  // namespace pamiro
