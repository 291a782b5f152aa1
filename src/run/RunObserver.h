#pragma once

#include <string>

#include "core/SourceTree.h"
#include "core/Text.h"
#include "output/ParameterDataFile.h"

namespace pamiro {

// What a run does with one block record, as the writer decided it.
struct BlockSeen {
    std::string Compound;
    std::string Name;
    std::string Type;
    bool TypeKnown = false;  // the data file has the type: its lines were written
    bool Sequence = false;   // "DEP", "IND", "MON" or "EXC" with "FoxCAE Transfer"
    // For a sequence block: the file its source was (or would be) copied from;
    // empty when neither the block's ".s" nor the type's base file exists.
    std::string SequenceSource;
    bool SequenceSourceIsBase = false;
    // The type's parameter names and the record's values after its name and
    // type, unread; both valid only during BlockSeenInRun (comparison and
    // the parameter listing read them, the writer's copy is unaffected).
    const ParameterNames* Names = nullptr;
    NulFields Values{std::string_view{}};
};

// Watches a run without changing it; the inspection of a source uses it, and
// the command line's report lists the files it opened (InputOpened: a source
// file, the data file or a base source, by its role and the path read).
class RunObserver : public InputWatcher {
  public:
    virtual void CompoundStarted(const std::string& /*name*/) {}
    virtual void BlockSeenInRun(const BlockSeen& /*block*/) {}
    // The code the compound's closing "**** Revision Code" line gets, raw.
    virtual void CompoundEnded(const std::string& /*revisionCode*/) {}
};

}  // namespace pamiro
