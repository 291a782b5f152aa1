#include <gmock/gmock.h>
#include <gtest/gtest.h>
#ifndef _WIN32  // links, FIFOs and file size limits: POSIX only
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <csignal>
#include <functional>
#include <random>

#include "core/FileError.h"
#include "core/FileTable.h"
#include "core/Paths.h"
#include "core/SourceTree.h"
#include "core/Text.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

TEST(Text, TrimCutAndFieldsHandleBlanksNulsAndTheBufferEnd) {
    EXPECT_EQ(TrimBlanks("  a b \t "), "a b \t");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(CutAtNul(std::string(" ab \0cd", 7)), "ab");
    EXPECT_EQ(CutAtNul(" whole "), "whole");
    NulFields fields(std::string_view(" x \0\0y  z\0tail", 14));
    for (const char* want : {"x", "", "y  z", "tail", "", ""}) EXPECT_EQ(fields.Next(), want);
    std::string text = "a\rb\nc\r\n";
    EXPECT_TRUE(BlankLineBreaks(text));
    EXPECT_EQ(text, "a b c  ");
    EXPECT_FALSE(BlankLineBreaks(text));
    // Not UTF-8, so read as Latin-1: an overlong form, bad continuations, a lead past U+10FFFF.
    EXPECT_EQ(
        DisplayText("\xE0\xA0\x80|\xE0\x80\x80|\xE2\x82\x41|\xE2\x82\xC3\xA9|\xF5\x80\x80\x80"),
        "\xE0\xA0\x80|à\xC2\x80\xC2\x80|â\xC2\x82\x41|â\xC2\x82é|õ\xC2\x80\xC2\x80\xC2\x80");
    EXPECT_EQ(Utf8ToLatin1("\xC4\x80\xFF\xC3\xBF"), "??\xFF");
    // UTF-8 (a surrogate is none, nor past U+10FFFF) is kept; Latin-1 what it can hold.
    EXPECT_EQ(
        DisplayText("\xC3\xB3\xD1|\xE2\x82\xAC \xED\xA0\x80|\xF0\x9F\x98\x80\xF4\x90\x80\x80|\xC3"),
        "óÑ|€ í\xC2\xA0\xC2\x80|😀ô\xC2\x90\xC2\x80\xC2\x80|Ã");
    EXPECT_EQ(Utf8ToLatin1("óÑ|€ À¯|😀ô"), "\xF3\xD1|? \xC0\xAF|?\xF4");
    // Disk labels as udev spells them.
    EXPECT_EQ(
        UnescapeHexBytes("Mi\\x20disco \\x2f\\x2F \\x4g\\xg4 \\x4") + UnescapeHexBytes("\\x4a"),
        "Mi disco // \\x4g\\xg4 \\x4J");
}

TEST(Paths, NamesFromSourcesStayInsideTheirFolder) {
    for (const char* bad : {"", ".", "..", "a/b", "a\\b", "/", "\\x"})
        EXPECT_FALSE(IsSafeFileName(bad)) << bad;
    EXPECT_FALSE(IsSafeFileName(std::string("a\0b", 3)));
    for (const char* good : {"UNIT01", "..s", ".x", "a b", "ñ"})
        EXPECT_TRUE(IsSafeFileName(good)) << good;
#ifdef _WIN32
    const std::string sep = "\\";
#else
    const std::string sep = "/";
#endif
    EXPECT_EQ(JoinPath(StripTrailingSeparator("/"), "cmp_list"), sep + "cmp_list");
    EXPECT_EQ(JoinPath(StripTrailingSeparator("/tmp/out/"), "x"), "/tmp/out" + sep + "x");
    EXPECT_EQ(StripTrailingSeparator("C:\\"), "C:");
}

