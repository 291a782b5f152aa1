#include "run/RunConversion.h"

#include <cerrno>
#include <exception>
#include <optional>

#include "core/FileError.h"
#include "core/Host.h"
#include "core/Paths.h"
#include "core/SourceTree.h"
#include "output/BlockWriter.h"
#include "output/OutputFiles.h"
#include "output/OutputFormats.h"
#include "readers/PlatformFit.h"
#include "readers/SaveAllReader.h"
#include "readers/WorkingFileReader.h"
#include "run/ConversionJob.h"
#include "run/Destination.h"

namespace pamiro {

namespace {

constexpr std::size_t kReportedUnknownNames = 10;

// Connects what the readers find to what the writers write.
class RunSink : public CompoundSink {
  public:
    RunSink(ConversionJob& job, Host& host, const RunPlaces& places, const SourceTree& tree,
            Destination& destination, TypeLookup& lookup)
        : job_(job),
          host_(host),
          places_(places),
          tree_(tree),
          destination_(destination),
          lookup_(lookup),
          writer_(job.DestinationKind, lookup) {}

    void StartCompound(const std::string& name) override {
        if (job_.Observer != nullptr) job_.Observer->CompoundStarted(name);
        compound_ = name;
        if (BlankLineBreaks(compound_)) WarnLineBreaks(compound_);
        if (!destination_.IsFoxCae()) return;
        job_.CompoundCount += 1;
        destination_.CompoundList().WriteLine(CompoundListLine(compound_, job_.CompoundCount));
        compoundFile_ = &destination_.Create(CompoundFileName(job_.CompoundCount));
    }

    void EndCompound(const std::string& revisionCode) override {
        job_.Report.CompoundsConverted += 1;
        if (job_.Observer != nullptr) job_.Observer->CompoundEnded(revisionCode);
        if (!destination_.IsFoxCae()) return;
        compoundFile_->WriteLine(kFoxEndLine);
        // The code is four raw bytes of the source: they may hold a line break too.
        std::string code = revisionCode;
        if (BlankLineBreaks(code)) WarnLineBreaks(compound_);
        compoundFile_->WriteLine(FoxRevisionLine(code));
        destination_.Close(*std::exchange(compoundFile_, nullptr));
    }

    void Block(const std::string& compound, BlockRecord& record) override {
        BlockSeen seen;
        seen.Compound = compound;
        seen.Name = record.Name;
        seen.Type = record.Type;
        if (job_.Observer != nullptr) {
            seen.Names = lookup_.Find(record.Type);
            seen.Values = record.Values;
        }
        host_.SetStatus(2, record.Name);
        host_.ProcessPendingEvents();
        const bool fox = destination_.IsFoxCae();
        OutputFile& out = fox ? *compoundFile_ : destination_.Script();
        const BlockOutcome outcome =
            writer_.Write(out, compound_, record.Name, record.Type, record.Values);
        seen.TypeKnown = outcome.TypeKnown;
        if (outcome.LineBreaksBlanked) WarnLineBreaks(compound_ + ":" + record.Name);
        if (outcome.TypeKnown) {
            job_.Report.BlocksWritten += 1;
        } else {
            // Left out of the output as the format requires, but never silently.
            job_.Report.UnknownTypeBlocks += 1;
            if (job_.Report.UnknownTypeNames.size() < kReportedUnknownNames) {
                job_.Report.UnknownTypeNames.push_back(compound + ":" + record.Name + " (" +
                                                       record.Type + ")");
            }
        }
        // Sequence handling depends on the type text alone, found or not.
        if (fox && IsSequenceBlockType(record.Type)) {
            seen.Sequence = true;
            CopySequenceSource(seen);
        }
        if (job_.Observer != nullptr) job_.Observer->BlockSeenInRun(seen);
    }

  private:
    void WarnLineBreaks(const std::string& what) {
        job_.Report.Warnings += 1;
        host_.ShowMessage(
            MessageIcon::Warning,
            what + " - salto de línea dentro de un nombre o valor; escrito como blanco",
            "Pamiro - Destino");
    }

