#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/RequestCheck.h"
#include "app/SourceSnapshot.h"
#include "cli/CliHost.h"
#include "run/ConversionJob.h"
#include "run/RunObserver.h"

namespace pamiro::cli {

// (name, value) of each parameter a block's lines get.
using NamedValues = std::vector<std::pair<std::string, std::string>>;

struct Totals {
    long long Compounds = 0, Blocks = 0, Written = 0, UnknownType = 0;
    long long Sequence = 0, OwnSource = 0, BaseSource = 0, NoSource = 0;
};

// What the answer is about: the request as checked, the run as it goes.
struct Subject {
    const ConversionRequest& Request;
    const ConversionJob& Job;
    const CliHost& Host;
    const std::string& Version() const {
        return Job.VersionTable[static_cast<std::size_t>(Request.VersionIndex)].first;
    }
};

// Writes the answer while the dry run reads the source, each block as it is
// met: a large CP's parameters, kept whole, would take hundreds of megabytes.
class Inspection : public RunObserver {
  public:
    Inspection(const Subject& subject, bool withParameters)
        : subject_(subject), withParameters_(withParameters) {}

    void CompoundStarted(const std::string& name) override { StartCompound(name); }
    void BlockSeenInRun(const BlockSeen& block) override {
        if (!started_ || compound_ != block.Compound) StartCompound(block.Compound);
        Count(block);
        named_.clear();
        if (withParameters_ && block.Names != nullptr) {
            const std::vector<std::string> values = ValuesAsWritten(block);
            for (std::size_t j = 0; j < values.size(); ++j) {
                named_.emplace_back((*block.Names)[j + 2], values[j]);
            }
        }
        WriteBlock(block, named_);
    }
    virtual void Begin() {}
    virtual void Finish() = 0;

  protected:
    virtual void WriteCompound(const std::string& name) = 0;
    virtual void WriteBlock(const BlockSeen& block, const NamedValues& named) = 0;
    const Subject& subject_;
    const bool withParameters_;
    Totals totals_;

  private:
    void StartCompound(const std::string& name) {
        started_ = true;
        compound_ = name;
        ++totals_.Compounds;
        WriteCompound(name);
    }
    void Count(const BlockSeen& block) {
        ++totals_.Blocks;
        ++(block.TypeKnown ? totals_.Written : totals_.UnknownType);
        if (!block.Sequence) return;
        ++totals_.Sequence;
        if (block.SequenceSource.empty()) {
            ++totals_.NoSource;
        } else {
            ++(block.SequenceSourceIsBase ? totals_.BaseSource : totals_.OwnSource);
        }
    }
    bool started_ = false;
    std::string compound_;
    NamedValues named_;
};

// The answer asked for: JSON, CSV (always with the parameters, its cells
// split at separator) or text.
std::unique_ptr<Inspection> InspectionFor(const Subject& subject, bool json, bool csv,
                                          bool parameters, const std::string& separator);

}  // namespace pamiro::cli
