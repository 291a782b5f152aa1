#include <gtest/gtest.h>

#include "output/OutputFormats.h"

namespace pamiro {
namespace {

TEST(OutputFormats, RunningNumbersHaveAtLeastFourDigitsAndNoUpperLimit) {
    EXPECT_EQ(NumberedFileName("cmp", 1), "cmp0001");
    EXPECT_EQ(NumberedFileName("src", 9999), "src9999");
    EXPECT_EQ(NumberedFileName("cmp", 10000), "cmp10000");
    EXPECT_EQ(NumberedFileName("cmp", 32768), "cmp32768");  // past a 16-bit counter
    EXPECT_EQ(CompoundListLine("C1", 10000), "C1 10000");
    EXPECT_EQ(SourceListLine("C1", "S1", 32768), "C1:S1 32768");
}

TEST(OutputFormats, ParameterLinesLineUpValuesInColumnEleven) {
    EXPECT_EQ(FoxParameterLine("A", "v"), "A        >v");
    EXPECT_EQ(FoxParameterLine("ABCDEFGHI", ""), "ABCDEFGHI>");
    EXPECT_EQ(FoxParameterLine("ABCDEFGHIJ", "v"), "ABCDEFGHIJ>v");
    EXPECT_EQ(FoxNameLine("B1"), "NAME     >B1");
    EXPECT_EQ(FoxTypeLine("AIN"), "TYPE     >AIN");
    EXPECT_EQ(FoxRevisionLine("R001"), "**** Revision Code R001");
}

TEST(OutputFormats, ScriptLinesAddTheCompoundPrefixOnlyForOtherBlocks) {
    EXPECT_EQ(IccAddLine("C1", "C1"), "ADD C1");
    EXPECT_EQ(IccAddLine("C1", "B1"), "ADD C1:B1");
    EXPECT_EQ(IccAddLine("C1", "c1"), "ADD C1:c1");
    EXPECT_EQ(IccTypeLine("AIN"), "  TYPE = AIN");
    EXPECT_EQ(IccParameterLine("P2", ""), "  P2  = ");
    EXPECT_EQ(IccOpenLine("CP6001"), "OPEN CP6001 ALL PAMIRO");
    EXPECT_EQ(IccCloseLine("CP6001"), "CLOSE CP6001");
}

}  // namespace
}  // namespace pamiro
