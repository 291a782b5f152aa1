#include "output/BlockWriter.h"

#include "output/OutputFormats.h"

namespace pamiro {

BlockOutcome BlockWriter::Write(OutputFile& out, const std::string& compound,
                                const std::string& name, const std::string& type,
                                NulFields& values) {
    BlockOutcome outcome;
    const ParameterNames* names = lookup_.Find(type);
    if (names == nullptr) return outcome;
    outcome.TypeKnown = true;
    std::string blockName = name, blockType = type;
    outcome.LineBreaksBlanked = BlankLineBreaks(blockName) | BlankLineBreaks(blockType);
    const bool fox = kind_ == DestinationKind::FoxCae;
    if (fox) {
        out.WriteLine(FoxNameLine(blockName));
        out.WriteLine(FoxTypeLine(blockType));
    } else {
        out.WriteLine(IccAddLine(compound, blockName));
        out.WriteLine(IccTypeLine(blockType));
    }
    for (std::size_t j = 2; j < names->size(); ++j) {
        std::string value = values.Next();
        outcome.LineBreaksBlanked |= BlankLineBreaks(value);
        line_.clear();
        if (fox) {
            AppendFoxParameterLine(line_, (*names)[j], value);
        } else {
            AppendIccParameterLine(line_, (*names)[j], value);
        }
        out.WriteLine(line_);
    }
    if (!fox) out.WriteLine(kIccEndLine);
    return outcome;
}

}  // namespace pamiro
