#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "output/ParameterDataFile.h"
#include "core/FileTable.h"
#include "run/RunObserver.h"

namespace pamiro {

inline constexpr int kSourceWorkingFile = 0;
inline constexpr int kSourceSaveAll = 1;
inline constexpr int kDestinationFoxCae = 0;
inline constexpr int kDestinationIcc = 1;
inline constexpr int kPlatformPw = 0;
inline constexpr int kPlatformAw51 = 1;
inline constexpr int kPlatformAw70 = 2;
inline constexpr std::size_t kRecordBufferSize = 5001;

// What a run met that the user must hear about beyond the output files.
struct RunReport {
    bool Failed = false;  // refused at run time, scan failure, lost output
    long long CompoundsConverted = 0;
    long long BlocksWritten = 0;
    long long SourcesCopied = 0;
    long long UnknownTypeBlocks = 0;
    std::vector<std::string> UnknownTypeNames;  // "compound:block (TYPE)", first few
    long long InvalidOffsets = 0;
    long long MissingSequenceSources = 0;
    long long Warnings = 0;
};

// Run-wide state shared by the driver, the readers and the writers. Field
// names are the ones the whole program uses for these values.
struct ConversionJob {
    // Set by the request check before each run.
    std::string SourceDir;     // no trailing separator
    std::string DataFilePath;  // program folder + prefix + version code + ".dat"
    int DestinationKind = kDestinationFoxCae;
    int PlatformIndex = kPlatformPw;
    long long CompoundCount = 0;
    long long SourceFileCount = 0;

    // Folder of the installation data (parameter data files, "_base.s").
    std::string ProgramDir;

    // Set by the driver.
    std::string DestinationDir;
    std::string RevisionCode = "    ";
    bool ConversionIdle = true;

    FileTable Files;
    int WorkingFileNumber = 0;
    int CmpListFileNumber = 0;
    int SrcListFileNumber = 0;
    int CommandFileNumber = 0;
    int CompoundObjectFileNumber = 0;
    int BlockObjectFileNumber = 0;
    int CompoundFileNumber = 0;
    std::string CompoundFilePath;

    // Parameter list of the type looked up last.
    std::vector<std::string> ParameterNames;
    long long ParameterCount = 0;
    ParameterDataCache DataFile;

    std::vector<char> ParameterValueBuffer = std::vector<char>(kRecordBufferSize);

    // (code, label) rows of the offered I/A Series versions.
    std::vector<std::pair<std::string, std::string>> VersionTable;

    RunReport Report;

    // Reads the source exactly as a conversion does but creates, writes and
    // deletes nothing in the destination (inspection).
    bool DryRun = false;
    RunObserver* Observer = nullptr;
};

}  // namespace pamiro
