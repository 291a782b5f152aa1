#pragma once

#include <string>

#include "app/SourceSnapshot.h"
#include "core/Folders.h"

namespace pamiro::cli {

// Compares what a finished run wrote, read back from written, with its
// source as read again (source). Prints "Verificado: ..." and returns 0 when
// they agree; otherwise names the differences (or the line that cannot be
// read) and returns 1: something between the write and the disk lost bytes.
int VerifyWritten(const SourceSnapshot& source, const InputFolder& written, DestinationKind kind,
                  const std::string& cp, const std::string& where);

// The same for a run that convert has just moved into place: the source is
// read again from disk with the run's request.
int VerifyConversion(const ConversionJob& run, SourceKind kind, const std::string& cp);

}  // namespace pamiro::cli
