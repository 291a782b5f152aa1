#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "readers/IndexEntry.h"
#include "readers/SaveAllReader.h"
#include "readers/WorkingFileReader.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

using ::testing::ElementsAre;

// What the readers hand on, one line per call: "S name", "B compound name type
// v1,v2,", "E revision".
struct LoggingSink : CompoundSink {
    std::vector<std::string> Log;
    void StartCompound(const std::string& name) override { Log.push_back("S " + name); }
    void Block(const std::string& compound, BlockRecord& record) override {
        std::string line = "B " + compound + " " + record.Name + " " + record.Type + " ";
        for (int i = 0; i < 2; ++i) line += record.Values.Next() + ",";
        Log.push_back(line);
    }
    void EndCompound(const std::string& revision) override { Log.push_back("E " + revision); }
};

struct Reading {
    MemoryInputFolder Folder;
    SourceTree Tree{Folder};
    RecordingHost Host;
    RunReport Report;
    LoggingSink Sink;
    std::string Revision = "----";

    std::vector<std::string> WorkingFile(Platform platform, const std::string& cp = "CP6001") {
        ReadContext context{Tree, platform, Host, Report, Sink, Revision};
        if (auto wf = Tree.Open(SourceTree::WorkingFile(cp))) ReadWorkingFile(context, cp, *wf);
        return Sink.Log;
    }
    std::vector<std::string> SaveAll() {
        ReadContext context{Tree, Platform::Pw, Host, Report, Sink, Revision};
        ReadSaveAll(context, CollectSaveAllCompounds(Tree));
        return Sink.Log;
    }
    std::string Messages() const { return Host.MessageLines(); }
};

TEST(IndexEntry, FieldsSitWhereEachFormPutsThem) {
    struct Case {
        std::string Bytes;
        EntryForm Form;
        ByteOrder Order;
    };
    const std::string name30(30, 'N');
    const Case cases[] = {
        {ShortEntry("  ABC  ", 0x01020304), EntryForm::Short, ByteOrder::Little},
        {LongEntry("  ABC  ", 0x01020304, true), EntryForm::Long, ByteOrder::Big},
        {LongEntry("  ABC  ", 0x01020304, false), EntryForm::Long, ByteOrder::Little},
    };
    for (const Case& c : cases) {
        // Every byte outside the name and offset fields set: none of them may leak in.
        std::string bytes = c.Bytes;
        const EntryLayout& layout = LayoutOf(c.Form);
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            const bool name = i >= layout.NameOffset && i < layout.NameOffset + layout.NameWidth;
            const bool offset = i >= layout.OffsetOffset && i < layout.OffsetOffset + 4;
            if (!name && !offset) bytes[i] = 'x';
        }
        MemorySource source("index", "pad" + bytes);
        const IndexEntry entry = ReadIndexEntry(source, 3, c.Form, c.Order);
        EXPECT_EQ(entry.Name, "ABC");
        EXPECT_EQ(entry.RecordOffset, 0x01020304u);
    }
    // A name filling its field has no NUL: taken whole; past the end reads as 0.
    MemorySource full("index", LongEntry(name30, 7, true).substr(0, 44));
    EXPECT_EQ(ReadIndexEntry(full, 0, EntryForm::Long, ByteOrder::Big).Name, name30);
    EXPECT_EQ(ReadIndexEntry(full, 0, EntryForm::Long, ByteOrder::Big).RecordOffset, 7u);
    EXPECT_EQ(ReadIndexEntry(full, 40, EntryForm::Short, ByteOrder::Little).Name, "");
    EXPECT_FALSE(IsValidRecordOffset(0x80000000u));
    EXPECT_TRUE(IsValidRecordOffset(0x7FFFFFFFu));
}

TEST(WorkingFileReader, TakesCompoundsInFileOrderOwnRecordFirst) {
    for (Platform platform : {Platform::Pw, Platform::Aw51, Platform::Aw70}) {
        Reading r;
        r.Folder.Files = WorkingFileFiles(
            {"CP6001",
             "R9 x",
             IndexOf(platform),
             {{"ZED", BlockSpec{"ZED", "COMPND", {"a", "b"}}, {{"B1", "T", {"1"}}}, {}},
              {"ALPHA", std::nullopt, {{"B2", "T", {}}, {"B3", "T", {" 3 ", "4"}}}, {}}}});
        EXPECT_THAT(r.WorkingFile(platform),
                    ElementsAre("S ZED", "B ZED ZED COMPND a,b,", "B ZED B1 T 1,B2,", "E R9 x",
                                "S ALPHA", "B ALPHA B2 T B3,T,", "B ALPHA B3 T 3,4,", "E R9 x"));
        EXPECT_EQ(r.Messages(), "");
        // Each compound on panel 1, and the zero entry read past the end.
        EXPECT_THAT(r.Host.Statuses, ElementsAre("1:ZED", "1:ALPHA", "1:"));
    }
}

