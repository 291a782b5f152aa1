#pragma once

#include <string>
#include <vector>

namespace pamiro {

// The places a run's report must stay out of: what the run reads, and what
// it writes (a report there would be an input, or be replaced by an output,
// or name a file that no longer holds what it says).
struct ReportGuards {
    std::string SourceFolder;                     // nothing inside it
    std::vector<std::string> DestinationFolders;  // neither them nor anything inside
    std::string DataFolder;                       // not its data files, nor its base sources
};

// How a refusal names the file: its option, the file itself (capitalised,
// with its article) and "of it" (a page and its folder say it their own way).
struct ReportWords {
    std::string Option = "--report";
    std::string Subject = "El informe";
    std::string Of = "del informe";
};

// Why a report may not be written at path (a file to be made or replaced),
// as one line for the user; empty when it may. Checked before the run, so a
// refused report costs nothing.
std::string ReportFileRefusal(const std::string& path, const ReportGuards& guards,
                              const ReportWords& words = {});
// The same for a folder of reports (one file per CP, made when missing).
std::string ReportFolderRefusal(const std::string& folder, const ReportGuards& guards);

// The absolute form of a path as the run opens it (relative to the working
// folder), for a report that must stand alone.
std::string AbsolutePathText(const std::string& path);

}  // namespace pamiro
