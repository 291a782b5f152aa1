#include <gtest/gtest.h>

#include "readers/RobustnessChecks.h"

namespace pamiro::testing {
namespace {

const std::vector<TypeSpec> kTypes{{"AIN", {"DESCRP", "PERIOD"}}, {"DEP", {"DESCRP"}}, {"IND", {}}};

class Robustness : public ::testing::Test {
protected:
    void SetUp() override { ws.WriteDataFiles(kTypes); }

    Workspace::Result Run(int platform, int source, int destination = kDestinationFoxCae) {
        fs::remove_all(ws.Out());
        fs::create_directories(ws.Out());
        untouched.Take();
        auto result = ws.Run("CP0001", platform, source, destination);
        ExpectCleanEnd(result, ws.Out(), "CP0001");
        untouched.ExpectUnchanged();
        return result;
    }

    static int Count(const Workspace::Result& result, const std::string& text) {
        int count = 0;
        for (const RecordedMessage& m : result.Host.Messages) count += m.Text.find(text) != std::string::npos;
        return count;
    }

    static int CountExact(const Workspace::Result& result, const std::string& text) {
        int count = 0;
        for (const RecordedMessage& m : result.Host.Messages) count += m.Text == text;
        return count;
    }

    fs::path Cp() const { return ws.Src() / "CP0001"; }

    Workspace ws;
    UntouchedFolders untouched{ws};
};

// Offsets of 2^31 and more are skipped and reported once per index file; an
// offset past the end reads a record of zeros, which names no known type.
TEST_F(Robustness, OffsetsPastTheEndOrOfTwoToThe31AreNoRecords) {
    for (int platform = 0; platform < 3; ++platform) {
        SCOPED_TRACE(platform);
        fs::remove_all(ws.Src());
        CompoundSpec c1{"C1", std::nullopt, {{"B1", "AIN", {"a", "1"}}, {"B2", "AIN", {"b", "2"}}}, {}};
        WriteWorkingFile(ws.Src(), {"CP0001", "R001", platform, {c1}});
        const std::string good = ReadFile(Cp() / "C1.O");
        const std::size_t entry = good.size() / 2;
        const auto wfSize = static_cast<std::uint32_t>(fs::file_size(Cp() / "CP0001.wf"));
        WriteFile(Cp() / "C1.O", good.substr(0, entry) + IndexEntryFor(platform, "", wfSize + 1000) +
                                     IndexEntryFor(platform, "", 0x80000000u) +
                                     IndexEntryFor(platform, "", 0xFFFFFFFFu) + good.substr(entry));
        WriteFile(Cp() / "CP0001.O", IndexEntryFor(platform, "C1", 0x80000001u));

        const auto result = Run(platform, kSourceWorkingFile);
        EXPECT_FALSE(result.Job->Report.Failed);
        EXPECT_EQ(ws.OutFile("cmp0001"),
                  "NAME     >B1\r\nTYPE     >AIN\r\nDESCRP   >a\r\nPERIOD   >1\r\n"
                  "NAME     >B2\r\nTYPE     >AIN\r\nDESCRP   >b\r\nPERIOD   >2\r\n"
                  "NAME     >END\r\n**** Revision Code R001\r\n");
        EXPECT_EQ(result.Job->Report.InvalidOffsets, 3);
        EXPECT_EQ(Count(result, "1 entrada(s) con desplazamiento no valido"), 1);  // CP0001.O
        EXPECT_EQ(Count(result, "2 entrada(s) con desplazamiento no valido"), 1);  // C1.O
        EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 1);  // the record of zeros
    }
}

// However far the first record offset points, the index ends with the file.
TEST_F(Robustness, SaveAllIndexNeverRunsOnOverZeros) {
    for (std::uint32_t first : {0x7FFFFFFFu, 0x10000000u, 5000u}) {
        for (std::size_t length : {0u, 100u, 1u << 20}) {
            SCOPED_TRACE(std::to_string(first) + " " + std::to_string(length));
            std::string bytes(length, '\0');
            if (length >= 34) bytes.replace(0, 34, ShortEntry("", first));
            WriteFile(ws.Src() / "C1" / "parameters", bytes);
            const auto result = Run(0, kSourceSaveAll);
            EXPECT_FALSE(result.Job->Report.Failed);
            // One yield per entry read, and the file holds at most this many.
            EXPECT_LE(result.Host.EventCalls, static_cast<int>(length / 34 + 2));
        }
    }
}

TEST_F(Robustness, NamesThatWouldLeaveTheSourceFolderNameNoFile) {
    WriteFile(ws.Data() / "DEP_base.s", "base\r\n");
    const std::vector<std::string> bad{"..", ".", "../outside", "a/b", "a\\b", "/etc", "C1/../C1"};
    CompoundSpec c1{"C1", std::nullopt, {{"../../outside/x", "DEP", {"d"}}, {"..\\x", "DEP", {"e"}}}, {}};
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {c1}});
    std::string index = ReadFile(Cp() / "CP0001.O");
    for (const std::string& name : bad) index += IndexEntryFor(1, name, 0);
    WriteFile(Cp() / "CP0001.O", index);

    auto result = Run(1, kSourceWorkingFile);
    EXPECT_FALSE(result.Job->Report.Failed);
    EXPECT_EQ(result.Job->CompoundCount, 1 + static_cast<long long>(bad.size()));
    for (const std::string& name : bad) EXPECT_EQ(CountExact(result, name + ".O no encontrado"), 1) << name;
    EXPECT_EQ(ws.OutFile("src_list"), "C1:../../outside/x 1\r\nC1:..\\x 2\r\n");
    EXPECT_EQ(ws.OutFile("src0001"), "base\r\n");
    EXPECT_EQ(ws.OutFile("src0002"), "base\r\n");

    fs::remove_all(ws.Src());
    std::vector<std::string> lines;
    for (const std::string& name : bad) lines.insert(lines.end(), {name, "x"});
    WriteSaveAll(ws.Src(), {{c1}, {}, lines});
    WriteFile(ws.temp.Path() / "outside" / "parameters", EncodeParameters(c1, "EVIL"));
    result = Run(0, kSourceSaveAll);
    EXPECT_FALSE(result.Job->Report.Failed);
    for (const std::string& name : bad) {
        EXPECT_EQ(CountExact(result, name + " - Archivo de parametros no encontrado"), 1) << name;
    }
    EXPECT_EQ(result.Job->Report.BlocksWritten, 0);
}

