#pragma once

#include <string>

#include "core/FileTable.h"
#include "run/ConversionJob.h"

namespace pamiro {

// The run's destination files: "cmp_list" and "src_list" ("FoxCAE Transfer"),
// or the command script CP.cmd with its frame lines ("ICC Api"), and the
// compound files and source copies in between.
class Destination {
  public:
    Destination(OutputFolder& folder, FileTable& files, pamiro::DestinationKind kind,
                std::string cp);

    // Creates (or empties) the lists or the script; the script gets its
    // "OPEN " line at once.
    void Open();
    // Closes them; the script gets its "CLOSE " and "EXIT" lines first.
    void Finish();
    // Closes and deletes them: a failed Save All scan leaves no list or script.
    void Discard();

    OutputFile& CompoundList() { return *cmpList_; }
    OutputFile& SourceList() { return *srcList_; }
    OutputFile& Script() { return *script_; }
    // A new file of the run (compound file, source copy).
    OutputFile& Create(const std::string& name) { return files_.Create(folder_, name); }
    void Close(OutputFile& file) { files_.Close(&file); }
    bool IsFoxCae() const { return kind_ == pamiro::DestinationKind::FoxCae; }

  private:
    OutputFolder& folder_;
    FileTable& files_;
    pamiro::DestinationKind kind_;
    std::string cp_;
    OutputFile* cmpList_ = nullptr;
    OutputFile* srcList_ = nullptr;
    OutputFile* script_ = nullptr;
};

}  // namespace pamiro
