#include <gtest/gtest.h>

#include <functional>

#include "app/OutputSnapshot.h"
#include "app/SourceComparison.h"
#include "cli/VerifyRun.h"
#include "support/MemoryRun.h"

namespace pamiro::testing {
namespace {

// One side: a source tree and a program folder in memory.
struct Side {
    MemoryInputFolder Source, Program;
    SourceKind Kind = SourceKind::SaveAll;
    Platform PlatformIndex = Platform::Aw51;
};

SourceSnapshot Read(const Side& side, const std::string& cp = "CP6001") {
    ConversionJob job;
    job.PlatformIndex = side.PlatformIndex;
    RecordingHost host;
    MemoryOutputFolder out(false);  // what a dry run would create stays nowhere
    SourceSnapshot snapshot;
    const std::string data = std::string(TraitsOf(side.PlatformIndex).DataFilePrefix) + "620.dat";
    ReadSnapshotIn(job, host, side.Kind, cp, {side.Source, out, side.Program, data}, snapshot);
    EXPECT_FALSE(job.Report.Failed);
    return snapshot;
}

// "kind compound:block parameter first|second", one per difference.
std::vector<std::string> Lines(const Comparison& c) {
    static const char* const kKinds[] = {
        "compound-first", "compound-second", "block-first",  "block-second", "type",
        "value",          "param-first",     "param-second", "source",       "revision"};
    std::vector<std::string> lines;
    for (const Difference& d : c.Differences) {
        lines.push_back(std::string(kKinds[static_cast<int>(d.Kind)]) +
                        (d.ByPosition ? "@ " : " ") + d.Compound + ":" + d.Block + " " +
                        (d.Parameter.empty() ? "" : d.Parameter + " ") + d.First + "|" + d.Second);
    }
    return lines;
}

const std::vector<TypeSpec> kTypes = {
    {"AIN", {"HI", "LO", "DESC"}}, {"PID", {"KP", "TI"}}, {"DEP", {"STEP"}}};

CompoundSpec C1() {
    return {"C1",
            std::nullopt,
            {{"A1", "AIN", {"100", "0", "Nivel"}},
             {"S1", "DEP", {"1"}},
             {"P1", "PID", {"2", "30"}},
             {"X1", "XYZ", {"1", "", "3"}},
             {"M1", "MON", {"1"}}},  // no source, no base file
            {{"S1", "paso 1\r\n"}}};
}
// A name twice in one compound (a damaged source): n-th goes with n-th.
CompoundSpec C2() {
    return {
        "C2", std::nullopt, {{"A2", "AIN", {"5", "1", "x"}}, {"A2", "AIN", {"6", "1", "x"}}}, {}};
}

void Fill(Side& side, const std::vector<TypeSpec>& types, const SaveAllSpec& tree) {
    side.Source.Files = SaveAllFiles(tree);
    side.Program.Files["ver51_620.dat"] = EncodeDataFile(types, true);
    side.Program.Files["ver20_620.dat"] = EncodeDataFile(types, false);
    side.Program.Files["DEP_base.s"] = "base DEP\r\n";
}

// The second side is the first with one change; exactly that is reported.
TEST(SourceComparison, ReportsExactlyWhatChangedBetweenTwoSaveAlls) {
    using Tree = SaveAllSpec;
    struct Case {
        const char* What;
        std::function<void(Tree&, std::vector<TypeSpec>&)> Change;
        std::set<std::string> Ignored;
        std::vector<std::string> Expected;
    };
    const std::vector<Case> cases = {
        {"nothing", [](Tree&, auto&) {}, {}, {}},
        {"order alone",
         [](Tree& t, auto&) {
             std::reverse(t.Compounds.begin(), t.Compounds.end());
             std::reverse(t.Compounds[1].Blocks.begin(), t.Compounds[1].Blocks.end());
             t.CompoundDirLines = std::vector<std::string>{"C2", "x", "C1", "x"};
         },
         {},
         {}},
        {"blanks around a value and a line break are written alike",
         [](Tree& t, auto&) {
             t.Compounds[0].Blocks[0].Values = {" 100 ", "0", "Ni\nvel"};
         },
         {},
         {"value C1:A1 DESC Nivel|Ni vel"}},
        // No data file knows XYZ: the record does not say where it ends.
        {"values of a type neither data file knows",
         [](Tree& t, auto&) {
             t.Compounds[0].Blocks[3].Values = {"2", "cola"};
         },
         {},
         {}},
        {"a revision code alone",
         [](Tree& t, auto&) { t.Revisions["C2"] = "R\n02"; },
         {},
         {"revision C2: R001|R 02"}},
        {"a value",
         [](Tree& t, auto&) { t.Compounds[0].Blocks[0].Values[0] = "150"; },
         {},
         {"value C1:A1 HI 100|150"}},
        {"the second of a repeated name",
         [](Tree& t, auto&) { t.Compounds[1].Blocks[1].Values[0] = "9"; },
         {},
         {"value C2:A2 HI 6|9"}},
        {"an ignored value",
         [](Tree& t, auto&) { t.Compounds[0].Blocks[0].Values[0] = "150"; },
         {"HI", "TI"},
         {}},
        {"a block removed, one added, a type changed",
         [](Tree& t, auto&) {
             auto& blocks = t.Compounds[0].Blocks;
             blocks[2].Type = "AIN";
             blocks[2].Values = {"2", "30", ""};
             blocks.erase(blocks.begin());
             t.Compounds[1].Blocks.back() = {"N1", "PID", {"1", "2"}};
         },
         {},
         {"block-first C1:A1 |", "type C1:P1 PID|AIN", "block-first C2:A2 |",
          "block-second C2:N1 |"}},
        {"a compound on each side",
         [](Tree& t, auto&) { t.Compounds[1].Name = "C3"; },
         {},
         {"compound-first C2: |", "compound-second C3: |"}},
        {"a sequence source, one that appears",
         [](Tree& t, auto&) {
             t.Compounds[0].Sources = {{"S1", "paso 2\r\n"}, {"M1", "m"}};
         },
         {},
         {"source C1:S1 S1.s (8 bytes)|S1.s (8 bytes)", "source C1:M1 |M1.s (1 bytes)"}},
        {"a sequence source that falls back to the base file",
         [](Tree& t, auto&) { t.Compounds[0].Sources.clear(); },
         {},
         {"source C1:S1 S1.s (8 bytes)|DEP_base.s (10 bytes)"}},
        {"a type the second data file lacks: by position, named by the first",
         [](Tree& t, auto& types) {
             types.erase(types.begin());
             t.Compounds[1].Blocks[0].Values[2] = "";
         },
         {},
         {"value@ C2:A2 DESC x|"}},
        {"a type only the second data file knows: by position, named by it",
         [](Tree& t, auto& types) {
             types.push_back({"XYZ", {"N", "M", "O"}});
             t.Compounds[0].Blocks[3].Values = {"1", "2", "3"};
         },
         {},
         {"value@ C1:X1 M |2"}},
        {"a parameter only in each data file",
         [](Tree& t, auto& types) {
             types[1].Parameters = {"TI", "KD"};
             t.Compounds[0].Blocks[2].Values = {"30", "7"};
         },
         {},
         {"param-first C1:P1 KP 2|", "param-second C1:P1 KD |7"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Tree tree{{C1(), C2()}, {}, std::nullopt};
        Side first, second;
        Fill(first, kTypes, tree);
        auto types = kTypes;
        c.Change(tree, types);
        Fill(second, types, tree);
        const Comparison result = CompareSnapshots(Read(first), Read(second), c.Ignored);
        EXPECT_EQ(Lines(result), c.Expected);
        EXPECT_EQ(result.Same(), c.Expected.empty());
        EXPECT_EQ(2 * result.Totals.CompoundsCompared + result.Totals.CompoundsOnlyOneSide,
                  static_cast<long long>(2 + tree.Compounds.size()));
    }
}

// A sequence source too large to keep whole (compared by length and digest) and
// values over more than one of the snapshot's chunks: one byte changed shows.
TEST(SourceComparison, LargeSourcesAndManyValuesStillShowOneChangedByte) {
    for (const bool changed : {false, true}) {
        SaveAllSpec tree{{C1()}, {}, std::nullopt};
        auto& blocks = tree.Compounds[0].Blocks;
        for (int i = 0; i < 220; ++i)  // 220 values of 4900 bytes: more than 1 MiB
            blocks.push_back({"B" + std::to_string(i), "AIN", {"1", "0", std::string(4900, 'v')}});
        std::string& source = tree.Compounds[0].Sources["S1"] =
            std::string(kKeptSourceBytes + 1, 's');
        Side first, second;
        Fill(first, kTypes, tree);
        if (changed) source.back() = blocks.back().Values[1][0] = '1';
        Fill(second, kTypes, tree);
        const std::string s = "S1.s (" + std::to_string(kKeptSourceBytes + 1) + " bytes)";
        EXPECT_EQ(Lines(CompareSnapshots(Read(first), Read(second))),
                  (changed ? std::vector<std::string>{"source C1:S1 " + s + "|" + s,
                                                      "value C1:B219 LO 0|1"}
                           : std::vector<std::string>{}));
    }
}

// A Working File of each platform against the Save All of the same CP.
TEST(SourceComparison, WorkingFileOfEachPlatformEqualsItsSaveAll) {
    for (const Platform platform : kPlatforms) {
        SCOPED_TRACE(IndexOf(platform));
        const std::vector<CompoundSpec> compounds = {C2(), C1()};
        Side wf, sa;
        Fill(sa, kTypes, {compounds, {}, std::nullopt});
        Fill(wf, kTypes, {});
        wf.Source.Files = WorkingFileFiles({"CP6001", "R001", IndexOf(platform), compounds});
        wf.Kind = SourceKind::WorkingFile;
        wf.PlatformIndex = sa.PlatformIndex = platform;
        const Comparison result = CompareSnapshots(Read(wf), Read(sa));
        EXPECT_EQ(Lines(result), std::vector<std::string>{});
        EXPECT_EQ(result.Totals.BlocksCompared, 7);
        EXPECT_EQ(result.ComparedByPosition.size(), 2u);  // X1 and M1: types no data file has
    }
}

// Two platforms with their own data files, whose lists order the same names
// differently: parameters are paired by name, each side naming its own.
TEST(SourceComparison, TwoPlatformsPairParametersByEachSidesOwnNames) {
    Side pw, aw;
    pw.PlatformIndex = Platform::Pw;
    pw.Kind = SourceKind::WorkingFile;
    pw.Source.Files = WorkingFileFiles(
        {"CP6001", "R001", 0, {{"C1", std::nullopt, {{"A1", "AIN", {"100", "0", "Nivel"}}}, {}}}});
    pw.Program.Files["ver20_620.dat"] = EncodeDataFile({{"AIN", {"HI", "LO", "DESC"}}}, false);
    aw.Source.Files =
        SaveAllFiles({{{"C1", std::nullopt, {{"A1", "AIN", {"Nivel", "5", "100", "1"}}}, {}}},
                      {},
                      std::nullopt});
    aw.Program.Files["ver51_620.dat"] =
        EncodeDataFile({{"AIN", {"DESC", "LO", "HI", "HHI"}}}, true);
    EXPECT_EQ(Lines(CompareSnapshots(Read(pw), Read(aw))),
              (std::vector<std::string>{"value C1:A1 LO 0|5", "param-second C1:A1 HHI |1"}));
}

// A conversion's output read back holds what the conversion kept: against its
// source it is the same, read as a person edits it; an edit is found; a line
// that fits no rule refuses the output by file and line; --verify says so.
TEST(SourceComparison, OutputReadBackEqualsItsSourceAndShowsEdits) {
    using Files = std::map<std::string, std::string>;
    const auto swap = [](std::string from, std::string to) {
        return [from, to](Files& files) {
            for (auto& [name, text] : files) {
                if (name.rfind("src0", 0) == 0) continue;  // copies stay byte for byte
                for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at))
                    text.replace(at, from.size(), to), at += to.size();
            }
        };
    };
    const auto fox = DestinationKind::FoxCae, icc = DestinationKind::Icc;
    const struct {
        DestinationKind Kind;
        std::function<void(Files&)> Edit;
        std::vector<std::string> Expected;  // differences, or "file:line" refused
    } cases[] = {
        {fox, [](Files&) {}, {}},
        {icc, [](Files&) {}, {}},
        {fox, swap("\r\n", "  \n"), {}},
        {fox, swap("NAME     >", "name     >"), {}},
        {icc, swap("\r\n", "  \n"), {}},
        {icc, swap("TYPE = ", "type = "), {}},
        {icc, [](Files& f) { f["CP6001.cmd"].resize(f["CP6001.cmd"].size() - 2); }, {}},
        {icc, [](Files& f) { f["CP6001.cmd"] += std::string(3 << 20, '\n'); }, {}},
        {icc, [](Files& f) { f["CP6001.cmd"] += std::string(17 << 20, ' '); }, {"CP6001.cmd:19"}},
        {fox, swap("HI       >100", "HI       >101"), {"value C1:A1 HI 100|101"}},
        {icc, swap("  HI  = 100", "  HI  = 101"), {"value C1:A1 HI 100|101"}},
        {fox, swap("Code R001", "Code R002"), {"revision C1: R001|R002"}},
        {fox,
         [](Files& f) { f["src0001"] = "paso 2\r\n"; },
         {"source C1:S1 S1.s (8 bytes)|src0001 (8 bytes)"}},
        {fox, swap("TYPE     >PID", "TYPE PID"), {"cmp0001:10"}},
        {fox, swap("NAME     >END", "NAME     >X9"), {"cmp0001:14"}},
        {fox, swap("C1 1", "C1 3"), {"cmp_list:1"}},
        {icc, swap("END\r\nADD C1:P1", "ADD C1:P1"), {"CP6001.cmd:11"}},
        {icc, swap("EXIT", ""), {"CP6001.cmd:18"}},
        // Leniency: case, blanks, the revision line's spacing and a short code.
        {fox, swap("Revision Code R001", "revision codeR001"), {}},
        {fox, swap("Code R001", "Code R0"), {"revision C1: R001|R0  "}},
        {fox, swap("Code R001", "Code"), {"revision C1: R001|    "}},
        {fox, swap("Code R001", "Code R0012"), {"revision C1: R001|R0012"}},
        {fox,
         swap("Nivel", std::string(1 << 20, 'n')),
         {"value C1:A1 DESC Nivel|" + std::string(1 << 20, 'n')}},
        {fox, swap("TYPE     >PID", "TYPE     >AIN"), {"type C1:P1 PID|AIN"}},
        {icc, swap("OPEN CP6001 ALL PAMIRO", "open  cp6001 all   pamiro"), {}},
        {icc, swap("ADD C1:A1", "ADD C1 : A1"), {}},
        {icc, swap("ADD C1:A1", "ADD C1"), {"block-first C1:A1 |", "block-second C1:C1 |"}},
        {icc, swap("ADD C1:P1", "ADD C9:P1"), {"block-first C1:P1 |", "compound-second C9: |"}},
        // A sequence block whose copy is not listed, or listed but gone.
        {fox,
         [](Files& f) { f["src_list"] = "\r\n", f["cmp_list"] += "\r\n"; },
         {"source C1:S1 S1.s (8 bytes)|"}},
        {fox, [](Files& f) { f.erase("src0001"); }, {"source C1:S1 S1.s (8 bytes)|"}},
        // Refused, by file and line.
        {fox, [](Files& f) { f.erase("src_list"); }, {"src_list:0"}},
        {fox, swap("C1:S1 1", "C1.S1 1"), {"src_list:1"}},
        {fox, swap("C1 1", "C1"), {"cmp_list:1"}},
        {fox, swap("C1 1", "C1 1x"), {"cmp_list:1"}},
        {fox, swap("C1 1", "C1 -1"), {"cmp_list:1"}},
        {fox, swap("C1 1", "C1 00000000001"), {"cmp_list:1"}},
        {fox, swap("NAME     >A1", "HI       >1"), {"cmp0001:1"}},
        {fox, swap("TYPE     >AIN", "HI       >AIN"), {"cmp0001:2"}},
        {fox, swap("LO       >0", ">0"), {"cmp0001:4"}},
        {fox, swap("TYPE     >PID", "NAME     >P2"), {"cmp0001:10"}},
        {fox, swap("NAME     >END", ""), {"cmp0001:14"}},
        {fox, swap("**** Revision", "*** Revision"), {"cmp0001:14"}},
        {fox, swap("**** Revision Code R001", ""), {"cmp0001:14"}},
        {fox, [](Files& f) { f["cmp0001"] += f["cmp0001"]; }, {"cmp0001:15"}},
        {fox,
         [](Files& f) { f["cmp0001"].resize(f["cmp0001"].find("NAME     >END")); },
         {"cmp0001:12"}},
        {icc,
         [](Files& f) {
             f["CP6002.cmd"] = f["CP6001.cmd"];
             f.erase("CP6001.cmd");
         },
         {"CP6001.cmd:0"}},
        {icc, swap("OPEN CP6001", "OPEN CP6002"), {"CP6001.cmd:1"}},
        {icc, swap("ADD C1:A1", "ADD :A1"), {"CP6001.cmd:2"}},
        {icc, swap("ADD C1:A1", "ADD C1:"), {"CP6001.cmd:2"}},
        {icc, swap("TYPE = AIN", "KIND = AIN"), {"CP6001.cmd:3"}},
        {icc, swap("  HI  = 100", "  = 100"), {"CP6001.cmd:4"}},
        {icc, swap("CLOSE CP6001", "END"), {"CP6001.cmd:17"}},
        {icc, swap("EXIT", "QUIT"), {"CP6001.cmd:18"}},
        {icc, [](Files& f) { f["CP6001.cmd"] += "EXIT\r\n"; }, {"CP6001.cmd:19"}},
    };
    for (const auto& c : cases) {
        MemoryRun run;
        // C3 holds only a type no data file has: the script leaves it out.
        run.Source.Files = SaveAllFiles(
            {{C1(), {"C3", std::nullopt, {{"Z1", "XYZ", {"1"}}}, {}}}, {{"C3", "R003"}}, {}});
        run.Data(kTypes);
        run.Run(SourceKind::SaveAll, Platform::Aw51, c.Kind);
        Side side;
        side.Source = run.Source;
        side.Program = run.Program;
        const SourceSnapshot source = Read(side);
        MemoryInputFolder written;
        written.Files = run.Out.Files;
        c.Edit(written.Files);
        SCOPED_TRACE(written.Files.begin()->second);
        SourceSnapshot back;
        if (auto refused = ReadOutputSnapshot(written, c.Kind, "CP6001", back)) {
            EXPECT_EQ(std::vector{refused->File + ":" + std::to_string(refused->Line)}, c.Expected);
        } else {
            const Comparison result = CompareSnapshots(source, back);
            EXPECT_EQ(Lines(result), c.Expected);
            EXPECT_EQ(result.NotConverted.size(), 3u);  // X1, M1 and Z1: no data file type
            EXPECT_EQ(result.SourcesAndCodesCompared, c.Kind == fox);
        }
        EXPECT_EQ(cli::VerifyWritten(source, written, c.Kind, "CP6001", "memoria"),
                  c.Expected.empty() ? 0 : 1);
    }
}

}  // namespace
}  // namespace pamiro::testing
