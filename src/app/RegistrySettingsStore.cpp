#include "app/RegistrySettingsStore.h"

#include <algorithm>

#include "core/Text.h"

namespace pamiro {

RegistrySettingsStore::RegistrySettingsStore(std::string application)
    : application_(application), registry_(std::move(application)) {}

std::string RegistrySettingsStore::Read(std::string_view section, std::string_view key,
                                        std::string_view fallback) const {
    const std::vector<PendingWrite>& pending = pending_.All();
    for (auto change = pending.rbegin(); change != pending.rend(); ++change) {
        if (!EqualIgnoringAsciiCase(change->Section, section)) continue;
        if (change->Key.empty()) return std::string(fallback);
        if (EqualIgnoringAsciiCase(change->Key, key)) return change->Value;
    }
    return registry_.Read(section, key, fallback);
}

// The registry matches key and value names without regard to case; so do
// the writes that wait for Commit.
KeyValuePairs RegistrySettingsStore::ReadSection(std::string_view section) const {
    KeyValuePairs pairs = registry_.ReadSection(section);
    for (const PendingWrite& change : pending_.All()) {
        if (!EqualIgnoringAsciiCase(change.Section, section)) continue;
        if (change.Key.empty()) {
            pairs.clear();
            continue;
        }
        const auto same = [&](const auto& pair) {
            return EqualIgnoringAsciiCase(pair.first, change.Key);
        };
        if (auto found = std::find_if(pairs.begin(), pairs.end(), same); found != pairs.end()) {
            found->second = change.Value;
        } else {
            pairs.emplace_back(change.Key, change.Value);
        }
    }
    return pairs;
}

void RegistrySettingsStore::Write(std::string_view section, std::string_view key,
                                  std::string value) {
    pending_.Write(section, key, std::move(value));
}

void RegistrySettingsStore::DeleteSection(std::string_view section) {
    pending_.DeleteSection(section);
}

bool RegistrySettingsStore::Commit() {
    std::size_t done = 0;
    for (; done < pending_.All().size(); ++done) {
        const PendingWrite& change = pending_.All()[done];
        const bool written =
            change.Key.empty() ? registry_.DeleteSection(change.Section, error_)
                               : registry_.Write(change.Section, change.Key, change.Value, error_);
        if (!written) break;
    }
    // What was not written stays visible for this run and is tried again.
    pending_.Done(done);
    return pending_.Empty();
}

std::string RegistrySettingsStore::Location() const {
    return "HKEY_CURRENT_USER\\Software\\" + application_;
}

}  // namespace pamiro
