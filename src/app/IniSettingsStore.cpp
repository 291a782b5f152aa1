#include "app/IniSettingsStore.h"

#include <cstdlib>

#include "app/ProgramInfo.h"

#if __has_include(<pwd.h>)
#include <pwd.h>
#include <unistd.h>
#define PAMIRO_HAVE_PWD 1
#endif

namespace pamiro {

namespace fs = std::filesystem;

namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
#ifdef PAMIRO_HAVE_PWD
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
#endif
    return ".";
}

}  // namespace

IniSettingsStore::IniSettingsStore(fs::path file) : file_(std::move(file)) {
    if (auto loaded = LoadIniFile(file_, error_)) {
        document_ = std::move(*loaded);
    } else {
        readable_ = false;
    }
}

std::string IniSettingsStore::Read(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
    auto value = document_.Get(section, key);
    return value ? *value : std::string(fallback);
}

KeyValuePairs IniSettingsStore::ReadSection(std::string_view section) const {
    return document_.Section(section);
}

void IniSettingsStore::Apply(IniDocument& document, const Change& change) const {
    if (change.Key.empty()) {
        document.RemoveSection(change.Section);
    } else {
        document.Set(change.Section, change.Key, change.Value);
    }
}

void IniSettingsStore::Write(std::string_view section, std::string_view key, std::string value) {
    pending_.push_back({std::string(section), std::string(key), std::move(value)});
    Apply(document_, pending_.back());
}

void IniSettingsStore::DeleteSection(std::string_view section) {
    pending_.push_back({std::string(section), {}, {}});
    Apply(document_, pending_.back());
}

bool IniSettingsStore::Commit() {
    if (pending_.empty()) return true;
    if (!readable_) {
        // Never replace a store that could not be read with a guess of it.
        return false;
    }
    std::string error;
    auto current = LoadIniFile(file_, error);
    if (!current) {
        error_ = error;
        return false;
    }
    for (const Change& change : pending_) Apply(*current, change);
    if (!SaveIniFileAtomically(file_, *current, error)) {
        error_ = error;
        return false;
    }
    pending_.clear();
    document_ = std::move(*current);
    error_.clear();
    return true;
}

fs::path DefaultSettingsFile() {
    fs::path base;
    // Relative values are not valid for this variable and are ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME");
        config != nullptr && fs::path(config).is_absolute()) {
        base = config;
    } else {
        base = fs::path(HomeFolder()) / ".config";
    }
    return base / std::string(kProgramName) / (std::string(kProgramName) + ".ini");
}

std::string IniSettingsStore::Location() const { return file_.string(); }

}  // namespace pamiro
