#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Folders.h"

namespace pamiro {

class Host;

// Thrown when another run is writing into the same destination.
struct DestinationBusy {};

// A destination that takes a run's files all at once or not at all: the run
// writes into a staging folder inside the destination, and Commit gives the
// files their places by renames within that one folder, so nothing is copied
// twice. Until then the destination shows nothing of the run; Discard (or
// the destructor) takes the staging folder away again.
//
// The staging folder holds a mark of the program, locked while its run
// lives: a folder of that name without the mark is never touched, one whose
// lock is held belongs to a live run, and one marked but free was left by a
// run that died. Each run makes and locks its own folder before it looks at
// the others, so of two runs started together at least one sees the other.
class StagedDestination : public OutputFolder {
  public:
    // Makes this run's staging folder, marked and locked, then looks at the
    // other staging folders in target. Throws DestinationBusy (having taken
    // its own folder away) when one of them belongs to a live run, FileError
    // of kind Write when the staging folder cannot be made.
    StagedDestination(StagingTarget& target, std::string stagingName = NewStagingName());
    ~StagedDestination() override;
    StagedDestination(const StagedDestination&) = delete;
    StagedDestination& operator=(const StagedDestination&) = delete;

    // ".pamiro-" and 16 hexadecimal digits: no output name has that form.
    static std::string NewStagingName();
    static bool IsStagingName(std::string_view name);
    // "cmp" or "src" followed by four or more digits: the numbered files.
    static bool IsNumberedName(std::string_view name);

    // The staging folders of runs that died, removed by Commit (so a run that
    // fails leaves them too: the destination stays as it was).
    const std::vector<std::string>& StaleFolders() const { return removedStale_; }
    // Staging folders left with files of the destination inside (their run
    // could not undo its moves): never removed.
    const std::vector<std::string>& KeptFolders() const { return kept_; }
    // Staging folders, this run's own included, that could not be removed.
    const std::vector<std::string>& UnremovedFolders() const { return unremoved_; }
    const std::string& Name() const { return staging_; }
    // The mark's name inside a staging folder; no output name starts with a dot.
    static constexpr std::string_view kMarkName = ".pamiro-marca";
    // What the mark holds: a folder whose mark says anything else is not ours.
    static constexpr std::string_view kMarkText = "Carpeta de trabajo de Pamiro\n";
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
    // Takes the staging folder away; false (and named in UnremovedFolders)
    // when it stays.
    bool Discard();

    // The run writes here; messages name the files where they will be.
    std::unique_ptr<ByteSink> Create(const std::string& name) override;
    void Remove(const std::string& name) override;
    std::string PathOf(const std::string& name) const override { return target_.PathOf(name); }

  private:
    struct Move {
        std::string Name;
        std::string Old;      // the name of what stood there (another case on Windows)
        bool Saved = false;   // what stood at Name went into the save folder
        bool Placed = false;  // the run's file stands at Name
    };
    struct Stale {
        std::string Name;
        StagingTarget::Lock Held;
    };
    // Looks at the other staging folders; true when one belongs to a live run.
    bool FindOthers();
    void RemoveStale();
    std::string Staged(const std::string& name) const { return staging_ + "/" + name; }
    std::string Saved(const std::string& name) const;
    // False when something could not be put back (it stays in the save folder).
    bool Undo(const std::vector<Move>& moves) noexcept;

    StagingTarget& target_;
    std::string staging_;
    StagingTarget::Lock lock_;
    bool open_ = true;
    bool removed_ = false;
    std::vector<Stale> stale_;
    std::vector<std::string> removedStale_, kept_, unremoved_;
    std::vector<std::string> written_;
};

}  // namespace pamiro
