#pragma once

#include <string>
#include <vector>

#include "cli/CompareOutput.h"
#include "run/RunObserver.h"

namespace pamiro::cli {

// What inspect says of a block beside its type: an unknown type, the
// sequence source the conversion would copy (or that there is none).
std::string BlockNote(const BlockSeen& block);

// Gathers, while the dry run reads the source, the document of a CP for
// people: its compounds, blocks, every named value and the sequence
// sources, with a table of contents. The files read are kept to be listed.
class InspectPage : public RunObserver {
  public:
    void InputOpened(InputRole role, const std::string& path) override;
    void CompoundStarted(const std::string& name) override;
    void BlockSeenInRun(const BlockSeen& block) override;
    // The whole page, the source named by head.
    std::string Page(const CompareSide& head) const;

  private:
    struct Compound {
        std::string Name;
        std::string Html;  // its blocks
        long long Blocks = 0;
    };
    void Start(const std::string& name);
    std::vector<Compound> compounds_;
    std::vector<InputRead> inputs_;
    std::string sequenceRows_;
    long long blocks_ = 0, unknown_ = 0, sequence_ = 0, parameters_ = 0;
};

// Tells two observers everything the run tells it.
class BothObservers : public RunObserver {
  public:
    BothObservers(RunObserver& first, RunObserver& second) : first_(first), second_(second) {}
    void InputOpened(InputRole role, const std::string& path) override {
        first_.InputOpened(role, path);
        second_.InputOpened(role, path);
    }
    void CompoundStarted(const std::string& name) override {
        first_.CompoundStarted(name);
        second_.CompoundStarted(name);
    }
    void BlockSeenInRun(const BlockSeen& block) override {
        first_.BlockSeenInRun(block);
        second_.BlockSeenInRun(block);
    }
    void CompoundEnded(const std::string& code) override {
        first_.CompoundEnded(code);
        second_.CompoundEnded(code);
    }

  private:
    RunObserver& first_;
    RunObserver& second_;
};

}  // namespace pamiro::cli
