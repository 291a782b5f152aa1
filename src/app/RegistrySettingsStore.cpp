#include "app/RegistrySettingsStore.h"

#include <algorithm>

namespace pamiro {

namespace {

// The registry matches key and value names without regard to case; so do
// the writes that wait for Commit.
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string application)
    : application_(application), registry_(std::move(application)) {}

std::string RegistrySettingsStore::Read(std::string_view section, std::string_view key,
                                        std::string_view fallback) const {
    for (auto change = pending_.rbegin(); change != pending_.rend(); ++change) {
        if (!SameName(change->Section, section)) continue;
        if (change->Key.empty()) return std::string(fallback);
        if (SameName(change->Key, key)) return change->Value;
    }
    return registry_.Read(section, key, fallback);
}

KeyValuePairs RegistrySettingsStore::ReadSection(std::string_view section) const {
    KeyValuePairs pairs = registry_.ReadSection(section);
    for (const Change& change : pending_) {
        if (!SameName(change.Section, section)) continue;
        if (change.Key.empty()) {
            pairs.clear();
            continue;
        }
        const auto same = [&](const auto& pair) { return SameName(pair.first, change.Key); };
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
    pending_.push_back({std::string(section), std::string(key), std::move(value)});
}

void RegistrySettingsStore::DeleteSection(std::string_view section) {
    pending_.push_back({std::string(section), {}, {}});
}

bool RegistrySettingsStore::Commit() {
    std::size_t done = 0;
    for (; done < pending_.size(); ++done) {
        const Change& change = pending_[done];
        const bool written =
            change.Key.empty() ? registry_.DeleteSection(change.Section, error_)
                               : registry_.Write(change.Section, change.Key, change.Value, error_);
        if (!written) break;
    }
    // What was not written stays visible for this run and is tried again.
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(done));
    return pending_.empty();
}

std::string RegistrySettingsStore::Location() const {
    return "HKEY_CURRENT_USER\\Software\\" + application_;
}

}  // namespace pamiro