TEST(ByteSource, FileAndMemoryReadTheSameBytesAnywhereZeroFilledPastTheEnd) {
    TempDir temp;
    std::mt19937 random(3);
    std::string bytes(200000, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    WriteFile(temp.Path() / "f", bytes);
    const DiskInputFolder folder(temp.Path().string(), false);
    const auto file = folder.Open({"f"});
    ASSERT_TRUE(file);
    MemorySource memory("m", bytes);
    EXPECT_EQ(file->Length(), bytes.size());
    std::string a(70000, 'a'), b(70000, 'b');
    for (int i = 0; i < 300; ++i) {
        const std::uint64_t offset = i % 10 == 0 ? (1ull << 31) : random() % 210000;
        const std::size_t size = i % 7 == 0 ? 70000 : random() % 6000;
        file->ReadAt(offset, a.data(), size);
        memory.ReadAt(offset, b.data(), size);
        ASSERT_EQ(a.substr(0, size), b.substr(0, size)) << offset << " " << size;
    }
    memory.ReadAt(bytes.size() - 2, b.data(), 4);
    EXPECT_EQ(b.substr(0, 4), bytes.substr(bytes.size() - 2) + std::string(2, '\0'));
    // A file that shrinks while it is read reads as its new length.
    const auto shrinking = folder.Open({"f"});
    fs::resize_file(temp.Path() / "f", 1000);
    shrinking->ReadAt(900, a.data(), 200);
    EXPECT_EQ(a.substr(0, 200), bytes.substr(900, 100) + std::string(100, '\0'));
}

#ifndef _WIN32
TEST(DiskFolders, LinksBelowTheSourceFolderCountAsMissingTheFolderItselfMayBeOne) {
    TempDir temp;
    const fs::path src = temp.Path() / "src", outside = temp.Path() / "outside";
    WriteFile(outside / "secret", "secret");
    WriteFile(src / "CP" / "CP.wf", "R001");
    WriteFile(src / ".Compound_Dir", "");
    fs::create_symlink(outside / "secret", src / "CP" / "CP.O");
    fs::create_directory_symlink(outside, src / "LINKED");
    fs::create_directory_symlink(src, temp.Path() / "src-link");
    ASSERT_EQ(mkfifo((src / "CP" / "fifo").c_str(), 0600), 0);
    const DiskInputFolder folder((temp.Path() / "src-link").string(), false);
    EXPECT_EQ(folder.Entry({"CP", "fifo"}), EntryKind::Other);
    EXPECT_EQ(folder.Entry({"CP", "CP.wf", "x"}), EntryKind::Other);
    EXPECT_FALSE(folder.Open({"CP", "fifo"}));
    EXPECT_EQ(folder.Entry({"CP", "CP.wf"}), EntryKind::File);
    EXPECT_EQ(folder.Entry({".Compound_Dir"}), EntryKind::File);
    EXPECT_EQ(folder.Entry({"CP", "CP.O"}), EntryKind::Link);
    EXPECT_EQ(folder.Entry({"LINKED", "secret"}), EntryKind::Link);
    EXPECT_EQ(folder.Entry({"CP"}), EntryKind::Folder);
    EXPECT_EQ(folder.Entry({"CP", "none"}), EntryKind::Missing);
    EXPECT_TRUE(folder.Open({"CP", "CP.wf"}));
    EXPECT_FALSE(folder.Open({"CP", "CP.O"}));
    EXPECT_FALSE(folder.Open({"LINKED", "secret"}));
    EXPECT_FALSE(folder.Open({"CP"}));
    auto entries = folder.Entries();
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries,
              (std::vector<std::pair<std::string, EntryKind>>{{".Compound_Dir", EntryKind::File},
                                                              {"CP", EntryKind::Folder},
                                                              {"LINKED", EntryKind::Link}}));
    // The window lists links to folders with the folders; "/" stays itself.
    EXPECT_THAT(VisibleSubfolders(src.string()), ::testing::UnorderedElementsAre("CP", "LINKED"));
    EXPECT_EQ(AbsoluteFolder("/") + "|" + AbsoluteFolder("/tmp/./x//"), "/|/tmp/x");
    // The program's own folder follows links.
    EXPECT_TRUE(DiskInputFolder(src.string(), true).Open({"LINKED", "secret"}));
    for (const bool follow : {false, true}) {  // a chosen "/", held as "" (StripTrailingSeparator)
        const DiskInputFolder root("", follow);
        EXPECT_TRUE(root.Entry({}) == EntryKind::Folder &&
                    root.Entry({"tmp"}) == EntryKind::Folder && !root.Entries().empty());
    }
}