    // Lists the sequence block and copies its source: the block's own ".s"
    // file, else the type's base file from the program folder.
    void CopySequenceSource(BlockSeen& seen) {
        job_.SourceFileCount += 1;
        const long long n = job_.SourceFileCount;
        std::string listedName = seen.Name;
        BlankLineBreaks(listedName);
        destination_.SourceList().WriteLine(SourceListLine(compound_, listedName, n));

        const RelativePath own = SourceTree::SequenceSource(seen.Compound, seen.Name);
        const RelativePath base{seen.Type + "_base.s"};
        const std::string what = seen.Compound + ":" + seen.Name + " - ";
        const std::string baseName = seen.Type + "_base.s";
        const Lookup ownFound = tree_.Find(own);
        // The case variants that kept a file from being found, one line each.
        std::string variants =
            ownFound.Ambiguous ? "\n" + CaseVariantsNote(*ownFound.Ambiguous) : std::string();
        const bool ownExists = ownFound.Kind == EntryKind::File;
        std::unique_ptr<ByteSource> source =
            job_.DryRun || !ownExists ? nullptr : tree_.Open(own, InputRole::OwnSource);
        // There but not to be opened (no permission): never replaced by the base file.
        if (!source && ownExists && !job_.DryRun) {
            throw FileError(FileError::Kind::Read, tree_.PathOf(own), EACCES);
        }
        bool baseUnreadable = false;
        if (ownExists) {
            seen.SequenceSource = tree_.PathOf(own);
        } else {
            seen.SequenceSourceIsBase = true;
            const Lookup baseFound = places_.Program.Find(base);
            if (baseFound.Ambiguous) variants += "\n" + CaseVariantsNote(*baseFound.Ambiguous);
            if (baseFound.Kind == EntryKind::File) {
                seen.SequenceSource = places_.Program.PathOf(base);
                source = job_.DryRun ? nullptr : places_.Program.Open(base);
                baseUnreadable = !job_.DryRun && !source;
                if (source && job_.Observer != nullptr) {
                    job_.Observer->InputOpened(InputRole::BaseSource, source->Name());
                }
            }
        }
        if (!seen.SequenceSource.empty() && (job_.DryRun || source)) {
            if (source) Copy(*source, SourceCopyName(n));
            CountCopy(seen);
            if (!variants.empty()) {
                Warn(what + seen.Name + ".s no se toma; se ha copiado " + baseName + variants,
                     "Pamiro - Fuentes");
            }
            return;
        }
        job_.Report.MissingSequenceSources += 1;
        const std::string why =
            baseUnreadable ? " y no se puede leer " + baseName + " (" + seen.SequenceSource + ")"
                           : " ni " + baseName;
        seen.SequenceSource.clear();
        Warn(what + "No se encuentra " + seen.Name + ".s" + why + "; no se ha copiado el fuente" +
                 variants,
             "Pamiro - Fuentes");
    }

    void Warn(const std::string& text, const char* title) {
        job_.Report.Warnings += 1;
        host_.ShowMessage(MessageIcon::Warning, text, title);
    }

    void CountCopy(const BlockSeen& seen) {
        RunReport& report = job_.Report;
        if (!seen.SequenceSourceIsBase) {
            report.SourcesCopied += 1;
            return;
        }
        report.BaseSourcesCopied += 1;
        if (report.BaseSourceNames.size() < kReportedUnknownNames) {
            report.BaseSourceNames.push_back(seen.Compound + ":" + seen.Name + " (" + seen.Type +
                                             "_base.s)");
        }
    }

    // A byte-for-byte copy.
    void Copy(ByteSource& source, const std::string& name) {
        OutputFile& out = destination_.Create(name);
        std::string chunk(64 * 1024, '\0');
        for (std::uint64_t at = 0; at < source.Length(); at += chunk.size()) {
            const std::uint64_t left = source.Length() - at;
            if (left < chunk.size()) chunk.resize(static_cast<std::size_t>(left));
            source.ReadAt(at, chunk.data(), chunk.size());
            out.Write(chunk);
        }
        destination_.Close(out);
    }

