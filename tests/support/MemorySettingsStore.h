#pragma once

#include <string>
#include <string_view>

#include "app/IniFile.h"
#include "app/SettingsStore.h"

namespace pamiro {

// A store that lives as long as the object: for tests, and for a run that
// must not touch the user's settings. Keys keep the order of writing.
class MemorySettingsStore : public SettingsStore {
  public:
    std::string Read(std::string_view section, std::string_view key,
                     std::string_view fallback) const override {
        auto value = Document.Get(section, key);
        return value ? *value : std::string(fallback);
    }
    KeyValuePairs ReadSection(std::string_view section) const override {
        return Document.Section(section);
    }
    void Write(std::string_view section, std::string_view key, std::string value) override {
        Document.Set(section, key, std::move(value));
    }
    void DeleteSection(std::string_view section) override { Document.RemoveSection(section); }
    bool Commit() override {
        error_ = FailCommits ? "memoria: no se puede escribir" : "";
        if (!FailCommits) ++Commits;
        return !FailCommits;
    }
    bool Readable() const override { return true; }
    const std::string& Error() const override { return error_; }
    std::string Location() const override { return "memoria"; }

    IniDocument Document;
    bool FailCommits = false;  // Commit fails, as a store that cannot be written
    int Commits = 0;           // successful commits

  private:
    std::string error_;
};

}  // namespace pamiro
