#pragma once

#include <optional>
#include <string>

#include "app/SourceSnapshot.h"
#include "core/Choices.h"
#include "output/OutputReadBack.h"
#include "run/RunObserver.h"

namespace pamiro {

// Reads a conversion's output in folder ("FoxCAE Transfer": the folder with
// cmp_list; "ICC Api": the folder with cp's script) into snapshot, as the
// conversion wrote it: every block a known type, its values named by its own
// lines. A line that fits no rule refuses the whole output (returned); a read
// error throws FileError.
std::optional<ReadBackError> ReadOutputSnapshot(const InputFolder& folder, DestinationKind kind,
                                                const std::string& cp, SourceSnapshot& snapshot);

// Hands the snapshot to observer block by block as a dry run of its source
// would (a sequence block's source is the copy's path in folder).
void ReplaySnapshot(const SourceSnapshot& snapshot, const InputFolder& folder,
                    RunObserver& observer);

}  // namespace pamiro
