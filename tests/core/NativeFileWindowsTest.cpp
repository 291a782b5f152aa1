// Windows only: what a file is, how names become paths, and what is written.
#include <gtest/gtest.h>
#include <windows.h>

#include <cerrno>

#include "core/NativeFile.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

// Made through the wide calls and named by code-page bytes, as the engine names them.
fs::path Make(const fs::path& folder, const std::string& name, const std::string& bytes,
              DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const fs::path path = folder / NativePath(name);
    WriteFile(path, bytes);
    EXPECT_TRUE(SetFileAttributesW(path.c_str(), attributes));
    return path;
}

class WindowsFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        Make(temp.Path(), "plain", "0123456789");
        Make(temp.Path(), "parameters", "hidden", FILE_ATTRIBUTE_HIDDEN);
        Make(temp.Path(), "DEP.s", "system", FILE_ATTRIBUTE_SYSTEM);
        Make(temp.Path(), "\xE1rbol", "code page");  // "arbol" with a-acute in code page 1252
        fs::create_directories(temp.Path() / "sub");
        Make(temp.Path() / "sub", "inner", "inner");
    }
    TempDir temp;
    const std::string root = PathBytes(temp.Path());
};

TEST_F(WindowsFiles, OnlyPlainVisibleFilesCountAndNoPartLeavesItsFolder) {
    std::string slashed = root;
    for (char& c : slashed) c = c == '\\' ? '/' : c;
    const struct {
        std::string Root;
        std::vector<std::string> Parts;
        EntryKind Kind;
    } cases[] = {
        {root, {"plain"}, EntryKind::File},
        {root, {"parameters"}, EntryKind::Other},
        {root, {"DEP.s"}, EntryKind::Other},
        {root, {"\xE1rbol"}, EntryKind::File},
        {root, {"sub"}, EntryKind::Folder},
        {root, {"sub", "inner"}, EntryKind::File},
        {slashed + "/", {"sub", "inner"}, EntryKind::File},
        {root, {"sub\\inner"}, EntryKind::Missing},
        {root, {"sub/inner"}, EntryKind::Missing},
        {root + "\\sub", {"..\\plain"}, EntryKind::Missing},
        {root + "\\sub", {"..", "plain"}, EntryKind::Missing},
        {root, {"plain."}, EntryKind::Missing},
        {root, {"plain", "x"}, EntryKind::Other},
        {root, {"missing"}, EntryKind::Missing},
        {root, {}, EntryKind::Folder},
        {root + "\\parameters", {}, EntryKind::Other},
        {"C:", {"windows"}, EntryKind::Folder},
        {"c:\\", {"windows"}, EntryKind::Folder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Root + " " + (c.Parts.empty() ? "" : c.Parts.back()));
        EXPECT_EQ(EntryBelow(c.Root, c.Parts), c.Kind);
    }
}

TEST_F(WindowsFiles, ReadingOpensOnlyFilesAndMapsTheErrors) {
    const struct {
        std::vector<std::string> Parts;
        int Error;  // 0: opens
    } cases[] = {
        {{"plain"}, 0},
        {{"\xE1rbol"}, 0},
        {{"parameters"}, EINVAL},
        {{"missing"}, ENOENT},
        {{"sub"}, EISDIR},
        {{"sub\\inner"}, ENOENT},
        {{"plain", "x"}, ENOTDIR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Parts.back());
        int error = 0;
        const auto file = NativeFile::OpenForReading(root, c.Parts, false, error);
        EXPECT_EQ(file != nullptr, c.Error == 0);
        EXPECT_EQ(error, c.Error);
    }
    int error = 0;
    const auto file = NativeFile::OpenForReading(root, {"plain"}, false, error);
    ASSERT_NE(file, nullptr);
    char buffer[16] = {};
    EXPECT_EQ(file->ReadAt(4, buffer, sizeof buffer), 6);
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(file->ReadAt(10, buffer, sizeof buffer), 0);
    EXPECT_EQ(file->Length(), 10u);
}

TEST_F(WindowsFiles, WritesTheBytesAsGivenAndNeverThroughAnotherName) {
    const fs::path shared = Make(temp.Path(), "shared", "other name");
    const std::string linked = root + "\\linked";
    ASSERT_TRUE(CreateHardLinkW(NativePath(linked).c_str(), shared.c_str(), nullptr));
    for (const std::string name : {"plain", "new\xF1", "linked"}) {
        SCOPED_TRACE(name);
        int error = 0;
        auto file = NativeFile::CreateForWriting(root + "\\" + name, error);
        ASSERT_NE(file, nullptr) << error;
        EXPECT_TRUE(file->Write("A\r\nB\n", 5));
        EXPECT_TRUE(file->Close());
        EXPECT_EQ(ReadFile(temp.Path() / NativePath(name)), "A\r\nB\n");
    }
    EXPECT_EQ(ReadFile(shared), "other name");

    const struct {
        std::string Path;
        int Error;
    } failures[] = {{root + "\\missing\\x", ENOENT}, {root + "\\sub", EISDIR}};
    for (const auto& f : failures) {
        int error = 0;
        EXPECT_EQ(NativeFile::CreateForWriting(f.Path, error), nullptr) << f.Path;
        EXPECT_EQ(error, f.Error) << f.Path;
    }
}

TEST(WindowsConversion, HiddenParametersAndSystemSourcesAreMissingCodePageNamesAreFound) {
    Workspace ws;
    ws.WriteDataFiles({{"DEP", {"DESCRP"}}});
    WriteFile(ws.Data() / "DEP_base.s", "base");
    const CompoundSpec c1{"C1", std::nullopt, {{"S1", "DEP", {"x"}}}, {{"S1", "own"}}};
    const CompoundSpec other{"N", std::nullopt, {{"B", "DEP", {"y"}}}, {}};
    WriteSaveAll(ws.Src(), {{c1, other, {"HID", std::nullopt, {}, {}}}, {}, std::nullopt});
    fs::rename(ws.Src() / "N", ws.Src() / NativePath("\xF1"));
    SetFileAttributesW((ws.Src() / "HID" / "parameters").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesW((ws.Src() / "C1" / "S1.s").c_str(), FILE_ATTRIBUTE_SYSTEM);
    const auto result = ws.Run("CP0001", 1, IndexOf(SourceKind::SaveAll), 0);
    EXPECT_FALSE(result.Job->Report.Failed);
    EXPECT_EQ(ws.OutFile("cmp_list"), "C1 1\r\n\xF1 2\r\n");
    EXPECT_EQ(ws.OutFile("src0001"), "base");
}

}  // namespace
}  // namespace pamiro::testing