    ConversionJob& job_;
    Host& host_;
    const RunPlaces& places_;
    const SourceTree& tree_;
    Destination& destination_;
    TypeLookup& lookup_;
    BlockWriter writer_;
    std::string compound_;  // the current compound's name as it is written
    OutputFile* compoundFile_ = nullptr;
};

void Convert(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
             const RunPlaces& places, FileTable& files) {
    const SourceTree tree(places.Source, job.Observer);
    ParameterLookup shipped(places.Program, {places.DataFileName},
                            TraitsOf(job.PlatformIndex).DataLayout, job.Observer);
    TypeLookup& lookup = places.Lookup != nullptr ? *places.Lookup : shipped;
    Destination destination(places.Destination, files, job.DestinationKind, cp);
    RunSink sink(job, host, places, tree, destination, lookup);
    ReadContext context{tree, job.PlatformIndex, host, job.Report, sink, job.RevisionCode};

    if (kind == SourceKind::WorkingFile) {
        const RelativePath main = SourceTree::WorkingFile(cp);
        if (!tree.Exists(main)) {
            job.Report.Failed = true;
            host.ShowMessage(MessageIcon::Critical,
                             cp + ".wf no se encuentra" + tree.VariantsLine(main),
                             "Pamiro - Working File", MessageKind::WorkingFileNotFound);
            return;
        }
        // Told before anything is written. A run that writes stops there: its
        // lists would be garbage over whatever the destination holds. A look
        // at the source (a dry run) goes on and says what it saw.
        job.Report.PlatformWarning = PlatformFitWarning(tree, cp, job.PlatformIndex);
        if (!job.Report.PlatformWarning.empty() && !job.DryRun) {
            job.Report.Failed = true;
            job.Report.FittingPlatformIndex =
                IndexOf(*OnlyOtherFittingPlatform(tree, cp, job.PlatformIndex));
            host.ShowMessage(MessageIcon::Critical, job.Report.PlatformWarning,
                             "Pamiro - Working File");
            return;
        }
        if (!job.Report.PlatformWarning.empty()) {
            job.Report.Warnings += 1;
            host.ShowMessage(MessageIcon::Warning, job.Report.PlatformWarning,
                             "Pamiro - Working File");
        }
        destination.Open();
        if (const auto workingFile = tree.Open(main, InputRole::WorkingFile)) {
            ReadWorkingFile(context, cp, *workingFile);
        } else {
            job.Report.Failed = true;
            host.ShowMessage(MessageIcon::Critical, cp + ".wf no se puede leer",
                             "Pamiro - Working File");
        }
        destination.Finish();
        return;
    }
    destination.Open();
    std::vector<std::string> passedOver;
    const std::vector<std::string> compounds = CollectSaveAllCompounds(tree, &passedOver);
    for (const std::string& note : passedOver) {
        job.Report.Warnings += 1;
        host.ShowMessage(MessageIcon::Warning, note, "Pamiro - Save All");
    }
    if (compounds.empty()) {
        host.ShowMessage(MessageIcon::Critical, "Save All incorrecto de " + cp, "Pamiro - Save All",
                         MessageKind::SaveAllEmpty);
        job.Report.Failed = true;
        destination.Discard();
        return;
    }
    ReadSaveAll(context, compounds);
    destination.Finish();
}

}  // namespace

std::string UnknownTypeReport(const RunReport& report) {
    if (report.UnknownTypeBlocks == 0) return {};
    std::string text = std::to_string(report.UnknownTypeBlocks) +
                       " bloque(s) omitido(s): su tipo no está en el archivo de datos: ";
    for (std::size_t i = 0; i < report.UnknownTypeNames.size(); ++i) {
        if (i > 0) text += ", ";
        text += report.UnknownTypeNames[i];
    }
    if (report.UnknownTypeBlocks > static_cast<long long>(report.UnknownTypeNames.size())) {
        text += ", ...";
    }
    return text;
}

void RunConversionIn(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                     const RunPlaces& places) {
    job.Report = RunReport{};
    job.ConversionIdle = false;
    host.FreezeWindow();
    FileTable files;
    try {
        Convert(job, host, kind, cp, places, files);
    } catch (const ConversionInterrupted&) {
        // The program ends now: whatever was written stays, every file closed.
        files.CloseAll();
        throw;
    } catch (const FileError& error) {
        files.CloseAll();
        job.Report.Failed = true;
        if (error.WhatFailed() == FileError::Kind::Write) {
            host.ShowMessage(MessageIcon::Critical,
                             "No se puede escribir el archivo " + error.Path() + ": " +
                                 ErrorText(error.ErrorNumber()),
                             "Pamiro - Destino");
        } else {
            host.ShowMessage(MessageIcon::Critical,
                             "No se puede leer el archivo " + error.Path() + ": " +
                                 ErrorText(error.ErrorNumber()),
                             "Pamiro - Fuente");
        }
    } catch (const std::exception& error) {
        files.CloseAll();
        job.Report.Failed = true;
        host.ShowMessage(MessageIcon::Critical,
                         std::string("Error interno durante la conversión: ") + error.what(),
                         "Pamiro");
    }
    job.ConversionIdle = true;
    host.SetStatus(1, "Terminado");
    host.SetStatus(2, "");
    host.RestoreWindow();

    const std::string unknown = UnknownTypeReport(job.Report);
    if (!unknown.empty()) host.ShowMessage(MessageIcon::Warning, unknown, "Pamiro - Bloques");
}

void RunConversion(ConversionJob& job, Host& host, SourceKind kind, const std::string& cp,
                   TypeLookup* lookup) {
    const DiskInputFolder source(job.SourceDir, false);
    const DiskInputFolder program(job.ProgramDir, true);
    DiskOutputFolder disk(job.DestinationDir);
    MemoryOutputFolder nowhere(false);
    OutputFolder& out = job.DryRun              ? nowhere
                        : job.StagedDestination ? *job.StagedDestination
                                                : disk;
    RunPlaces places{source, out, program, FileNameOf(job.DataFilePath), lookup};
    RunConversionIn(job, host, kind, cp, places);
}

}  // namespace pamiro
