#include "run/Staging.h"

#include <algorithm>
#include <cerrno>
#include <map>
#include <random>
#include <set>

#include "core/FileError.h"
#include "core/Host.h"
#include "core/Text.h"
#include "output/OutputFiles.h"

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

bool StagedDestination::IsNumberedName(std::string_view name) { return IsNumberedFileName(name); }

StagedDestination::StagedDestination(StagingTarget& target, std::string stagingName)
    : target_(target), staging_(std::move(stagingName)) {
    target_.MakeFolder(staging_);
    try {
        lock_ = target_.CreateLocked(Staged(std::string(kMarkName)), kMarkText);
    } catch (const FileError&) {
        target_.RemoveFolder(staging_);
        open_ = false;
        throw;
    }
    if (FindOthers()) {
        stale_.clear();
        kept_.clear();
        Discard();
        throw DestinationBusy{};
    }
}

bool StagedDestination::FindOthers() {
    bool busy = false;
    for (const auto& [name, kind] : target_.Entries()) {
        if (kind != EntryKind::Folder || !IsStagingName(name) || name == staging_) continue;
        StagingTarget::LockState state = StagingTarget::LockState::Missing;
        std::string mark;
        StagingTarget::Lock held =
            target_.TakeLock(name + "/" + std::string(kMarkName), state, mark);
        if (state == StagingTarget::LockState::Busy) busy = true;
        // Not ours, whatever its name: never touched.
        if (state != StagingTarget::LockState::Taken || mark != kMarkText) continue;
        // One whose moves could not all be undone still holds files of the
        // destination: it stays for the user to look at.
        if (!target_.Entries(name + "/" + std::string(kSaveFolder)).empty()) {
            kept_.push_back(name);
            continue;
        }
        // Held until it is removed, so no other run takes it meanwhile.
        stale_.push_back({name, std::move(held)});
    }
    std::sort(stale_.begin(), stale_.end(),
              [](const Stale& a, const Stale& b) { return a.Name < b.Name; });
    std::sort(kept_.begin(), kept_.end());
    return busy;
}

void StagedDestination::RemoveStale() {
    for (Stale& stale : stale_) {
        stale.Held.reset();  // Windows removes no file that is open
        if (target_.RemoveFolder(stale.Name)) {
            removedStale_.push_back(stale.Name);
        } else {
            unremoved_.push_back(stale.Name);
        }
    }
    stale_.clear();
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
    // What stands where name goes: that name or, where case does not count,
    // a name in another case, which the move would replace just the same.
    auto standingAt = [&](const std::string& name) {
        auto it = standing.find(name);
        if (it != standing.end() || !target_.IgnoresCase()) return it;
        return std::find_if(standing.begin(), standing.end(), [&](const auto& entry) {
            return EqualIgnoringAsciiCase(entry.first, name);
        });
    };

    std::vector<Move> moves;
    try {
        target_.MakeFolder(Staged(std::string(kSaveFolder)));
        auto save = [&](const std::string& name, bool replaced) {
            const auto it = standingAt(name);
            if (it == standing.end()) return;
            // A file or a link goes aside (a link itself, never its target);
            // a folder or a device is never replaced.
            if (it->second != EntryKind::File && it->second != EntryKind::Link) {
                throw FileError(FileError::Kind::Write, PathOf(name),
                                it->second == EntryKind::Folder ? EISDIR : EINVAL);
            }
            const std::string old = it->first;
            // The new file is no more readable than the one it replaces.
            if (replaced && it->second == EntryKind::File)
                target_.KeepPermissions(old, Staged(name));
            try {
                target_.Rename(old, Saved(old));
            } catch (const FileError& error) {
                throw FileError(FileError::Kind::Write, PathOf(old), error.ErrorNumber());
            }
            moves.back().Old = old;
            moves.back().Saved = true;
            standing.erase(it);
        };
        for (const std::string& name : order) {
            host.ProcessPendingEvents();
            moves.push_back({name, name});
            save(name, true);
            target_.Rename(Staged(name), name);
            moves.back().Placed = true;
        }
        for (const std::string& name : alsoRemove) {
            host.ProcessPendingEvents();
            moves.push_back({name, name});
            save(name, false);
        }
    } catch (...) {
        if (Undo(moves)) {
            Discard();
        } else {
            open_ = false;
            unremoved_.push_back(staging_);
        }
        throw;
    }
    // What the moves replaced goes away with the staging folder, and so do
    // the staging folders of runs that died.
    Discard();
    RemoveStale();
}

bool StagedDestination::Undo(const std::vector<Move>& moves) noexcept {
    bool whole = true;
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        try {
            if (it->Placed) target_.Rename(it->Name, Staged(it->Name));
            if (it->Saved) target_.Rename(Saved(it->Old), it->Old);
        } catch (const FileError&) {
            whole = false;  // put back what can be; the rest waits in the save folder
        }
    }
    return whole;
}

bool StagedDestination::Discard() {
    if (!open_) return removed_;
    open_ = false;
    lock_.reset();  // Windows removes no file that is open
    removed_ = target_.RemoveFolder(staging_);
    if (!removed_) unremoved_.push_back(staging_);
    return removed_;
}

}  // namespace pamiro
