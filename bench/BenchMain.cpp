// Conversion benchmark: the shipped conversion of a large CP against the same
// conversion with the full-scan reference lookup and against the bare
// input/output floor, in both source formats. Each measurement runs in a
// fresh process so that its peak memory is its own.
//
// Also the comparison of the CP's Working File with a Save All copy that
// differs in ten values.
//
//   pamiro_bench [--work DIR] [--runs N]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "BigCp.h"
#include "IoFloor.h"
#include "ReferenceLookup.h"
#include "app/RequestCheck.h"
#include "app/SourceComparison.h"
#include "app/SourceSnapshot.h"
#include "core/Host.h"
#include "run/ConversionJob.h"
#include "run/RunConversion.h"
#include "run/Staging.h"
#include "treebuilder/TreeBuilder.h"

namespace {

namespace fs = std::filesystem;
using namespace pamiro;
using namespace pamiro::bench;

class BenchHost : public Host {
  public:
    void SetStatus(int, std::string_view) override {}
    void ShowMessage(MessageIcon icon, std::string_view text, std::string_view title,
                     MessageKind) override {
        // The known-absent type is expected; anything else spoils the figures.
        if (icon == MessageIcon::Critical) {
            std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                         static_cast<int>(text.size()), text.data());
            std::exit(3);
        }
    }
    void ProcessPendingEvents() override {}
    void FreezeWindow() override {}
    void RestoreWindow() override {}
};

double Seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void Recreate(const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
}

// --- child side ------------------------------------------------------------

double MeasureConversion(const fs::path& work, SourceKind kind, const fs::path& out,
                         bool reference) {
    const BigCpPaths paths = PathsUnder(work);
    ConversionJob job;
    job.ProgramDir = paths.DataDir.string();
    job.VersionTable = DefaultVersionTable();
    BenchHost host;
    const fs::path source =
        kind == SourceKind::WorkingFile ? paths.WorkingFileRoot : paths.SaveAllRoot;
    ConversionRequest request{
        kCp,         kPlatform, 4, IndexOf(kind), IndexOf(DestinationKind::FoxCae), source.string(),
        out.string()};
    const auto start = std::chrono::steady_clock::now();
    if (CheckRequest(request, job, host)) std::exit(3);
    ReferenceLookup slow(job.DataFilePath, job.PlatformIndex, host);
    // Staged inside the destination and moved into place, as the command line does.
    DiskOutputFolder disk(job.DestinationDir);
    StagedDestination staged(disk);
    job.StagedDestination = &staged;
    RunConversion(job, host, kind, request.CpNameText, reference ? &slow : nullptr);
    if (job.Report.Failed) std::exit(3);
    staged.Commit(host);
    return Seconds(std::chrono::steady_clock::now() - start);
}

// Reads the Working File and the changed Save All as compare does and
// compares them; exactly the changed values must come out.
double MeasureComparison(const fs::path& work) {
    const BigCpPaths paths = PathsUnder(work);
    BenchHost host;
    const auto start = std::chrono::steady_clock::now();
    SourceSnapshot sides[2];
    const std::pair<SourceKind, fs::path> sources[2] = {
        {SourceKind::WorkingFile, paths.WorkingFileRoot},
        {SourceKind::SaveAll, paths.ChangedSaveAllRoot}};
    for (int i = 0; i < 2; ++i) {
        ConversionJob job;
        job.ProgramDir = paths.DataDir.string();
        job.VersionTable = DefaultVersionTable();
        ConversionRequest request{kCp,
                                  kPlatform,
                                  4,
                                  IndexOf(sources[i].first),
                                  IndexOf(DestinationKind::FoxCae),
                                  sources[i].second.string(),
                                  {}};
        if (CheckRequest(request, job, host)) std::exit(3);
        ReadSnapshot(job, host, sources[i].first, request.CpNameText, sides[i]);
        if (job.Report.Failed) std::exit(3);
    }
    const Comparison comparison = CompareSnapshots(sides[0], sides[1]);
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    if (comparison.Differences.size() != kChangedValues) std::exit(3);
    for (const Difference& d : comparison.Differences) {
        if (d.Kind != DifferenceKind::ValueChanged || d.Second != "CHANGED") std::exit(3);
    }
    return seconds;
}

