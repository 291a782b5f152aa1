#include "run/Destination.h"

#include "output/OutputFiles.h"
#include "output/OutputFormats.h"

namespace pamiro {

Destination::Destination(OutputFolder& folder, FileTable& files, pamiro::DestinationKind kind,
                         std::string cp)
    : folder_(folder), files_(files), kind_(kind), cp_(std::move(cp)) {}

void Destination::Open() {
    if (IsFoxCae()) {
        cmpList_ = &Create(kCompoundListName);
        srcList_ = &Create(kSourceListName);
    } else {
        script_ = &Create(ScriptName(cp_));
        script_->WriteLine(IccOpenLine(cp_));
    }
}

void Destination::Finish() {
    if (IsFoxCae()) {
        files_.Close(std::exchange(srcList_, nullptr));
        files_.Close(std::exchange(cmpList_, nullptr));
    } else {
        script_->WriteLine(IccCloseLine(cp_));
        script_->WriteLine(kIccExitLine);
        files_.Close(std::exchange(script_, nullptr));
    }
}

void Destination::Discard() {
    // The files go away, so what a close would report no longer matters.
    files_.CloseAll();
    cmpList_ = srcList_ = script_ = nullptr;
    if (IsFoxCae()) {
        folder_.Remove(kCompoundListName);
        folder_.Remove(kSourceListName);
    } else {
        folder_.Remove(ScriptName(cp_));
    }
}

}  // namespace pamiro
