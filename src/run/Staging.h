#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Folders.h"

namespace pamiro {

class Host;

// A destination that takes a run's files all at once or not at all: the run
// writes into a staging folder inside the destination, and Commit gives the
// files their places by renames within that one folder, so nothing is copied
// twice. Until then the destination shows nothing of the run; Discard (or
// the destructor) takes the staging folder away again.
class StagedDestination : public OutputFolder {
  public:
    // Removes the staging folders that runs killed before their end left in
    // target (StaleFolders() names them), then makes this run's own. Throws
    // FileError of kind Write when the staging folder cannot be made.
    StagedDestination(StagingTarget& target, std::string stagingName = NewStagingName());
    ~StagedDestination() override;
    StagedDestination(const StagedDestination&) = delete;
    StagedDestination& operator=(const StagedDestination&) = delete;

    // ".pamiro-" and 16 hexadecimal digits: no output name has that form.
    static std::string NewStagingName();
    static bool IsStagingName(std::string_view name);
    // "cmp" or "src" followed by four or more digits: the numbered files.
    static bool IsNumberedName(std::string_view name);

    const std::vector<std::string>& StaleFolders() const { return stale_; }
    // Staging folders left with files of the destination inside (their run
    // could not undo its moves): never removed.
    const std::vector<std::string>& KeptFolders() const { return kept_; }
    // The run's files in the order it created them.
    const std::vector<std::string>& Written() const { return written_; }
    // The numbered files in the destination that the run did not write, in
    // the order of their numbers.
    std::vector<std::string> Leftovers() const;

    // Moves every file into place: numbered files first, the lists or the
    // script last, so no list names a file that is not there yet; the files
    // of alsoRemove are taken out of the destination in the same step. The
    // host may end the run between two moves (ProcessPendingEvents). On an
    // interruption or a failure every move is undone, the destination is as
    // it was and the exception passes on.
    void Commit(Host& host, const std::vector<std::string>& alsoRemove = {});
    void Discard();

    // The run writes here; messages name the files where they will be.
    std::unique_ptr<ByteSink> Create(const std::string& name) override;
    void Remove(const std::string& name) override;
    std::string PathOf(const std::string& name) const override { return target_.PathOf(name); }

  private:
    struct Move {
        std::string Name;
        bool Saved = false;   // what stood at Name went into the save folder
        bool Placed = false;  // the run's file stands at Name
    };
    std::string Staged(const std::string& name) const { return staging_ + "/" + name; }
    std::string Saved(const std::string& name) const;
    // False when something could not be put back (it stays in the save folder).
    bool Undo(const std::vector<Move>& moves) noexcept;

    StagingTarget& target_;
    std::string staging_;
    bool open_ = true;
    std::vector<std::string> stale_, kept_;
    std::vector<std::string> written_;
};

}  // namespace pamiro
