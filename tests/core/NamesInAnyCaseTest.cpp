#include <gtest/gtest.h>

#include "core/Folders.h"
#include "core/NativeFile.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

std::string ReadAll(ByteSource& file) {
    std::string bytes(file.Length(), '\0');
    file.ReadAt(0, bytes.data(), bytes.size());
    return bytes;
}

// The exact entry decides; else the one case variant of the wanted kind (a
// folder on the way, a file at the end); two variants, or only one of the
// wrong kind, are not found.
struct Lookup {
    RelativePath Path;
    std::string Found;  // what Open reads; empty: not found
};
const Lookup kLookups[] = {
    {{"plnt04", "plnt04.wf"}, "lower"},
    {{"PLNT04", "PLNT04.WF"}, "lower"},
    {{"TWO", "A.O"}, "exact"},
    {{"two", "a.o"}, ""},
    {{"two", "B.O"}, ""},
    {{"PLNT04", "SUB"}, ""},
    {{"Plnt04", "Sub", "x.s"}, "inner"},
};

TEST(NamesInAnyCase, MemoryFolderTakesTheOneVariantOfTheWantedKind) {
    MemoryInputFolder folder;
    folder.Files = {{"plnt04/plnt04.wf", "lower"},
                    {"plnt04/sub/x.s", "inner"},
                    {"TWO/A.O", "exact"},
                    {"TWO/a.O", "other"},
                    {"two/b.o", "b"},
                    {"two/B.o", "b2"}};
    for (const Lookup& c : kLookups) {
        SCOPED_TRACE(c.Path.back());
        const auto file = folder.Open(c.Path);
        EXPECT_EQ(file ? ReadAll(*file) : "", c.Found);
        EXPECT_EQ(folder.Entry(c.Path) == EntryKind::File, !c.Found.empty());
    }
}

#ifndef _WIN32
TEST(NamesInAnyCase, DiskFolderTakesTheOneVariantAndNeverALinkBelowTheSource) {
    TempDir temp;
    WriteFile(temp.Path() / "src/plnt04/plnt04.wf", "lower");
    WriteFile(temp.Path() / "src/plnt04/sub/x.s", "inner");
    WriteFile(temp.Path() / "src/TWO/A.O", "exact");
    WriteFile(temp.Path() / "src/TWO/a.O", "other");
    WriteFile(temp.Path() / "src/two/b.o", "b");
    WriteFile(temp.Path() / "src/two/B.o", "b2");
    WriteFile(temp.Path() / "data/real.dat", "data");
    fs::create_symlink(temp.Path() / "data/real.dat", temp.Path() / "src/plnt04/link.s");
    fs::create_symlink(temp.Path() / "data/real.dat", temp.Path() / "data/ver51_620.dat");
    const DiskInputFolder source((temp.Path() / "src").string(), false);
    for (const Lookup& c : kLookups) {
        SCOPED_TRACE(c.Path.back());
        const auto file = source.Open(c.Path);
        EXPECT_EQ(file ? ReadAll(*file) : "", c.Found);
        EXPECT_EQ(source.Entry(c.Path) == EntryKind::File, !c.Found.empty());
    }
    EXPECT_EQ(source.Open({"PLNT04", "LINK.S"}), nullptr);
    // The program's folder follows links, in any case too.
    const DiskInputFolder program((temp.Path() / "data").string(), true);
    EXPECT_EQ(program.Entry({"VER51_620.DAT"}), EntryKind::File);
    EXPECT_EQ(ReadAll(*program.Open({"VER51_620.DAT"})), "data");
    EXPECT_EQ(CaseVariants((temp.Path() / "src/two").string(), "b.O"),
              (std::vector<std::string>{"B.o", "b.o"}));
    EXPECT_TRUE(CaseVariants((temp.Path() / "src/TWO").string(), "A.O").empty());
    for (const auto& [path, windows] :
         std::initializer_list<std::pair<const char*, bool>>{{"C:\\datos", true},
                                                             {"d:salida", true},
                                                             {"a\\b", true},
                                                             {"/mnt/c:/x", false},
                                                             {"salida", false}}) {
        EXPECT_EQ(LooksLikeWindowsPath(path), windows) << path;
    }
}
#endif

}  // namespace
}  // namespace pamiro::testing
