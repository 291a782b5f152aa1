#include <gtest/gtest.h>

#include "output/DataFileText.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

const DataFileLayout& Layout(bool longLayout) {
    return longLayout ? kLongDataLayout : kShortDataLayout;
}

std::string RoundTrip(const std::string& bytes, bool longLayout) {
    const std::string text = DataFileToText(bytes, Layout(longLayout));
    DataFileBuild built = DataFileFromText(text, Layout(longLayout));
    EXPECT_TRUE(built.Errors.empty()) << built.Errors.front() << "\n" << text;
    std::string loose;  // CR LF endings and blanks around each line change nothing
    for (char c : text) loose += c == '\n' ? std::string(" \r\n\t") : std::string(1, c);
    EXPECT_EQ(DataFileFromText(loose, Layout(longLayout)).Bytes, built.Bytes);
    return built.Bytes;
}

std::string Rec(bool longLayout, const std::string& prefix, const std::string& key,
                const std::string& detail) {
    return DataRecordBytes(longLayout, prefix, key, detail);
}

// Every oddity the lookup tolerates and a hand-written text would not produce.
std::string OddFile(bool longLayout) {
    const std::size_t keyWidth = longLayout ? 16 : 12;
    const std::size_t detailWidth = longLayout ? 24 : 16;
    std::string keyWithStray("AB\0junk", 7);
    return Rec(longLayout, "", "ORPHAN", "") +  // before any header
           Rec(longLayout, "", "NAME", "PID") + Rec(longLayout, "", "TYPE", "") +
           Rec(longLayout, "", keyWithStray, "") +                // stray bytes after NUL
           Rec(longLayout, "P\x01", "MEAS", "") +                 // non-empty Prefix
           Rec(longLayout, "", "SPT", "detail") +                 // Detail outside a header
           Rec(longLayout, "", std::string(keyWidth, 'K'), "") +  // Key without NUL
           Rec(longLayout, "", " PAD ", "") +                     // blanks around a name
           Rec(longLayout, "", "a\"b\\c\xE9", "") +               // quote, backslash, Latin-1
           Rec(longLayout, "", "", "") +                          // empty record
           Rec(longLayout, "", "#X", "") +                        // looks like a comment
           Rec(longLayout, "", "NAMEX", "") +                     // header with empty type
           Rec(longLayout, "", "NAME", std::string(detailWidth, 'T')) +  // type without NUL
           Rec(longLayout, "", "TYPE", "") +
           Rec(longLayout, "", "NAME", "AIN") +  // header with no TYPE entry
           Rec(longLayout, "", "DESCRP", "") +   // its parameter
           Rec(longLayout, "", "NAME", "A B") + Rec(longLayout, "", "TYPE", "") +  // blank in type
           Rec(longLayout, "", "NAME", "C") + Rec(longLayout, "", "TYPE", "x") +   // TYPE's Detail
           Rec(longLayout, "", "NAME", "LAST") +  // header as last record
           std::string(
               "\x00\x01"
               "NAME",
               6);  // partial last record
}

TEST(DataFileText, OrdinaryFilesReadAsPlainLinesAndBuildToTheSameBytes) {
    const std::vector<TypeSpec> types{
        {"PID", {"MEAS", "SPT", "TYPE", "RAW"}}, {"DEP", {}}, {"AIN", {"DESCRP"}}};
    for (bool longLayout : {false, true}) {
        SCOPED_TRACE(longLayout);
        const std::string bytes = EncodeDataFile(types, longLayout);
        const std::string text = DataFileToText(bytes, Layout(longLayout));
        EXPECT_EQ(text.find("\nRAW \""), std::string::npos) << text;
        EXPECT_NE(text.find("\nTYPE PID\nMEAS\nSPT\nTYPE\nRAW\n\nTYPE DEP\n\nTYPE AIN\nDESCRP\n"),
                  std::string::npos)
            << text;
        EXPECT_EQ(RoundTrip(bytes, longLayout), bytes);
    }
}

TEST(DataFileText, OddRecordsSurviveTheRoundTripByteForByte) {
    for (bool longLayout : {false, true}) {
        SCOPED_TRACE(longLayout);
        const std::string bytes = OddFile(longLayout);
        EXPECT_EQ(RoundTrip(bytes, longLayout), bytes);
        // Every record the plain form cannot express is written raw, and the
        // ordinary ones stay plain even in between.
        const std::string text = DataFileToText(bytes, Layout(longLayout));
        EXPECT_NE(text.find("RAW \"\" \"ORPHAN\" \"\"\n"), std::string::npos) << text;
        EXPECT_NE(text.find("RAW \"\" \"AB\\x00junk\" \"\"\n"), std::string::npos) << text;
        EXPECT_NE(text.find("RAW \"\" \"a\\\"b\\\\c\\xE9\" \"\"\n"), std::string::npos) << text;
        EXPECT_NE(text.find("\nTYPE PID\nRAW"), std::string::npos) << text;
        EXPECT_NE(text.find("\nDESCRP\n"), std::string::npos) << text;
        EXPECT_NE(text.find("PARTIAL \"\\x00\\x01NAME\"\n"), std::string::npos) << text;
    }
}

