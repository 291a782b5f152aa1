#include <gcrypt.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "run/Staging.h"
#include "support/RunCli.h"

namespace pamiro::testing {
namespace {

using Args = std::vector<std::string>;
using nlohmann::json;

std::string Sha256(const std::string& bytes) {
    gcry_check_version(nullptr);
    unsigned char sum[32];
    gcry_md_hash_buffer(GCRY_MD_SHA256, sum, bytes.data(), bytes.size());
    std::string hex;
    for (unsigned char c : sum)
        hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
    return hex;
}

class DestinationCli : public ::testing::Test {
  protected:
    void SetUp() override {
        // An earlier run from the other source (same names, other bytes),
        // leftovers of a larger one and a file of the user's.
        const fs::path root = PAMIRO_SOURCE_ROOT;
        EXPECT_EQ(RunCli(Convert("sa", root / "samples/save-all/SMPL01")).Status, 0);
        for (const char* name : {"cmp0099", "src0100", "cmp123", "notes"}) {
            WriteFile(to / name, name);
        }
        before = Tree(to);
    }
    Args Convert(const std::string& source, const fs::path& from) const {
        return Words("convert --cp SMPL01 --platform aw51 --ia-version 620 --dest foxcae",
                     {"--source", source, "--from", from.string(), "--to", to.string()});
    }
    Args Wf() const { return Convert("wf", fs::path(PAMIRO_SOURCE_ROOT) / "samples/working-file"); }
    TempDir temp;
    fs::path to = temp.Path() / "out";
    std::map<std::string, std::string> before;
};

#ifndef _WIN32  // a real signal, raised at the chosen pause by the program itself
TEST_F(DestinationCli, ASignalAtAnyMomentLeavesTheDestinationAsItWasWithItsExitStatus) {
    const fs::path report = temp.Path() / "report.json";
    const std::pair<int, int> signals[] = {{2, 130}, {15, 143}, {1, 129}};
    int at = 1;
    for (;; ++at) {
        const auto [signal, status] = signals[at % 3];
        SCOPED_TRACE("signal " + std::to_string(signal) + " at pause " + std::to_string(at));
        const CliResult result = RunCli(Set(Set(Set(Wf(), "--test-signal-at", std::to_string(at)),
                                                "--test-signal", std::to_string(signal)),
                                            "--report", report.string()));
        if (result.Status == 0) break;
        ASSERT_EQ(result.Status, status) << result.Err;
        EXPECT_TRUE(Has(result.Err, "Conversión interrumpida: el destino no se ha modificado\n"));
        EXPECT_EQ(Tree(to), before);
        const json r = json::parse(ReadFile(report));
        EXPECT_EQ(r["outcome"], "interrupted");
        EXPECT_EQ(r["exitStatus"], status);
        EXPECT_TRUE(r["outputs"].empty());
        if (at == 1) {
            EXPECT_EQ(r["summary"]["blocksWritten"], 0);  // it stops at once
        }
    }
    EXPECT_GT(at, 20);  // the run's pauses and the moves'
    // batch: the CP running stops, no other starts, every destination as it was.
    const CliResult batch =
        RunCli(Words("batch --platform aw51 --ia-version 620 --dest icc --test-signal-at 5",
                     {"--from", fs::path(PAMIRO_SOURCE_ROOT) / "samples/working-file", "--to",
                      (temp.Path() / "batch").string()}));
    EXPECT_EQ(batch.Status, 130);
    EXPECT_TRUE(Has(batch.Err, "SMPL01: Conversión interrumpida: el destino no se ha modificado"));
    EXPECT_FALSE(fs::exists(temp.Path() / "batch" / "SMPL01"));
}
#endif

TEST_F(DestinationCli,
       LeftoversAreNamedStrictKeepsTheDestinationCleanRemovesThemAndTheReportHashes) {
    CliResult result = RunCli(Set(Wf(), "--strict"));
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(Has(result.Err,
                    "Pamiro - Destino: 2 archivo(s) de una conversión anterior siguen en el "
                    "destino: cmp0099, src0100\nPamiro - Destino: La conversión ha mostrado "
                    "avisos y se ha pedido --strict\nConversión fallida: el destino no se ha "
                    "modificado\n"))
        << result.Err;
    EXPECT_EQ(Tree(to), before);

    const fs::path outside = temp.Path() / "outside";
    WriteFile(outside, "not to be written");
#ifndef _WIN32
    fs::remove(to / "cmp_list");
    fs::create_symlink(outside, to / "cmp_list");  // replaced itself, never its target
#endif
    // A working folder holding files a run could not put back stays, and is named.
    WriteFile(to / ".pamiro-00000000000000cc/.anterior/cmp_list", "user's list");
    WriteFile(to / ".pamiro-00000000000000cc/.pamiro-marca",
              std::string(StagedDestination::kMarkText));
    const fs::path report = temp.Path() / "r.json";
    result = RunCli(Set(Set(Wf(), "--clean"), "--report", report.string()));
    ASSERT_EQ(result.Status, 0) << result.Err;
    EXPECT_TRUE(Has(result.Err,
                    "Pamiro - Destino: La carpeta de trabajo .pamiro-00000000000000cc guarda "
                    "archivos del destino que una conversión no pudo reponer; revísela\n"))
        << result.Err;
    EXPECT_EQ(ReadFile(to / ".pamiro-00000000000000cc/.anterior/cmp_list"), "user's list");
    EXPECT_TRUE(Has(result.Out,
                    "\n2 archivo(s) de una conversión anterior eliminado(s) del "
                    "destino\n"));
    EXPECT_EQ(ReadFile(outside), "not to be written");
    std::map<std::string, std::string> after = Tree(to);
    EXPECT_EQ(after.count("cmp0099") + after.count("src0100"), 0u);
    EXPECT_EQ(after["cmp123"], "cmp123");
    EXPECT_EQ(after["notes"], "notes");

    const json r = json::parse(ReadFile(report));
    EXPECT_EQ(r["outcome"], "finished");
    EXPECT_EQ(r["request"]["version"]["label"], "6.2 / 6.2.1 / 6.3");
    std::string names;
    for (const json& file : r["outputs"]) {
        names += file["name"].get<std::string>() + " ";
        const std::string bytes = ReadFile(to / file["name"].get<std::string>());
        EXPECT_EQ(file["size"], bytes.size());
        EXPECT_EQ(file["sha256"], Sha256(bytes));
    }
    EXPECT_EQ(names, "cmp_list src_list cmp0001 src0001 src0002 cmp0002 src0003 src0004 cmp0003 ");
    std::string inputs, shown;
    for (const json& file : r["inputs"]) {
        inputs += fs::path(file["path"].get<std::string>()).filename().string() + " ";
        EXPECT_EQ(file["sha256"], Sha256(ReadFile(file["path"].get<std::string>())));
    }
    // The CP index is read first: its platform is checked before anything is written.
    EXPECT_TRUE(Has(inputs, "SMPL01.O SMPL01.wf ver51_620.dat ")) << inputs;
    EXPECT_TRUE(Has(inputs, " IND_base.s ")) << inputs;
    for (const json& m : r["messages"]) {
        shown += m["title"].get<std::string>() + ": " + m["text"].get<std::string>() + "\n";
    }
    EXPECT_EQ(shown, result.Err);

    // A refused request and a failed run still leave their report, with the
    // lines the command line printed below a message.
    result = RunCli(Set(Set(Wf(), "--cp", "BAD"), "--report", report.string()));
    EXPECT_EQ(result.Status, 1);
    json refused = json::parse(ReadFile(report));
    EXPECT_EQ(refused["outcome"], "refused");
    EXPECT_TRUE(Has(refused["messages"][0]["detail"].get<std::string>(), "seis caracteres"));
    result = RunCli(Set(Set(Wf(), "--cp", "SMPL02"), "--report", report.string()));
    EXPECT_EQ(result.Status, 1);
    refused = json::parse(ReadFile(report));
    EXPECT_EQ(refused["outcome"], "failed");
    EXPECT_TRUE(Has(refused["messages"].back().value("detail", ""), "Carpeta donde se buscó: "))
        << refused.dump();
}

}  // namespace
}  // namespace pamiro::testing
