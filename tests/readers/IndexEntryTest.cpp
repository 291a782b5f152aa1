#include <gtest/gtest.h>

#include "readers/IndexEntry.h"
#include "core/FileTable.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

TEST(CutAtNul, TakesTheTextBeforeTheFirstNulTrimmedOfBlanksOnly) {
    using namespace std::string_literals;
    EXPECT_EQ(CutAtNul("AB\0\0\0"s), "AB");
    EXPECT_EQ(CutAtNul(" AB \0\0"s), "AB");
    EXPECT_EQ(CutAtNul("\0\0\0\0"s), "");
    EXPECT_EQ(CutAtNul("A\0B\0"s), "A");
    EXPECT_EQ(CutAtNul("\tA B\t\0"s), "\tA B\t");  // tabs are not blanks
    EXPECT_EQ(CutAtNul("  FULLFIELD  "s), "FULLFIELD");  // no NUL: the whole field
}

TEST(RecordOffsets, ReadTheirBytesInThePlatformsOrder) {
    LongIndexEntry entry{};
    entry[40] = 0x00, entry[41] = 0x00, entry[42] = 0x01, entry[43] = 0x02;
    EXPECT_EQ(LongEntryOffsetBE(entry), 258u);
    EXPECT_EQ(LongEntryOffsetLE(entry), 33619968u);
    entry[40] = 0x7F, entry[41] = 0xFF, entry[42] = 0xFF, entry[43] = 0xFF;
    EXPECT_EQ(LongEntryOffsetBE(entry), 2147483647u);
    EXPECT_TRUE(IsValidRecordOffset(LongEntryOffsetBE(entry)));
    EXPECT_FALSE(IsValidRecordOffset(LongEntryOffsetLE(entry)));  // 0xFFFFFF7F

    ShortIndexEntry shortEntry{};
    shortEntry[28] = 0x78, shortEntry[29] = 0x56, shortEntry[30] = 0x34, shortEntry[31] = 0x12;
    EXPECT_EQ(ShortEntryOffsetLE(shortEntry), 0x12345678u);
}

TEST(RecordOffsets, InvalidOnesAreCountedAndReadAsNoRecord) {
    long long invalid = 0;
    EXPECT_EQ(UsableRecordOffset(0x7FFFFFFFu, invalid), 0x7FFFFFFFu);
    EXPECT_EQ(UsableRecordOffset(0x80000000u, invalid), 0u);
    EXPECT_EQ(UsableRecordOffset(0xFFFFFFFFu, invalid), 0u);
    EXPECT_EQ(invalid, 2);
}

class IndexFile : public ::testing::Test {
protected:
    // Reads entries the way the readers loop: until a read came up short.
    std::vector<IndexEntryValue> ReadAll(const std::string& bytes, int platform) {
        const fs::path path = temp.Path() / "X.O";
        WriteFile(path, bytes);
        FileTable files;
        const int handle = files.OpenInput(path.string());
        std::vector<IndexEntryValue> entries;
        while (!files.Input(handle).AtEnd()) entries.push_back(ReadIndexEntry(files.Input(handle), platform));
        return entries;
    }
    TempDir temp;
};

TEST_F(IndexFile, PlatformChoosesEntryFormAndByteOrder) {
    const std::string aw51("\0\0\x12\x34", 4);
    std::string entry = LongEntry("  C1", 0, true);
    entry.replace(40, 4, aw51);
    EXPECT_EQ(ReadAll(entry, 1)[0].RecordOffset, 4660u);
    EXPECT_EQ(ReadAll(entry, 1)[0].Name, "C1");
    EXPECT_EQ(ReadAll(entry, 2)[0].RecordOffset, 873594880u);

    // PW (Intel) and any other index: 34-byte entries, name at 6..18.
    const std::string two = ShortEntry("COMPOUND_NAME", 77) + ShortEntry("B", 99);
    for (int platform : {0, 3, -1}) {
        auto entries = ReadAll(two, platform);
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_EQ(entries[0].Name, "COMPOUND_NAME");
        EXPECT_EQ(entries[1].RecordOffset, 99u);
        EXPECT_EQ(entries[2].Name, "");
        EXPECT_EQ(entries[2].RecordOffset, 0u);
    }
}

TEST_F(IndexFile, TheEndIsSeenOnlyAfterAShortRead) {
    std::string whole = LongEntry("A", 1, false) + LongEntry("B", 2, false);
    ASSERT_EQ(whole.size(), 96u);
    auto entries = ReadAll(whole, 2);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].Name, "");
    EXPECT_EQ(entries[2].RecordOffset, 0u);

    // 100 bytes: the last 4 bytes and 44 zero bytes make the third entry.
    entries = ReadAll(whole + "XYZW", 2);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[2].RecordOffset, 0u);

    entries = ReadAll("", 2);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Name, "");
}

}  // namespace
}  // namespace pamiro::testing
