#include <gtest/gtest.h>

#include <random>

#include "ReferenceLookup.h"
#include "output/ParameterDataFile.h"
#include "run/ConversionJob.h"
#include "support/RecordingHost.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

const std::vector<std::string> kTypes{"T1", "T2", "t1", "DEP", "", "LONGTYPENAME_23_CHARSXX"};

// A data file of random records meant to hit every rule of the lookup: headers
// ("NAME" and "NAME..."), repeated types, fields with blanks, fields without
// NUL, long lists and a partial last record.
std::string RandomDataFile(std::mt19937& random, bool longLayout) {
    const std::size_t keyWidth = longLayout ? 16 : 12;
    const std::size_t detailWidth = longLayout ? 24 : 16;
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    auto anyText = [&](std::size_t width) {
        std::string text(pick(width + 1), ' ');
        for (char& c : text) c = "AB Z\0x1NAME"[pick(11)];
        return text;
    };
    std::string bytes;
    const std::size_t records = pick(4) == 0 ? 1100 + pick(200) : pick(60);
    for (std::size_t i = 0; i < records; ++i) {
        std::string key, detail;
        switch (pick(6)) {
            case 0: key = "NAME"; detail = kTypes[pick(kTypes.size())]; break;
            case 1: key = "NAME" + anyText(keyWidth - 4); detail = " " + kTypes[pick(3)] + "  "; break;
            case 2: key = std::string(keyWidth, 'K'); detail = anyText(detailWidth); break;
            case 3: key = "  P" + std::to_string(i) + " "; break;
            default: key = anyText(keyWidth); detail = anyText(detailWidth); break;
        }
        std::string record = DataRecordBytes(longLayout, anyText(4), key, detail);
        if (pick(20) == 0) record.replace(4 + keyWidth, detailWidth, std::string(detailWidth, 'D'));
        bytes += record;
    }
    if (pick(3) == 0) bytes += std::string(1 + pick(longLayout ? 43 : 31), 'N');
    return bytes;
}

TEST(LookupAgreement, ShippedAndFullScanLookupsGiveTheSameListsOnRandomFiles) {
    TempDir temp;
    std::mt19937 random(20240607);
    RecordingHost host;
    int found = 0;
    for (int round = 0; round < 150; ++round) {
        for (int platform = 0; platform < 3; ++platform) {
            const std::string path = temp / ("r" + std::to_string(round) + "p" +
                                             std::to_string(platform) + ".dat");
            WriteFile(path, RandomDataFile(random, platform != 0));
            ConversionJob shipped, reference;
            for (ConversionJob* job : {&shipped, &reference}) {
                job->DataFilePath = path;
                job->PlatformIndex = platform;
            }
            for (const std::string& type : kTypes) {
                SCOPED_TRACE(path + " [" + type + "]");
                const int a = LookUpBlockType(shipped, host, type);
                const int b = ReferenceLookUpBlockType(reference, host, type);
                ASSERT_EQ(a, b);
                ASSERT_EQ(shipped.ParameterCount, reference.ParameterCount);
                for (long long j = 0; j < shipped.ParameterCount; ++j) {
                    ASSERT_EQ(shipped.ParameterNames[j], reference.ParameterNames[j]) << j;
                }
                found += a == 0 ? 1 : 0;
            }
        }
    }
    // The files must have exercised the found path, not just the absent one.
    EXPECT_GT(found, 300);
}

TEST(LookupAgreement, ReferenceFollowsTheScanRules) {
    TempDir temp;
    RecordingHost host;
    const std::string path = temp / "rules.dat";
    // T1 defined twice (the last wins), a "NAMEX" header ends T1's list, a
    // lower-case type does not match, and the partial record is ignored.
    std::string bytes = EncodeDataFile({{"T1", {"A"}}, {"t1", {"L"}}, {"T1", {"B", "C"}}}, false);
    bytes += DataRecordBytes(false, "", "NAMEX", "OTHER") + DataRecordBytes(false, "", "Z", "");
    bytes += "NAME";
    WriteFile(path, bytes);
    ConversionJob job;
    job.DataFilePath = path;
    job.PlatformIndex = 0;
    ASSERT_EQ(ReferenceLookUpBlockType(job, host, "T1"), 0);
    EXPECT_EQ(job.ParameterNames, (std::vector<std::string>{"NAME", "TYPE", "B", "C"}));
    EXPECT_EQ(ReferenceLookUpBlockType(job, host, "OTHER"), 0);
    EXPECT_EQ(job.ParameterNames, (std::vector<std::string>{"NAMEX", "Z"}));
    EXPECT_EQ(ReferenceLookUpBlockType(job, host, "t2"), -2);
    EXPECT_EQ(job.ParameterCount, 0);
    // One yield per whole record: the reference is the literal scan.
    host.EventCalls = 0;
    ReferenceLookUpBlockType(job, host, "T1");
    EXPECT_EQ(host.EventCalls, 12);
}

}  // namespace
}  // namespace pamiro::testing
