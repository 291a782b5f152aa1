#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/Folders.h"

namespace pamiro {

// One block as an output file holds it: its lines read back.
struct ReadBackBlock {
    std::string Compound, Name, Type;
    std::vector<std::string> Names, Values;  // its parameter lines, in file order
    // "FoxCAE Transfer", a sequence block: the copy src_list names for it
    // ("src0001"); empty when src_list names none.
    std::string SequenceCopy;
};

// Receives what an output holds, in file order.
class ReadBackSink {
  public:
    virtual ~ReadBackSink() = default;
    virtual void CompoundStarted(const std::string& name) = 0;
    virtual void BlockRead(const ReadBackBlock& block) = 0;
    // The code of a compound file's closing line (four characters).
    virtual void CompoundEnded(const std::string& /*revisionCode*/) {}
};

// A line that fits no rule of its format, or a file the format needs that is
// missing: the output is refused, never guessed at.
struct ReadBackError {
    std::string File;    // the path messages show
    long long Line = 0;  // 0: the file as a whole
    std::string Reason;
    std::string Text() const;
};

// A "FoxCAE Transfer" folder: cmp_list, each compound file it names, and
// src_list for the copies of the sequence sources. Lines are read as a
// person edits them: blanks at line ends, LF alone or no last line end,
// keywords in any case. A read error throws FileError.
std::optional<ReadBackError> ReadFoxCaeOutput(const InputFolder& folder, ReadBackSink& sink);
// The "ICC Api" script of cp in folder, read the same way.
std::optional<ReadBackError> ReadIccOutput(const InputFolder& folder, const std::string& cp,
                                           ReadBackSink& sink);

}  // namespace pamiro
