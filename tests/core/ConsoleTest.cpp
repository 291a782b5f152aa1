#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/Console.h"

namespace pamiro::testing {
namespace {

// What a console would get: one entry per write call.
struct RecordingConsole {
    std::vector<std::u16string> Writes;
    ConsoleLines Lines{[this](std::u16string_view line) { Writes.emplace_back(line); }};
};

TEST(ConsoleLines, EachLineReachesTheConsoleWholeInOneWriteAsUtf16) {
    struct Case {
        const char* Name;
        std::vector<std::string> Pieces;  // one Write each
        std::vector<std::u16string> Want;
    };
    const Case cases[] = {
        {"a message written in four pieces",
         {"Pamiro - Working File", ": ", "Falta la versión", "\n"},
         {u"Pamiro - Working File: Falta la versión\n"}},
        {"a character cut between two writes",
         {"valor no v\xC3", "\xA1lido\n"},
         {u"valor no v\u00E1lido\n"}},
        {"two lines in one write", {"línea\nórdenes\n"}, {u"l\u00EDnea\n", u"\u00F3rdenes\n"}},
        {"a name's byte that is no UTF-8 is Latin-1",
         {"Compuesto A\xF1O\n"},
         {u"Compuesto A\u00F1O\n"}},
        {"beyond the basic plane: a surrogate pair", {"\xF0\x9F\x98\x80\n"}, {u"\U0001F600\n"}},
        {"an empty line", {"\n"}, {u"\n"}},
        {"no line end yet: nothing written", {"[1/3] en curso: ", "SMPL01"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        RecordingConsole console;
        for (const std::string& piece : c.Pieces) console.Lines.Write(piece);
        EXPECT_EQ(console.Writes, c.Want);
    }
}

TEST(ConsoleLines, FlushWritesAPartialLineOnceAndTheRestFollowsAsALine) {
    RecordingConsole console;
    console.Lines.Write("\r\x1b[KSMPL01:BLK");
    console.Lines.Flush();
    console.Lines.Flush();
    EXPECT_FALSE(console.Lines.Pending());
    console.Lines.Write("\r\x1b[KPamiro: Conversión terminada\ncola");
    const std::vector<std::u16string> want = {u"\r\x1b[KSMPL01:BLK",
                                              u"\r\x1b[KPamiro: Conversi\u00F3n terminada\n"};
    EXPECT_EQ(console.Writes, want);
    EXPECT_TRUE(console.Lines.Pending());
}

TEST(ConsoleLines, Utf16OfEveryLengthOfSequence) {
    EXPECT_EQ(Utf16Of("a\xC3\xB1\xE2\x82\xAC\xF0\x9F\x98\x80z"), u"a\u00F1\u20AC\U0001F600z");
    EXPECT_EQ(Utf16Of(""), u"");
}

}  // namespace
}  // namespace pamiro::testing