TEST(DiskFolders, OutputNeverWritesThroughALinkOrIntoAnotherName) {
    TempDir temp;
    const fs::path out = temp.Path() / "out", outside = temp.Path() / "outside";
    fs::create_directories(out);
    WriteFile(outside / "target", "keep");
    WriteFile(outside / "hard", "keep");
    fs::create_symlink(outside / "target", out / "linked");
    fs::create_symlink(outside / "new-file", out / "dangling");
    fs::create_hard_link(outside / "hard", out / "hard");
    WriteFile(out / "plain", "old contents");
    DiskOutputFolder folder(out.string());
    FileTable files;
    for (const char* name : {"linked", "dangling", "hard", "plain"}) {
        files.Create(folder, name).WriteLine(name);
    }
    files.CloseAll();
    for (const char* name : {"linked", "dangling", "hard", "plain"}) {
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / name))) << name;
        EXPECT_EQ(ReadFile(out / name), std::string(name) + "\r\n");
    }
    EXPECT_EQ(ReadFile(outside / "target"), "keep");
    EXPECT_EQ(ReadFile(outside / "hard"), "keep");
    EXPECT_FALSE(fs::exists(outside / "new-file"));
    fs::create_directories(out / "folder");
    WriteFile(out / "full" / "x", "");
    ASSERT_EQ(mkfifo((out / "fifo").c_str(), 0600), 0);
    for (const auto& [step, reason] : std::vector<std::pair<std::function<void()>, std::string>>{
             {[&] { files.Create(folder, "folder"); }, "es una carpeta"},
             {[&] { files.Create(folder, "fifo"); }, "no es un archivo normal"},
             {[&] { files.Create(folder, "none/x"); }, "no existe el archivo o la carpeta"},
             {[&] { files.Create(folder, std::string(300, 'n')); }, "nombre demasiado largo"},
             {[&] { folder.MakeFolder("folder"); }, "ya existe"},
             {[&] { folder.MakeFolder("none/x"); }, "no existe el archivo o la carpeta"},
             {[&] { folder.Rename("none", "x"); }, "no existe el archivo o la carpeta"},
             {[&] { folder.Rename("folder", "full"); },
              "error del sistema " + std::to_string(ENOTEMPTY)}}) {
        std::string text = "no refusal";
        try {
            step();
        } catch (const FileError& error) {
            text = ErrorText(error.ErrorNumber());
        }
        EXPECT_EQ(text, reason);
    }
}

TEST(FileTable, LostOutputIsReportedByTheStepThatLosesIt) {
    TempDir temp;
    DiskOutputFolder folder(temp.Path().string());
    FileTable files;
    // A file size limit makes the system refuse the bytes, as a full disk does.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 1000;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    // Written at once, when the buffer fills, or at close; never closed quietly.
    for (const auto& [size, failing] : {std::pair{100000, 0}, {40000, 1}, {2000, 2}}) {
        OutputFile& big = files.Create(folder, "big");
        int step = 0;
        try {
            big.Write(std::string(size, 'x'));
            ++step;
            big.Write(std::string(size, 'x'));
            ++step;
            files.Close(&big);
            ++step;
        } catch (const FileError& error) {
            EXPECT_EQ(error.Path(), (temp.Path() / "big").string());
            EXPECT_EQ(error.WhatFailed(), FileError::Kind::Write);
        }
        EXPECT_EQ(step, failing) << size;
        files.CloseAll();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
}

#endif  // _WIN32

}  // namespace
}  // namespace pamiro::testing
