#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/SourceOptions.h"
#include "core/Console.h"
#include "core/FileError.h"
#include "output/DataFileCheck.h"
#include "output/DataFileText.h"
#include "run/ConversionJob.h"

namespace pamiro::cli {

namespace {

struct DatfileOptions {
    std::string Input, Output, Platform;
};

// A read that fails (a folder named as the file, a disk error) throws from
// inside the stream's buffer: refused like a file that does not open, with errno's reason.
std::optional<std::string> ReadWhole(const std::string& path, int& error) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    try {
        if (in) {
            std::string bytes((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
            if (!in.bad()) return bytes;
        }
    } catch (const std::ios_base::failure&) {
    }
    error = errno;
    return std::nullopt;
}

// Through a temporary file and a rename: a failed or interrupted write never
// leaves half a data file where the program would read it.
bool WriteWhole(const std::string& path, const std::string& bytes) {
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) std::filesystem::remove(temporary, error);
    return !error;
}

void Complain(const std::string& text) { PrintErr("pamiro-cli datfile: %s\n", text.c_str()); }

const DataFileLayout* LayoutFor(const std::string& platform) {
    const int index = ParsePlatform(platform);
    if (index < 0) {
        Complain("plataforma desconocida: " + platform);
        return nullptr;
    }
    return &TraitsOf(*PlatformFromIndex(index)).DataLayout;
}

// Every subcommand starts alike: the platform's layout, then the whole input.
// Returns the exit status to end with, or nullopt when both are at hand.
std::optional<int> Prepare(const DatfileOptions& options, const DataFileLayout*& layout,
                           std::optional<std::string>& input) {
    layout = LayoutFor(options.Platform);
    if (layout == nullptr) return 2;
    int error = 0;
    input = ReadWhole(options.Input, error);
    if (!input) {
        Complain("no se puede leer " + options.Input + (error != 0 ? ": " + ErrorText(error) : ""));
        return 1;
    }
    return std::nullopt;
}

// A file read with the other platform's record size gives garbage that still
// dumps. Refused when the check finds more than a partial last record (which
// a dump keeps on purpose) and the other layout fits the file better.
std::optional<std::string> LayoutMismatch(const std::string& bytes, const DataFileLayout& layout) {
    const std::vector<DataFileFinding> findings = CheckDataFile(bytes, layout);
    const bool beyondPartial =
        std::any_of(findings.begin(), findings.end(), [](const DataFileFinding& finding) {
            return finding.Problem != DataFileProblem::PartialLastRecord;
        });
    if (!beyondPartial) return std::nullopt;
    for (const DataFileLayout* candidate : {&kShortDataLayout, &kLongDataLayout}) {
        const DataFileLayout& other = *candidate;
        if (other.RecordSize == layout.RecordSize) continue;
        const std::size_t otherProblems = CheckDataFile(bytes, other).size();
        if (otherProblems < findings.size()) {
            return "el archivo no tiene el formato de registro de esa plataforma (" +
                   LayoutDescription(layout) + "): se hallan " + std::to_string(findings.size()) +
                   " problema(s), y con el formato " + LayoutDescription(other) + " " +
                   std::to_string(otherProblems) +
                   "; compruebe --platform (datfile check da el detalle)";
        }
    }
    return std::nullopt;
}

int Dump(const DatfileOptions& options) {
    const DataFileLayout* layout = nullptr;
    std::optional<std::string> bytes;
    if (auto status = Prepare(options, layout, bytes)) return *status;
    if (auto mismatch = LayoutMismatch(*bytes, *layout)) {
        Complain(options.Input + ": " + *mismatch);
        return 1;
    }
    const std::string text = DataFileToText(*bytes, *layout);
    if (options.Output.empty()) {
        WriteOut(text);
        return FlushOut() ? 0 : 1;
    }
    if (WriteWhole(options.Output, text)) return 0;
    Complain("no se puede escribir " + options.Output);
    return 1;
}

int Build(const DatfileOptions& options) {
    const DataFileLayout* layout = nullptr;
    std::optional<std::string> text;
    if (auto status = Prepare(options, layout, text)) return *status;
    const DataFileBuild built = DataFileFromText(*text, *layout);
    for (const std::string& error : built.Errors) Complain(options.Input + ": " + error);
    if (!built.Errors.empty()) return 1;
    // A text may describe what the lookup tolerates (a type defined twice...):
    // the file is written as described, with a warning.
    for (const DataFileFinding& finding : CheckDataFile(built.Bytes, *layout)) {
        Complain(options.Input + ": aviso: " + finding.Text);
    }
    if (WriteWhole(options.Output, built.Bytes)) return 0;
    Complain("no se puede escribir " + options.Output);
    return 1;
}

int Check(const DatfileOptions& options) {
    const DataFileLayout* layout = nullptr;
    std::optional<std::string> bytes;
    if (auto status = Prepare(options, layout, bytes)) return *status;
    const auto findings = CheckDataFile(*bytes, *layout);
    for (const DataFileFinding& finding : findings) {
        PrintOut("%s: %s\n", options.Input.c_str(), finding.Text.c_str());
    }
    PrintOut("%s: %zu registro(s) de formato %s, %zu problema(s)\n", options.Input.c_str(),
             bytes->size() / layout->RecordSize, LayoutDescription(*layout).c_str(),
             findings.size());
    return findings.empty() ? 0 : 1;
}

constexpr const char* kDatfilePlatformHelp =
    "Plataforma, que fija el formato de registro: pw | aw51 | aw70 (también \"PW (Intel)\", "
    "\"AW51\", \"AW70\", 0, 1, 2)";

// --platform, checked as the conversion commands check it.
void AddPlatform(CLI::App& command, std::string& platform) {
    command.add_option("--platform", platform, kDatfilePlatformHelp)
        ->required()
        ->type_name("PLATAFORMA")
        ->check(PlatformChoice());
}

}  // namespace

void AddDatfileCommand(CLI::App& app, int& exitCode) {
    CLI::App* datfile = app.add_subcommand(
        "datfile", "Archivos de datos de parámetros: volcado, creación y revisión");
    datfile->require_subcommand(1);

    auto dump = std::make_shared<DatfileOptions>();
    CLI::App* dumpCommand =
        datfile->add_subcommand("dump", "Muestra un archivo de datos como texto legible");
    dumpCommand->add_option("ARCHIVO", dump->Input, "Archivo de datos (.dat)")
        ->required()
        ->type_name("");
    AddPlatform(*dumpCommand, dump->Platform);
    dumpCommand
        ->add_option("-o,--output", dump->Output,
                     "Archivo de texto (por omisión, la salida estándar)")
        ->type_name("ARCHIVO");
    dumpCommand->callback([dump, &exitCode] { exitCode = Dump(*dump); });

    auto build = std::make_shared<DatfileOptions>();
    CLI::App* buildCommand =
        datfile->add_subcommand("build", "Crea un archivo de datos a partir de su texto");
    buildCommand->add_option("ARCHIVO", build->Input, "Texto del archivo de datos (.txt)")
        ->required()
        ->type_name("");
    AddPlatform(*buildCommand, build->Platform);
    buildCommand->add_option("-o,--output", build->Output, "Archivo de datos que se escribe")
        ->required()
        ->type_name("ARCHIVO");
    buildCommand->callback([build, &exitCode] { exitCode = Build(*build); });

    auto check = std::make_shared<DatfileOptions>();
    CLI::App* checkCommand = datfile->add_subcommand(
        "check",
        "Busca lo que la lectura del archivo aceptaría sin avisar (sale con 1 si hay algo)");
    checkCommand->add_option("ARCHIVO", check->Input, "Archivo de datos (.dat)")
        ->required()
        ->type_name("");
    AddPlatform(*checkCommand, check->Platform);
    checkCommand->callback([check, &exitCode] { exitCode = Check(*check); });

    for (CLI::App* sub : {dumpCommand, buildCommand, checkCommand}) {
        sub->set_help_flag("-h,--help", "Muestra esta ayuda y termina");
        sub->group("Órdenes");
    }
}

}  // namespace pamiro::cli
