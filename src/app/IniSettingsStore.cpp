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

void IniSettingsStore::Apply(IniDocument& document, const PendingWrite& write) {
    if (write.Key.empty()) {
        document.RemoveSection(write.Section);
    } else {
        document.Set(write.Section, write.Key, write.Value);
    }
}

void IniSettingsStore::Write(std::string_view section, std::string_view key, std::string value) {
    Apply(document_, pending_.Write(section, key, std::move(value)));
}

void IniSettingsStore::DeleteSection(std::string_view section) {
    Apply(document_, pending_.DeleteSection(section));
}

bool IniSettingsStore::Commit() {
    if (pending_.Empty()) return true;
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
    for (const PendingWrite& write : pending_.All()) Apply(*current, write);
    if (!SaveIniFileAtomically(file_, *current, error)) {
        error_ = error;
        return false;
    }
    pending_.Done(pending_.All().size());
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
