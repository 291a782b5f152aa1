// The engine's parameter lookup compiled under another name, so that the
// benchmark's engine can send every lookup either to it (the conversion as
// shipped) or to the full-scan reference, with everything else unchanged.
#define LookUpBlockType ShippedLookUpBlockType
#include "output/ParameterDataFile.cpp"
#undef LookUpBlockType

#include "ReferenceLookup.h"

namespace pamiro {

namespace bench {
bool UseReferenceLookup = false;
}

int LookUpBlockType(ConversionJob& job, Host& host, const std::string& typeName) {
    return bench::UseReferenceLookup ? ReferenceLookUpBlockType(job, host, typeName)
                                     : ShippedLookUpBlockType(job, host, typeName);
}

}  // namespace pamiro
