#include "readers/SaveAllReader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "output/BlockWriter.h"
#include "readers/CompoundFrame.h"
#include "readers/IndexEntry.h"
#include "run/ConversionJob.h"
#include "core/Host.h"
#include "core/NativeFile.h"
#include "core/Paths.h"

namespace pamiro {

namespace {

constexpr std::uint64_t kRevisionFromEnd = 23;

unsigned char Folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

std::string ParametersPath(const ConversionJob& job, const std::string& compoundName) {
    return JoinPath(JoinPath(job.SourceDir, compoundName), "parameters");
}

}  // namespace

std::vector<std::string> SplitCompoundDirLines(std::string_view text) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            lines.push_back(std::move(line));
            line.clear();
            open = false;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line.push_back(text[i]);
            open = true;
        }
    }
    if (open) lines.push_back(std::move(line));
    return lines;
}

void SortCompoundNames(std::vector<std::string>& names) {
    // Names equal but for case are ordered by their bytes, so the order never
    // depends on how the folder was listed.
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const bool less = std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return Folded(x) < Folded(y); });
        const bool greater = std::lexicographical_compare(
            b.begin(), b.end(), a.begin(), a.end(),
            [](char x, char y) { return Folded(x) < Folded(y); });
        if (less || greater) return less;
        return a < b;
    });
}

std::vector<std::string> CollectSaveAllCompounds(const std::string& sourceDir) {
    std::vector<std::string> names;
    const std::string listPath = JoinPath(sourceDir, ".Compound_Dir");
    if (FileExists(listPath)) {
        // When present, the list file alone names the compounds.
        std::ifstream in(listPath, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        const std::vector<std::string> lines = SplitCompoundDirLines(text);
        for (std::size_t i = 0; i < lines.size(); i += 2) names.push_back(lines[i]);
    } else {
        // Linked folders could lead outside the source folder: not listed.
        for (const std::string& name : SubfolderNames(sourceDir)) {
            if (name.empty() || name[0] == '.') continue;
            if (!FileExists(JoinPath(JoinPath(sourceDir, name), "parameters"))) continue;
            names.push_back(name);
        }
    }
    SortCompoundNames(names);
    return names;
}

bool ScanSaveAll(ConversionJob& job, Host& host, const std::string& cpName) {
    const std::vector<std::string> compounds = CollectSaveAllCompounds(job.SourceDir);
    if (compounds.empty()) {
        host.ShowMessage(MessageIcon::Critical, "Save All incorrecto de " + cpName,
                         "Pamiro - Save All");
        return true;
    }
    for (const std::string& name : compounds) {
        host.SetStatus(1, name);
        StartCompound(job, name);
        ReadSaveAllBlocks(job, host, name);
        EndCompound(job);
    }
    return false;
}

void ReadSaveAllBlocks(ConversionJob& job, Host& host, const std::string& compoundName) {
    const std::string path = ParametersPath(job, compoundName);
    int f = 0;
    if (IsSafeFileName(compoundName) && FileExists(path)) f = job.Files.OpenInput(path);
    if (f == 0) {
        job.Report.Warnings += 1;
        host.ShowMessage(MessageIcon::Warning,
                         compoundName + " - Archivo de parametros no encontrado",
                         "Pamiro - Save All - Bloques");
        return;
    }
    InputFile& file = job.Files.Input(f);
    const std::uint64_t length = file.Length();
    long long invalid = 0;
    std::uint64_t first = 0;  // F: where the first record begins, the index's end
    for (;;) {
        host.ProcessPendingEvents();
        ShortIndexEntry entry{};
        file.Read(reinterpret_cast<char*>(entry.data()), entry.size());
        const std::uint64_t next = file.Position();
        const std::uint32_t offset = UsableRecordOffset(ShortEntryOffsetLE(entry), invalid);
        if (first == 0) first = offset;
        WriteBlockDefinition(job, host, offset, f, compoundName);
        // The end of the file also ends the index, so an offset past the end
        // cannot make the loop run on over zeros.
        if (next >= first || next >= length) break;
        file.Seek(next);
    }

    if (length < kRevisionFromEnd) {
        job.RevisionCode = "    ";
        job.Report.Warnings += 1;
        host.ShowMessage(MessageIcon::Warning,
                         compoundName + " - Archivo de parametros demasiado corto (" +
                             std::to_string(length) + " bytes); sin codigo de revision",
                         "Pamiro - Save All - Bloques");
    } else {
        char code[4];
        file.ReadAt(length - kRevisionFromEnd, code, sizeof code);
        job.RevisionCode.assign(code, sizeof code);
    }
    job.Files.Close(f);
    ReportInvalidOffsets(job, host, path, invalid);
}

}  // namespace pamiro