TEST(WorkingFileReader, IndexFilesAreReadUntilAnEntryComesUpShort) {
    Reading r;
    r.Folder.Files = WorkingFileFiles(
        {"CP6001", "R001", 0, {{"C", std::nullopt, {{"B1", "T", {}}, {"B2", "T", {}}}, {}}}});
    std::string& blocks = r.Folder.Files["CP6001/C.O"];
    // Cut into the second entry: still read, its offset bytes zero filled.
    blocks.resize(34 + 30);
    EXPECT_THAT(r.WorkingFile(Platform::Pw),
                ElementsAre("S C", "B C B1 T B2,T,", "B C B2 T ,,", "E R001"));
    blocks.resize(34 + 20);  // the offset field is gone: no record
    r.Sink.Log.clear();
    EXPECT_THAT(r.WorkingFile(Platform::Pw), ElementsAre("S C", "B C B1 T B2,T,", "E R001"));
    EXPECT_EQ(r.Host.EventCalls, 2 + 2);  // once per entry, the cut one included
}

TEST(WorkingFileReader, MissingIndexFilesAndInvalidOffsetsAreReportedWithTheirTitles) {
    Reading r;
    r.Folder.Files = WorkingFileFiles({"CP6001",
                                       "R001",
                                       2,
                                       {{"C1", std::nullopt, {{"B", "T", {}}}, {}},
                                        {"GONE", std::nullopt, {}, {}},
                                        {"..", std::nullopt, {}, {}}}});
    r.Folder.Files.erase("CP6001/GONE.O");
    r.Folder.Files["CP6001/C1.O"] +=
        LongEntry("X", 0x80000001u, false) + LongEntry("Y", 0xFFFFFFFFu, false);
    r.Folder.Files["CP6001/CP6001.O"] += LongEntry("BAD", 0x90000000u, false);
    EXPECT_THAT(r.WorkingFile(Platform::Aw70),
                ElementsAre("S C1", "B C1 B T ,,", "E R001", "S GONE", "E R001", "S ..", "E R001",
                            "S BAD", "E R001"));
    EXPECT_EQ(
        r.Messages(),
        "Pamiro - Indice: CP6001/C1.O - 2 entrada(s) con desplazamiento no válido (2^31 o "
        "mayor) omitida(s)\n"
        "Pamiro -Working File - Bloque: GONE.O no encontrado\n"
        "Pamiro -Working File - Bloque: ...O no encontrado\n"
        "Pamiro -Working File - Bloque: BAD.O no encontrado\n"
        "Pamiro - Indice: CP6001/CP6001.O - 1 entrada(s) con desplazamiento no válido (2^31 o "
        "mayor) omitida(s)\n");
    EXPECT_EQ(r.Report.InvalidOffsets, 3);
    EXPECT_EQ(r.Report.Warnings, 5);

    // Records past the end of the .wf: nothing written, the compound still framed.
    Reading cut;
    cut.Folder.Files = WorkingFileFiles(
        {"CP6001", "R001", 0, {{"C", BlockSpec{"C", "T", {}}, {{"B", "T", {}}}, {}}}});
    cut.Folder.Files["CP6001/CP6001.wf"].resize(16);
    cut.Folder.Files["CP6001/C.O"] += "x";
    EXPECT_THAT(cut.WorkingFile(Platform::Pw), ElementsAre("S C", "E R001"));
    EXPECT_EQ(cut.Messages(),
              "Pamiro - Indice: CP6001/C.O - su longitud (35 bytes) no es un número entero de "
              "entradas de 34 bytes; la última se lee completada con ceros\n"
              "Pamiro - Indice: CP6001/C.O - 1 entrada(s) con desplazamiento más allá del final de "
              "CP6001/CP6001.wf omitida(s)\n"
              "Pamiro - Indice: CP6001/CP6001.O - 1 entrada(s) con desplazamiento más allá del "
              "final de CP6001/CP6001.wf omitida(s)\n");

    Reading none;
    none.Folder.Files["CP6001/CP6001.wf"] = "R777";
    EXPECT_THAT(none.WorkingFile(Platform::Pw), ElementsAre());
    EXPECT_EQ(none.Messages(), "Pamiro - Working File - Compound: CP6001.O no encontrado\n");
    EXPECT_EQ(none.Revision, "R777");
    none.Folder.Files["CP6001/CP6001.O"] = "x";
    none.WorkingFile(Platform::Pw);
    EXPECT_EQ(none.Host.Messages.back().Text,
              "CP6001/CP6001.O - no contiene ninguna entrada completa (1 bytes)");
}

