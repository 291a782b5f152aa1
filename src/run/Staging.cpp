#include "run/Staging.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <random>
#include <set>

#include "core/FileError.h"
#include "core/Host.h"

namespace pamiro {

namespace {

constexpr std::string_view kStagingPrefix = ".pamiro-";
constexpr std::size_t kStagingDigits = 16;
// Inside the staging folder: what the moves replace waits here until the
// last move is done. No output name starts with a dot.
constexpr std::string_view kSaveFolder = ".anterior";

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); }

// Numbered files by kind, then by number: cmp9999 before cmp10000.
bool NumberedBefore(const std::string& a, const std::string& b) {
    if (a.compare(0, 3, b, 0, 3) != 0) return a < b;
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

}  // namespace

std::string StagedDestination::NewStagingName() {
    std::random_device random;
    std::mt19937_64 bits((static_cast<std::uint64_t>(random()) << 32) ^ random());
    const char* digits = "0123456789abcdef";
    std::string name(kStagingPrefix);
    std::uint64_t value = bits();
    for (std::size_t i = 0; i < kStagingDigits; ++i, value >>= 4) name += digits[value & 0xF];
    return name;
}

bool StagedDestination::IsStagingName(std::string_view name) {
    return name.size() == kStagingPrefix.size() + kStagingDigits &&
           name.substr(0, kStagingPrefix.size()) == kStagingPrefix &&
           std::all_of(name.begin() + kStagingPrefix.size(), name.end(), IsHexDigit);
}

bool StagedDestination::IsNumberedName(std::string_view name) {
    return name.size() >= 7 && (name.substr(0, 3) == "cmp" || name.substr(0, 3) == "src") &&
           std::all_of(name.begin() + 3, name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

StagedDestination::StagedDestination(StagingTarget& target, std::string stagingName)
    : target_(target), staging_(std::move(stagingName)) {
    for (const auto& [name, kind] : target_.Entries()) {
        if (kind != EntryKind::Folder || !IsStagingName(name) || name == staging_) continue;
        // One whose moves could not all be undone still holds files of the
        // destination: it stays for the user to look at.
        if (!target_.Entries(name + "/" + std::string(kSaveFolder)).empty()) {
            kept_.push_back(name);
            continue;
        }
        target_.RemoveFolder(name);
        stale_.push_back(name);
    }
    std::sort(stale_.begin(), stale_.end());
    std::sort(kept_.begin(), kept_.end());
    target_.MakeFolder(staging_);
}

StagedDestination::~StagedDestination() { Discard(); }

std::string StagedDestination::Saved(const std::string& name) const {
    return Staged(std::string(kSaveFolder) + "/" + name);
}

std::vector<std::string> StagedDestination::Leftovers() const {
    const std::set<std::string> written(written_.begin(), written_.end());
    std::vector<std::string> left;
    for (const auto& [name, kind] : target_.Entries()) {
        if ((kind == EntryKind::File || kind == EntryKind::Link) && IsNumberedName(name) &&
            written.count(name) == 0) {
            left.push_back(name);
        }
    }
    std::sort(left.begin(), left.end(), NumberedBefore);
    return left;
}

std::unique_ptr<ByteSink> StagedDestination::Create(const std::string& name) {
    std::unique_ptr<ByteSink> sink;
    try {
        sink = target_.Create(Staged(name));
    } catch (const FileError& error) {
        throw FileError(FileError::Kind::Write, PathOf(name), error.ErrorNumber());
    }
    if (std::find(written_.begin(), written_.end(), name) == written_.end()) {
        written_.push_back(name);
    }
    return sink;
}

void StagedDestination::Remove(const std::string& name) {
    target_.Remove(Staged(name));
    written_.erase(std::remove(written_.begin(), written_.end(), name), written_.end());
}

void StagedDestination::Commit(Host& host, const std::vector<std::string>& alsoRemove) {
    std::vector<std::string> order;
    for (const std::string& name : written_) {
        if (IsNumberedName(name)) order.push_back(name);
    }
    // The lists were created first and are moved last, the source list
    // before the compound list (the order in which a run closes them).
    for (auto it = written_.rbegin(); it != written_.rend(); ++it) {
        if (!IsNumberedName(*it)) order.push_back(*it);
    }
    std::map<std::string, EntryKind> standing;
    for (const auto& [name, kind] : target_.Entries()) standing[name] = kind;

    std::vector<Move> moves;
    try {
        target_.MakeFolder(Staged(std::string(kSaveFolder)));
        auto save = [&](const std::string& name) {
            const auto it = standing.find(name);
            if (it == standing.end()) return;
            // A file or a link goes aside (a link itself, never its target);
            // a folder or a device is never replaced.
            if (it->second != EntryKind::File && it->second != EntryKind::Link) {
                throw FileError(FileError::Kind::Write, PathOf(name),
                                it->second == EntryKind::Folder ? EISDIR : EINVAL);
            }
            target_.Rename(name, Saved(name));
            moves.back().Saved = true;
        };
        for (const std::string& name : order) {
            host.ProcessPendingEvents();
            moves.push_back({name});
            save(name);
            target_.Rename(Staged(name), name);
            moves.back().Placed = true;
        }
        for (const std::string& name : alsoRemove) {
            host.ProcessPendingEvents();
            moves.push_back({name});
            save(name);
        }
    } catch (...) {
        if (Undo(moves)) {
            Discard();
        } else {
            open_ = false;
        }
        throw;
    }
    // What the moves replaced goes away with the staging folder.
    Discard();
}

bool StagedDestination::Undo(const std::vector<Move>& moves) noexcept {
    bool whole = true;
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        try {
            if (it->Placed) target_.Rename(it->Name, Staged(it->Name));
            if (it->Saved) target_.Rename(Saved(it->Name), it->Name);
        } catch (const FileError&) {
            whole = false;  // put back what can be; the rest waits in the save folder
        }
    }
    return whole;
}

void StagedDestination::Discard() {
    if (!open_) return;
    open_ = false;
    target_.RemoveFolder(staging_);
}

}  // namespace pamiro