TEST_F(Robustness, SequenceBlockWithNoSourceAtAllIsListedReportedAndNotCopied) {
    WriteFile(ws.Data() / "IND_base.s", "ind base\r\n");
    CompoundSpec c1{"C1", std::nullopt, {{"S1", "DEP", {"d"}}, {"S2", "IND", {}}, {"S3", "MON", {}}}, {}};
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {c1}});
    auto result = Run(1, kSourceWorkingFile);
    EXPECT_FALSE(result.Job->Report.Failed);
    EXPECT_EQ(ws.OutFile("src_list"), "C1:S1 1\r\nC1:S2 2\r\nC1:S3 3\r\n");
    EXPECT_FALSE(ws.OutExists("src0001"));
    EXPECT_EQ(ws.OutFile("src0002"), "ind base\r\n");
    EXPECT_FALSE(ws.OutExists("src0003"));
    EXPECT_EQ(result.Job->Report.MissingSequenceSources, 2);
    EXPECT_EQ(Count(result, "No se encuentra S1.s ni DEP_base.s"), 1);
    EXPECT_EQ(Count(result, "No se encuentra S3.s ni MON_base.s"), 1);

    result = Run(1, kSourceWorkingFile, kDestinationIcc);  // a script copies nothing
    EXPECT_EQ(result.Job->Report.MissingSequenceSources, 0);
    EXPECT_EQ(SnapshotTree(ws.Out()).size(), 1u);
}

// Strings end at their NUL, at the end of the 5001-byte record or, past the
// end of the file, at the zeros read there.
TEST_F(Robustness, RecordsWithoutTheirNulEndAtTheBufferOrTheFile) {
    std::string wf = "R001" + std::string(12, '\0');
    const auto at = [&] { return static_cast<std::uint32_t>(wf.size()); };
    std::string index;
    index += IndexEntryFor(1, "", at());
    wf += std::string("B1\0AIN\0", 7) + std::string(6000, 'v');  // value runs past the buffer
    index += IndexEntryFor(1, "", at());
    wf += std::string(6000, 'N');  // a name that never ends: no type
    index += IndexEntryFor(1, "", at());
    wf += std::string("B3\0AIN\0d\0p", 10);  // the file ends inside the last value
    WriteFile(Cp() / "CP0001.wf", wf);
    WriteFile(Cp() / "C1.O", index);
    WriteFile(Cp() / "CP0001.O", IndexEntryFor(1, "C1", 0));

    const auto result = Run(1, kSourceWorkingFile);
    EXPECT_EQ(ws.OutFile("cmp0001"), "NAME     >B1\r\nTYPE     >AIN\r\nDESCRP   >" +
                                         std::string(5001 - 7, 'v') +
                                         "\r\nPERIOD   >\r\n"
                                         "NAME     >B3\r\nTYPE     >AIN\r\nDESCRP   >d\r\nPERIOD   >p\r\n"
                                         "NAME     >END\r\n**** Revision Code R001\r\n");
    EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 1);
}

// A field without NUL is the whole field; a list may hold more than 1001
// entries; an empty data file knows no type.
TEST_F(Robustness, MalformedDataFilesKeepWholeFieldsAndLongLists) {
    TypeSpec big{"BIG", {}};
    for (int i = 0; i < 1500; ++i) big.Parameters.push_back("P" + std::to_string(i));
    std::string data = EncodeDataFile({big}, true);
    data += DataRecordBytes(true, "", "NAME", std::string(24, 'T'));  // type fills its field
    data += DataRecordBytes(true, "", "TYPE", "");
    data += DataRecordBytes(true, "", std::string(16, 'K'), "");      // name fills its field
    WriteFile(ws.Data() / "ver51_620.dat", data);

    BlockSpec bigBlock{"B1", "BIG", {}};
    for (int i = 0; i < 1500; ++i) bigBlock.Values.push_back(std::to_string(i));
    CompoundSpec c1{"C1", std::nullopt, {bigBlock, {"B2", std::string(24, 'T'), {"k"}}}, {}};
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {c1}});

    auto result = Run(1, kSourceWorkingFile);
    const std::string out = ws.OutFile("cmp0001");
    // Values past the 5001-byte record are empty, but every entry has its line.
    EXPECT_NE(out.find("P0       >0\r\nP1       >1\r\n"), std::string::npos);
    EXPECT_NE(out.find("P1499    >\r\nNAME     >B2\r\n"), std::string::npos);
    EXPECT_NE(out.find("TYPE     >" + std::string(24, 'T') + "\r\n" + std::string(16, 'K') + ">k\r\n"),
              std::string::npos);
    EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 0);

    WriteFile(ws.Data() / "ver51_620.dat", "");
    result = Run(1, kSourceWorkingFile);
    EXPECT_EQ(result.Job->Report.UnknownTypeBlocks, 2);
    EXPECT_EQ(ws.OutFile("cmp0001"), "NAME     >END\r\n**** Revision Code R001\r\n");
}

}  // namespace
}  // namespace pamiro::testing
