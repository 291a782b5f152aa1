#include "app/RequestCheck.h"

#include <algorithm>

#include "app/FolderHints.h"
#include "app/InputChecks.h"
#include "core/Folders.h"
#include "core/Host.h"
#include "core/NativeFile.h"
#include "core/Paths.h"
#include "core/SourceTree.h"
#include "core/Text.h"
#include "readers/PlatformFit.h"
#include "run/ConversionJob.h"
#include "run/StagedRun.h"

namespace pamiro {

namespace {

// Characters no file name may hold; the CP name names files and a folder.
bool IsFileNameSafeCp(const std::string& name) {
    if (name == "." || name == "..") return false;
    for (const char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) return false;
        if (std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos) return false;
    }
    return true;
}

}  // namespace

const std::vector<std::pair<std::string, std::string>>& DefaultVersionTable() {
    static const std::vector<std::pair<std::string, std::string>> table = [] {
        std::vector<std::pair<std::string, std::string>> versions;
        for (const VersionChoice& v : kDefaultVersions) versions.emplace_back(v.Code, v.Label);
        return versions;
    }();
    return table;
}

bool LabelNamesVersion(std::string_view label, std::string_view version) {
    if (version.empty()) return false;
    for (std::size_t start = 0; start <= label.size();) {
        const std::size_t slash = std::min(label.find('/', start), label.size());
        const std::string part = TrimBlanks(label.substr(start, slash - start));
        if (part.substr(0, part.find(' ')) == version) return true;
        start = slash + 1;
    }
    return false;
}

std::string NormaliseCpName(const std::string& text) {
    std::string name = TrimBlanks(text);
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool ascii = u >= 'a' && u <= 'z';
        const bool latin1 = u >= 0xE0 && u <= 0xFE && u != 0xF7;
        if (ascii || latin1) c = static_cast<char>(u - 0x20);
    }
    return name;
}

std::optional<Refusal> CpNameRefusal(const std::string& cp) {
    if (cp.empty())
        return Refusal{"Nombre del CP", "No se a seleccionado un CP", {}, RefusalKind::Plain};
    if (cp.size() != 6 || !IsFileNameSafeCp(cp)) {
        return Refusal{"Nombre del CP", "Letterbug del CP incorrecto", {}, RefusalKind::Letterbug};
    }
    return std::nullopt;
}

std::optional<Refusal> CheckRequest(ConversionRequest& request, ConversionJob& job, Host& host) {
    host.SetStatus(1, "");
    request.CpNameText = NormaliseCpName(request.CpNameText);
    if (auto refusal = CpNameRefusal(request.CpNameText)) return refusal;
    const std::optional<Platform> platform = PlatformFromIndex(request.PlatformIndex);
    if (!platform) {
        return Refusal{"Plataforma", "No se a definido el tipo de equipo", {}, RefusalKind::Plain};
    }
    // With nothing chosen there is no data file to name, nothing to read or
    // nowhere to write: refused before any file is touched.
    if (request.VersionIndex < 0 ||
        static_cast<std::size_t>(request.VersionIndex) >= job.VersionTable.size()) {
        return Refusal{
            "Versión", "No se ha seleccionado la versión de I/A", {}, RefusalKind::Plain};
    }
    if (!SourceKindFromIndex(request.SourceIndex)) {
        return Refusal{
            "Fuente", "No se ha seleccionado el formato de la fuente", {}, RefusalKind::Plain};
    }
    const std::optional<DestinationKind> destination =
        DestinationKindFromIndex(request.DestinationIndex);
    if (!destination) {
        return Refusal{
            "Destino", "No se ha seleccionado el formato del destino", {}, RefusalKind::Plain};
    }
    job.SourceDir = StripTrailingSeparator(request.SourceSelection);
    job.DestinationDir = StripTrailingSeparator(request.DestinationFolder);
    const std::string& code =
        job.VersionTable[static_cast<std::size_t>(request.VersionIndex)].first;
    const std::string dataFile = std::string(TraitsOf(*platform).DataFilePrefix) + code + ".dat";
    job.DataFilePath = JoinPath(job.ProgramDir, dataFile);
    if (EntryFollowingLinks(job.ProgramDir, dataFile) != EntryKind::File) {
        return Refusal{
            "Archivo de datos", "No se encuentra el archivo de datos", {}, RefusalKind::DataFile};
    }
    job.CompoundCount = 0;
    job.SourceFileCount = 0;
    job.DestinationKind = *destination;
    job.PlatformIndex = *platform;
    return std::nullopt;
}

Refusal ExplainedRefusal(Refusal refusal, const ConversionJob& job) {
    if (refusal.Kind == RefusalKind::Letterbug) {
        refusal.Text += std::string("\n") + kLetterbugExplained;
    }
    if (refusal.Kind == RefusalKind::DataFile) {
        const Lookup found =
            DiskInputFolder(job.ProgramDir, true).Find({FileNameOf(job.DataFilePath)});
        if (found.Ambiguous) refusal.Text += "\n" + CaseVariantsNote(*found.Ambiguous);
    }
    return refusal;
}

void RunAcceptedRequest(const ConversionRequest& request, ConversionJob& job, Host& host) {
    // A platform the CP's index does not fit is refused before the window
    // starts a run (the run itself would refuse it too, having frozen the window).
    if (request.SourceIndex == IndexOf(SourceKind::WorkingFile)) {
        const DiskInputFolder folder(job.SourceDir, false);
        const std::string misfit =
            PlatformFitWarning(SourceTree(folder), request.CpNameText, job.PlatformIndex);
        if (!misfit.empty()) {
            job.Report.Failed = true;
            host.ShowMessage(MessageIcon::Critical, misfit, "Pamiro - Working File");
            return;
        }
    }
    WarnIfDestinationInSource(job, host);
    const SourceKind kind = *SourceKindFromIndex(request.SourceIndex);
    HintingHost hinting(host, {job.SourceDir, request.CpNameText, kind, false});
    RunConversionStaged(job, hinting, kind, request.CpNameText);
}

}  // namespace pamiro
