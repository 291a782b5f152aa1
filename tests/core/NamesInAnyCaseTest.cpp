#include <gtest/gtest.h>

#include "core/Folders.h"
#include "core/NativeFile.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

const FileMap kTree{{"plnt04/plnt04.wf", "lower"},
                    {"plnt04/sub/x.s", "inner"},
                    {"TWO/A.O", "exact"},
                    {"TWO/a.O", "other"},
                    {"two/b.o", "b"},
                    {"two/B.o", "b2"},
                    {"two/c.o/f", "in a folder"},
                    {"two/C.O", "file"}};

// The exact entry decides; else the one case variant of the wanted kind (a
// folder on the way, a file at the end); two variants, or one of the wrong
// kind, are not found.
void ExpectNamesInAnyCase(const InputFolder& folder) {
    for (const auto& [path, found] : std::initializer_list<std::pair<RelativePath, std::string>>{
             {{"PLNT04", "PLNT04.WF"}, "lower"},
             {{"TWO", "A.O"}, "exact"},
             {{"two", "a.o"}, ""},
             {{"two", "B.O"}, ""},
             {{"two", "c.o"}, ""},  // a folder of that exact name decides
             {{"PLNT04", "SUB"}, ""},
             {{"Plnt04", "Sub", "x.S"}, "inner"}}) {
        SCOPED_TRACE(path.back());
        const auto file = folder.Open(path);
        std::string bytes(file ? file->Length() : 0, '\0');
        if (file) file->ReadAt(0, bytes.data(), bytes.size());
        EXPECT_EQ(bytes, found);
        EXPECT_EQ(folder.Entry(path) == EntryKind::File, !found.empty());
    }
    // A lookup tells where it stopped among variants of the wanted kind, and
    // which they are; a source is named by the path read.
    const Lookup two = folder.Find({"Two", "B.O"});
    EXPECT_EQ(two.Ambiguous ? CaseVariantsNote(*two.Ambiguous) : "",
              CaseVariantsNote({folder.PathOf({}), "Two", {"TWO", "two"}}));
    EXPECT_EQ(folder.Find({"two", "B.O"}).Ambiguous->Variants,
              (std::vector<std::string>{"B.o", "b.o"}));
    EXPECT_EQ(folder.Open({"PLNT04", "PLNT04.WF"})->Name(), folder.PathOf({"plnt04", "plnt04.wf"}));
}

TEST(NamesInAnyCase, MemoryAndDiskFoldersTakeTheOneVariantOfTheWantedKind) {
    MemoryInputFolder memory;
    memory.Files = kTree;
    ExpectNamesInAnyCase(memory);
#ifndef _WIN32  // Windows finds names in any case itself
    TempDir temp;
    WriteFiles(temp.Path() / "src", kTree);
    ExpectNamesInAnyCase(DiskInputFolder((temp.Path() / "src").string(), false));
    // Never a link below the source; in the program's folder links are followed.
    WriteFile(temp.Path() / "data/real.dat", "data");
    fs::create_symlink(temp.Path() / "data/real.dat", temp.Path() / "src/plnt04/link.s");
    fs::create_symlink(temp.Path() / "data/real.dat", temp.Path() / "data/ver51_620.dat");
    EXPECT_EQ(DiskInputFolder(temp / "src", false).Open({"PLNT04", "LINK.S"}), nullptr);
    EXPECT_EQ(DiskInputFolder(temp / "data", true).Entry({"VER51_620.DAT"}), EntryKind::File);
    EXPECT_NE(DiskInputFolder(temp / "data", true).Open({"VER51_620.DAT"}), nullptr);
    EXPECT_EQ(CaseVariants(temp / "src/two", "b.O"), (std::vector<std::string>{"B.o", "b.o"}));
    EXPECT_TRUE(CaseVariants(temp / "src/TWO", "A.O").empty());
    for (const char* path : {"d:salida", "C:x", "a\\b"}) EXPECT_TRUE(LooksLikeWindowsPath(path));
    for (const char* path : {"/mnt/c:/x", "1:x", "{:x", "~", ""})
        EXPECT_FALSE(LooksLikeWindowsPath(path));
#endif
}

}  // namespace
}  // namespace pamiro::testing
