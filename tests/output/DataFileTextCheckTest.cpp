#include <gtest/gtest.h>

#include "output/DataFileCheck.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

std::string Rec(bool longLayout, const std::string& key, const std::string& detail = "") {
    return DataRecordBytes(longLayout, "", key, detail);
}

std::vector<std::string> Parameters(std::size_t count) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) names.push_back("P" + std::to_string(i));
    return names;
}

struct Expected {
    DataFileProblem Problem;
    std::size_t Record;  // 0-based; the finding's byte offset is Record * record size
    const char* TextStart;
};

TEST(DataFileCheck, FindsWhatTheLookupWouldSilentlyAccept) {
    for (bool longLayout : {false, true}) {
        SCOPED_TRACE(longLayout);
        const std::size_t size = longLayout ? 44 : 32;
        const std::string fullKey(longLayout ? 16 : 12, 'K');
        const std::string fullType(longLayout ? 24 : 16, 'T');
        struct Case {
            std::string Name;
            std::string Bytes;
            std::vector<Expected> Findings;
        };
        const std::vector<Case> cases = {
            {"clean", EncodeDataFile({{"PID", {"MEAS"}}, {"AIN", {}}}, longLayout), {}},
            {"empty", "", {}},
            {"name fills its field",
             EncodeDataFile({{"PID", {"MEAS"}}}, longLayout) + Rec(longLayout, fullKey),
             {{DataFileProblem::NameWithoutNul, 3, "registro 4 (byte "}}},
            {"type fills its field",
             Rec(longLayout, "NAME", fullType) + Rec(longLayout, "TYPE"),
             {{DataFileProblem::NameWithoutNul, 0, "registro 1 (byte 0): el tipo \"TTTT"}}},
            {"type defined twice",
             EncodeDataFile({{"PID", {"A"}}, {"AIN", {}}, {"PID", {"B"}}}, longLayout),
             {{DataFileProblem::TypeDefinedTwice, 5,
               "el tipo \"PID\" está definido 2 veces (registros 1, 6)"}}},
            {"partial last record",
             EncodeDataFile({{"PID", {"A"}}}, longLayout) + std::string(size - 1, 'x'),
             {{DataFileProblem::PartialLastRecord, 3, "byte "}}},
            {"list of 1001 entries is fine",
             EncodeDataFile({{"BIG", Parameters(999)}}, longLayout),
             {}},
            {"list over 1001 entries",
             EncodeDataFile({{"BIG", Parameters(1000)}, {"AIN", {}}}, longLayout),
             {{DataFileProblem::ListTooLong, 0,
               "registro 1 (byte 0): el tipo \"BIG\" tiene 1002"}}},
            // A full Key before the first header is in no list: only the stray record counts.
            {"records before the first header",
             Rec(longLayout, fullKey) + EncodeDataFile({{"PID", {}}}, longLayout),
             {{DataFileProblem::RecordsBeforeHeader, 0, "1 registro(s) antes"}}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.Name);
            const std::vector<DataFileFinding> found =
                CheckDataFile(c.Bytes, longLayout ? kLongDataLayout : kShortDataLayout);
            ASSERT_EQ(found.size(), c.Findings.size());
            for (std::size_t i = 0; i < found.size(); ++i) {
                EXPECT_EQ(found[i].Problem, c.Findings[i].Problem);
                EXPECT_EQ(found[i].Offset, c.Findings[i].Record * size);
                EXPECT_EQ(found[i].Text.rfind(c.Findings[i].TextStart, 0), 0u) << found[i].Text;
            }
        }
    }
}

}  // namespace
}  // namespace pamiro::testing