TEST(DataFileText, RefusesTextThatWouldNotBuildWhatItSays) {
    struct Case {
        const char* Text;
        bool LongLayout;
        const char* Error;
    };
    const Case cases[] = {
        {"MEAS\n", false, "línea 1: nombre de parámetro antes del primer TYPE"},
        {"TYPE PID\nABCDEFGHIJKL\n", false,
         "línea 2: el nombre \"ABCDEFGHIJKL\" tiene 12 caracteres"},
        {"TYPE PID\nABCDEFGHIJKLMNOP\n", true, "línea 2: el nombre \"ABCDEFGHIJKLMNOP\" tiene 16"},
        {"TYPE ABCDEFGHIJKLMNOP\n", false, "línea 1: el tipo \"ABCDEFGHIJKLMNOP\" tiene 16"},
        {"TYPE PID\nNAMEX\n", false, "línea 2: el nombre \"NAMEX\" empieza por NAME"},
        {"TYPE PID\nA\xE9\n", false, "línea 2: el nombre \"A\\xE9\" lleva caracteres no válidos"},
        {"TYPE A B\n", false, "línea 1: el tipo \"A B\" lleva blancos"},
        {"FOO BAR\n", false, "línea 1: no se entiende la línea"},
        {"RAW \"\" \"A\\q\" \"\"\n", false, "línea 1: RAW: secuencia de escape no válida"},
        {"RAW \"\" \"A\\xZ0\" \"\"\n", false, "línea 1: RAW: secuencia de escape no válida"},
        {"RAW \"\" \"A\"\n", false, "línea 1: RAW: se esperaba un texto entre comillas"},
        {"RAW \"\" \"A\" \"B\n", false, "línea 1: RAW: falta la comilla de cierre"},
        {"RAW \"12345\" \"A\" \"\"\n", false, "línea 1: RAW: el prefijo tiene 5 bytes"},
        {"RAW \"\" \"1234567890123\" \"\"\n", false, "línea 1: RAW: la clave tiene 13 bytes"},
        {"RAW \"\" \"A\" \"\" x\n", false, "línea 1: RAW: sobra texto"},
        {"PARTIAL \"\"\n", false, "línea 1: PARTIAL: un registro incompleto tiene de 1 a 31 bytes"},
        {"PARTIAL x\n", false, "línea 1: PARTIAL: se esperaba un texto entre comillas"},
        {"PARTIAL \"12345678901234567890123456789012\"\n", false, "línea 1: PARTIAL: un registro"},
        {"TYPE PID\nPARTIAL \"x\"\n\n# fine\nMEAS\n", false,
         "línea 5: nada puede seguir a PARTIAL"},
        // Up to the field's width less one (its NUL): built whole.
        {"TYPE ABCDEFGHIJKLMNO\nABCDEFGHIJK\n", false, ""},
        {"TYPE ABCDEFGHIJKLMNOPQRSTUVW\nABCDEFGHIJKLMNO\n", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        const DataFileBuild built = DataFileFromText(c.Text, Layout(c.LongLayout));
        if (*c.Error == '\0') {
            EXPECT_TRUE(built.Errors.empty());
            EXPECT_NE(DataFileToText(built.Bytes, Layout(c.LongLayout)).find(c.Text),
                      std::string::npos);
            continue;
        }
        ASSERT_EQ(built.Errors.size(), 1u);
        EXPECT_EQ(built.Errors.front().rfind(c.Error, 0), 0u) << built.Errors.front();
    }
}

TEST(DataFileText, RawLinesBuildTheRecordTheyDescribe) {
    const DataFileBuild built =
        DataFileFromText("RAW \"ab\" \"NAME\\x00x\" \"T\\\\\\\"\\x2a\"\nKEY\n", kShortDataLayout);
    ASSERT_TRUE(built.Errors.empty()) << built.Errors.front();
    // A raw header opens a type, so plain names may follow it.
    EXPECT_EQ(built.Bytes,
              Rec(false, "ab", std::string("NAME\0x", 6), "T\\\"*") + Rec(false, "", "KEY", ""));
}

}  // namespace
}  // namespace pamiro::testing
