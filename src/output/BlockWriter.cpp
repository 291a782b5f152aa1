#include "output/BlockWriter.h"

#include <cstdio>
#include <memory>

#include "output/OutputFormats.h"
#include "output/ParameterDataFile.h"
#include "run/ConversionJob.h"
#include "core/Host.h"
#include "core/Paths.h"

namespace pamiro {

namespace {

constexpr std::size_t kReportedUnknownNames = 10;

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Byte-for-byte copy; false when the source cannot be read. A destination that
// cannot be written throws.
bool CopySource(const std::string& from, const std::string& to) {
    FilePtr in(std::fopen(from.c_str(), "rb"), &std::fclose);
    if (!in) return false;
    FilePtr out(std::fopen(to.c_str(), "wb"), &std::fclose);
    if (!out) throw DestinationWriteError(to);
    std::vector<char> buffer(64 * 1024);
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in.get())) > 0) {
        if (std::fwrite(buffer.data(), 1, got, out.get()) != got) throw DestinationWriteError(to);
    }
    const bool readFailed = std::ferror(in.get()) != 0;
    if (std::fflush(out.get()) != 0 || std::fclose(out.release()) != 0) {
        throw DestinationWriteError(to);
    }
    return !readFailed;
}

// Lists the sequence block and copies its source: the block's own ".s" file,
// else the type's base file from the program folder. Returns what was used.
void CopySequenceSource(ConversionJob& job, Host& host, BlockSeen& seen) {
    job.SourceFileCount += 1;
    const long long n = job.SourceFileCount;
    job.Files.Output(job.SrcListFileNumber).WriteLine(SourceListLine(seen.Compound, seen.Name, n));

    std::string source;
    if (IsSafeFileName(seen.Compound) && IsSafeFileName(seen.Name + ".s")) {
        source = JoinPath(JoinPath(job.SourceDir, seen.Compound), seen.Name + ".s");
    }
    if (source.empty() || !FileExists(source)) {
        source = JoinPath(job.ProgramDir, seen.Type + "_base.s");
        seen.SequenceSourceIsBase = true;
    }
    if (FileExists(source)) {
        seen.SequenceSource = source;
        const std::string target = JoinPath(job.DestinationDir, NumberedFileName("src", n));
        if (job.DryRun || CopySource(source, target)) {
            job.Report.SourcesCopied += 1;
            return;
        }
        seen.SequenceSource.clear();
    }
    job.Report.MissingSequenceSources += 1;
    job.Report.Warnings += 1;
    host.ShowMessage(MessageIcon::Warning,
                     seen.Compound + ":" + seen.Name + " - No se encuentra " + seen.Name +
                         ".s ni " + seen.Type + "_base.s; no se ha copiado el fuente",
                     "Pamiro - Fuentes");
}

}  // namespace

std::string BlockRecord::Next() {
    const std::size_t size = buffer_.size();
    std::size_t end = cursor_;
    while (end < size && buffer_[end] != '\0') ++end;
    std::string_view text(buffer_.data() + cursor_, end - cursor_);
    cursor_ = end < size ? end + 1 : size;
    std::string trimmed;
    const auto first = text.find_first_not_of(' ');
    if (first != std::string_view::npos) {
        trimmed.assign(text.substr(first, text.find_last_not_of(' ') - first + 1));
    }
    return trimmed;
}

void WriteBlockDefinition(ConversionJob& job, Host& host, std::uint32_t recordOffset,
                          int fileNumber, const std::string& compoundName) {
    if (recordOffset == 0) return;
    job.Files.Input(fileNumber).ReadAt(recordOffset, job.ParameterValueBuffer.data(),
                                       job.ParameterValueBuffer.size());
    BlockRecord record(job.ParameterValueBuffer);
    BlockSeen seen;
    seen.Compound = compoundName;
    seen.Name = record.Next();
    seen.Type = record.Next();
    const std::string& blockName = seen.Name;
    const std::string& blockType = seen.Type;
    host.SetStatus(2, blockName);

    const bool found = LookUpBlockType(job, host, blockType) == 0;
    seen.TypeKnown = found;
    const bool fox = job.DestinationKind == kDestinationFoxCae;
    if (found) {
        OutputFile& out =
            job.Files.Output(fox ? job.CompoundFileNumber : job.CommandFileNumber);
        if (fox) {
            out.WriteLine(FoxNameLine(blockName));
            out.WriteLine(FoxTypeLine(blockType));
        } else {
            out.WriteLine(IccAddLine(compoundName, blockName));
            out.WriteLine(IccTypeLine(blockType));
        }
        // One line buffer for the whole block: a large CP has a million lines.
        std::string line;
        for (long long j = 2; j < job.ParameterCount; ++j) {
            const std::string value = record.Next();
            const std::string& name = job.ParameterNames[static_cast<std::size_t>(j)];
            line.clear();
            if (fox) {
                AppendFoxParameterLine(line, name, value);
            } else {
                AppendIccParameterLine(line, name, value);
            }
            out.WriteLine(line);
        }
        if (!fox) out.WriteLine(kIccEndLine);
        job.Report.BlocksWritten += 1;
    } else {
        // Left out of the output as the format requires, but never silently.
        job.Report.UnknownTypeBlocks += 1;
        if (job.Report.UnknownTypeNames.size() < kReportedUnknownNames) {
            job.Report.UnknownTypeNames.push_back(compoundName + ":" + blockName + " (" +
                                                  blockType + ")");
        }
    }
    // Sequence handling depends on the type text alone, found or not.
    if (fox && IsSequenceBlockType(blockType)) {
        seen.Sequence = true;
        CopySequenceSource(job, host, seen);
    }
    if (job.Observer != nullptr) job.Observer->BlockSeenInRun(seen);
}

}  // namespace pamiro