double MeasureFloor(const fs::path& work, SourceKind kind, const fs::path& expected,
                    const fs::path& out) {
    const BigCpPaths paths = PathsUnder(work);
    const fs::path source =
        kind == SourceKind::WorkingFile ? paths.WorkingFileRoot : paths.SaveAllRoot;
    const std::vector<fs::path> inputs = FilesUnder({source, paths.DataDir});
    const std::map<std::string, std::string> outputs = ReadOutput(expected);
    const auto start = std::chrono::steady_clock::now();
    RunIoFloor(inputs, outputs, out);
    return Seconds(std::chrono::steady_clock::now() - start);
}

int ChildMain(int argc, char** argv) {
    // --measure WHAT FORMAT WORK OUT RESULT [EXPECTED]
    if (argc < 7) return 2;
    const std::string what = argv[2];
    const SourceKind kind =
        std::strcmp(argv[3], "wf") == 0 ? SourceKind::WorkingFile : SourceKind::SaveAll;
    const fs::path work = argv[4], out = argv[5], result = argv[6];
    double seconds = 0;
    if (what == "compare") {
        seconds = MeasureComparison(work);
    } else if (what == "floor") {
        if (argc < 8) return 2;
        seconds = MeasureFloor(work, kind, argv[7], out);
    } else {
        seconds = MeasureConversion(work, kind, out, what == "reference");
    }
    std::ofstream(result) << seconds << "\n";
    return 0;
}

// --- parent side -----------------------------------------------------------

struct Measure {
    double Seconds = 0;
    double PeakMiB = 0;
    double CpuSeconds = 0;  // user and system time of the whole process
};