TEST(BlockRecord, StringsEndInsideTheRecordBufferAndPastTheFileEndReadAsZero) {
    Reading r;
    r.Folder.Files =
        WorkingFileFiles({"CP6001", "R001", 0, {{"C", std::nullopt, {{"B1", "T", {}}}, {}}}});
    std::string& wf = r.Folder.Files["CP6001/CP6001.wf"];
    // A record with no NUL within its 5001 bytes: its name ends there, the rest is empty.
    wf = wf.substr(0, 16) + std::string(6000, 'A');
    EXPECT_THAT(r.WorkingFile(Platform::Pw),
                ElementsAre("S C", "B C " + std::string(5001, 'A') + "  ,,", "E R001"));
    wf = wf.substr(0, 16) + "NAME" + std::string(1, '\0') + " TY ";  // ends at the file end
    r.Sink.Log.clear();
    EXPECT_THAT(r.WorkingFile(Platform::Pw), ElementsAre("S C", "B C NAME TY ,,", "E R001"));
}

TEST(SaveAllReader, IndexEndsAtTheFirstRecordOrAtTheFileEnd) {
    Reading r;
    r.Folder.Files =
        SaveAllFiles({{{"C", std::nullopt, {{"B1", "T", {"1"}}, {"B2", "T", {"2"}}}, {}}},
                      {{"C", "R042"}},
                      std::nullopt});
    // A record's buffer runs on into the bytes after it.
    EXPECT_THAT(r.SaveAll(), ElementsAre("S C", "B C B1 T 1,B2,", "B C B2 T 2,R042,", "E R042"));

    // First entry without a record: the index ends with it.
    Reading zero;
    zero.Folder.Files["C/parameters"] = ShortEntry("", 0) + ShortEntry("A", 102) +
                                        ShortEntry("B", 0) + std::string("A\0T\0", 4) +
                                        std::string(19, '\0');
    EXPECT_THAT(zero.SaveAll(), ElementsAre("S C", "E " + std::string("A\0T\0", 4)));

    // Offsets past the end name no record and cannot make the loop run over zeros.
    Reading far;
    far.Folder.Files["C/parameters"] = ShortEntry("A", 1000000) + std::string(30, 'x');
    EXPECT_THAT(far.SaveAll(), ElementsAre("S C", "E xxxx"));
    EXPECT_EQ(far.Host.EventCalls, 2);
    EXPECT_EQ(far.Messages(),
              "Pamiro - Indice: C/parameters - 2 entrada(s) con desplazamiento más allá del final "
              "de C/parameters omitida(s)\n");
}

TEST(SaveAllReader, RevisionCodeComesFromLengthMinus23AndSurvivesAMissingFile) {
    Reading r;
    r.Folder.Files["A/parameters"] = std::string(34, '\0') + "R123" + std::string(19, '\0');
    r.Folder.Files["B/parameters"] = std::string(22, '\0');
    r.Folder.Files["C/parameters"] = std::string(34, '\0') + "R456" + std::string(19, '\0');
    r.Folder.Files[".Compound_Dir"] = "A\r\nx\r\nMISSING\r\nx\r\nB\r\nx\r\nC";
    EXPECT_THAT(r.SaveAll(), ElementsAre("S A", "E R123", "S B", "E     ", "S C", "E R456",
                                         "S MISSING", "E R456"));
    EXPECT_EQ(r.Messages(),
              "Pamiro - Save All - Bloques: B - Archivo de parámetros demasiado corto (22 bytes); "
              "sin código de revisión\n"
              "Pamiro - Save All - Bloques: MISSING - Archivo de parametros no encontrado\n");
}

TEST(SaveAllReader, CompoundsComeFromTheListFileOrTheFoldersSortedWithoutCase) {
    EXPECT_THAT(SplitCompoundDirLines("a\rb\r\nc\nd\r\r\ne"),
                ElementsAre("a", "b", "c\nd", "", "e"));
    std::vector<std::string> names{"b", "B", "a_", "A", "a", "Z", "[", "ab"};
    SortCompoundNames(names);
    EXPECT_THAT(names, ElementsAre("[", "A", "a", "a_", "ab", "B", "b", "Z"));

    Reading listed;
    listed.Folder.Files["Z/parameters"] = "";
    listed.Folder.Files[".Compound_Dir"] = "b\r\n1\r\nA\r\n2\r\n";
    EXPECT_THAT(CollectSaveAllCompounds(listed.Tree), ElementsAre("A", "b"));
    listed.Folder.Files[".Compound_Dir"] = "";
    EXPECT_THAT(CollectSaveAllCompounds(listed.Tree), ElementsAre());

    Reading scanned;
    for (const char* path :
         {"b/parameters", "A/parameters", ".hidden/parameters", "nope/other", "c/parameters/x"}) {
        scanned.Folder.Files[path] = "";
    }
    EXPECT_THAT(CollectSaveAllCompounds(scanned.Tree), ElementsAre("A", "b"));
}

}  // namespace
}  // namespace pamiro::testing