Measure Spawn(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork");
    if (pid == 0) {
        execv("/proc/self/exe", argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw std::runtime_error("la medida " + args[2] + " " + args[3] + " ha fallado");
    }
    Measure m;
    std::ifstream(args[6]) >> m.Seconds;
    m.PeakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    m.CpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                   static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return m;
}

struct Row {
    const char* Label;
    Measure Shipped, Reference, Floor;
};

Row MeasureFormat(const fs::path& work, const char* format, const char* label, int runs) {
    const std::string self = "pamiro_bench";
    const fs::path outA = work / "out-a", outB = work / "out-b", outC = work / "out-c";
    const std::string result = (work / "result").string();
    Row row{label, {1e9, 0, 0}, {}, {1e9, 0, 0}};
    for (int r = 0; r < runs; ++r) {
        Recreate(outA);
        const Measure m = Spawn({self, "--measure", "shipped", format, work, outA, result});
        row.Shipped.Seconds = std::min(row.Shipped.Seconds, m.Seconds);
        row.Shipped.PeakMiB = std::max(row.Shipped.PeakMiB, m.PeakMiB);
    }
    for (int r = 0; r < runs; ++r) {
        Recreate(outC);
        const Measure m = Spawn({self, "--measure", "floor", format, work, outC, result, outA});
        row.Floor.Seconds = std::min(row.Floor.Seconds, m.Seconds);
        row.Floor.PeakMiB = std::max(row.Floor.PeakMiB, m.PeakMiB);
    }
    Recreate(outB);
    row.Reference = Spawn({self, "--measure", "reference", format, work, outB, result});
    // The reference is the same conversion: its output must be identical.
    if (ReadOutput(outA) != ReadOutput(outB)) {
        throw std::runtime_error(std::string(label) +
                                 ": la salida con la busqueda de referencia difiere");
    }
    return row;
}

constexpr const char* kUsage =
    "Uso: pamiro_bench [--work CARPETA] [--runs N]\n"
    "Mide la conversión de un CP grande en los dos formatos de la fuente (unos dos minutos).\n"
    "  --work CARPETA  carpeta de trabajo; el CP generado se guarda en ella\n"
    "                  (por omisión, una carpeta temporal que se borra al final)\n"
    "  --runs N        ejecuciones de cada medida; vale la mejor (por omisión, 5)\n"
    "  -h, --help      muestra esta ayuda y termina\n";

// Returns the usage status 2 after saying what was wrong.
int UsageError(const std::string& text) {
    std::fprintf(stderr, "pamiro_bench: %s\n%s", text.c_str(), kUsage);
    return 2;
}

int ParentMain(int argc, char** argv) {
    fs::path work;
    int runs = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "-h" || option == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (option != "--work" && option != "--runs") {
            return UsageError("opción desconocida: " + option);
        }
        if (i + 1 >= argc) return UsageError("falta el valor de " + option);
        const std::string value = argv[++i];
        if (option == "--work") {
            work = value;
        } else {
            char* end = nullptr;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || n < 1 || n > 1000) {
                return UsageError("valor no válido para --runs: \"" + value + "\"");
            }
            runs = static_cast<int>(n);
        }
    }
    bool temporary = false;
    if (work.empty()) {
        std::string pattern = (fs::temp_directory_path() / "pamiro-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
        work = pattern;
        temporary = true;
    }
    work = fs::absolute(work);
    if (!fs::exists(PathsUnder(work).DataDir / "ver51_620.dat") ||
        !fs::exists(PathsUnder(work).ChangedSaveAllRoot)) {
        std::printf("Generando el CP de prueba en %s ...\n", work.c_str());
        // In a process of its own: a child forked from a parent that built
        // the tree in memory would start with that memory counted as its own.
        const pid_t pid = fork();
        if (pid == 0) {
            execl("/proc/self/exe", "pamiro_bench", "--generate", work.c_str(), nullptr);
            _exit(127);
        }
        int status = 0;
        if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            throw std::runtime_error("no se ha podido generar el CP de prueba");
        }
    }
    std::printf(
        "CP %s: %d compuestos, %d bloques, archivo de datos de %d registros (formato largo); "
        "mejor de %d ejecuciones, referencia 1\n",
        kCp, kCompounds, kCompounds * kBlocksPerCompound, kTypes * (kParametersPerType + 2), runs);
    std::fflush(stdout);

    std::vector<Row> rows;
    rows.push_back(MeasureFormat(work, "wf", "Working File", runs));
    rows.push_back(MeasureFormat(work, "sa", "Save All", runs));

    std::printf("\n%-13s %15s %15s %15s %9s %8s %12s\n", "Formato", "(a) conversion",
                "(b) referencia", "(c) E/S minima", "(b)/(a)", "(a)/(c)", "memoria (a)");
    bool met = true;
    for (const Row& row : rows) {
        const double speedup = row.Reference.Seconds / row.Shipped.Seconds;
        const double overFloor = row.Shipped.Seconds / row.Floor.Seconds;
        std::printf("%-13s %13.3f s %13.3f s %13.3f s %8.0fx %7.2fx %8.1f MiB\n", row.Label,
                    row.Shipped.Seconds, row.Reference.Seconds, row.Floor.Seconds, speedup,
                    overFloor, row.Shipped.PeakMiB);
        met = met && speedup >= 100 && overFloor <= 3 && row.Shipped.PeakMiB < 64;
    }
    Measure compare{1e9, 0, 1e9};
    for (int r = 0; r < runs; ++r) {
        const Measure m = Spawn({"pamiro_bench", "--measure", "compare", "sa", work.string(),
                                 (work / "out-a").string(), (work / "result").string()});
        compare.Seconds = std::min(compare.Seconds, m.Seconds);
        compare.PeakMiB = std::max(compare.PeakMiB, m.PeakMiB);
        compare.CpuSeconds = std::min(compare.CpuSeconds, m.CpuSeconds);
    }
    std::printf(
        "\nComparacion del Working File con una copia Save All con %d valores cambiados: "
        "%.3f s (CPU del proceso %.3f s), memoria %.1f MiB\n",
        kChangedValues, compare.Seconds, compare.CpuSeconds, compare.PeakMiB);
    met = met && compare.Seconds < 1 && compare.PeakMiB < 256;
    std::printf(
        "\nObjetivos: (b)/(a) >= 100, (a)/(c) <= 3, memoria maxima de (a) < 64 MiB, "
        "comparacion < 1 s y < 256 MiB: %s\n",
        met ? "cumplidos" : "NO cumplidos");
    if (temporary) fs::remove_all(work);
    return met ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc > 1 && std::strcmp(argv[1], "--measure") == 0) return ChildMain(argc, argv);
        if (argc == 3 && std::strcmp(argv[1], "--generate") == 0) {
            WriteBigCp(argv[2]);
            return 0;
        }
        return ParentMain(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pamiro_bench: %s\n", e.what());
        return 2;
    }
}
