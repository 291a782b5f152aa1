#include <gtest/gtest.h>

#include <random>

#include "core/FileTable.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

// Reads at jumping offsets and sizes, near and across the end of the file,
// give the file's bytes and zeros past its end, whatever was read before.
TEST(InputFileReads, AnyOffsetAndSizeGiveTheFilesBytesThenZeros) {
    TempDir temp;
    std::mt19937 random(7);
    std::string bytes(200 * 1024 + 17, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    WriteFile(temp / "input", bytes);

    FileTable files;
    const int handle = files.OpenInput(temp / "input");
    ASSERT_NE(handle, 0);
    InputFile& file = files.Input(handle);
    EXPECT_EQ(file.Length(), bytes.size());
    for (int i = 0; i < 3000; ++i) {
        const std::uint64_t offset = random() % (bytes.size() + 10000);
        const std::size_t size = i % 50 == 0 ? 70000 + random() % 70000 : random() % 6000;
        std::string got(size, 'x');
        const bool sequential = i % 3 == 0;
        if (sequential) {
            file.Seek(offset);
            file.Read(got.data(), size);
        } else {
            file.ReadAt(offset, got.data(), size);
        }
        std::string expected(size, '\0');
        if (offset < bytes.size()) {
            expected.replace(0, std::min<std::size_t>(size, bytes.size() - offset),
                             bytes.substr(offset, size));
        }
        ASSERT_EQ(got, expected) << "offset " << offset << " size " << size;
        EXPECT_EQ(file.Position(), offset + size);
    }
    EXPECT_TRUE(file.AtEnd());
}

TEST(InputFileReads, TheEndIsSeenOnlyOnceAReadComesUpShort) {
    TempDir temp;
    WriteFile(temp / "input", std::string(96, 'a'));
    FileTable files;
    InputFile& file = files.Input(files.OpenInput(temp / "input"));
    char entry[48];
    file.Read(entry, sizeof entry);
    file.Read(entry, sizeof entry);
    EXPECT_FALSE(file.AtEnd());
    file.Read(entry, sizeof entry);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_EQ(std::string(entry, sizeof entry), std::string(48, '\0'));
}

TEST(OutputFileWrites, LinesOfEverySizeArriveWholeAndInOrder) {
    TempDir temp;
    FileTable files;
    const int handle = files.CreateOutput(temp / "out");
    std::string expected;
    for (std::size_t size : {0u, 1u, 100u, 65534u, 65535u, 65536u, 200000u, 3u}) {
        const std::string line(size, static_cast<char>('a' + size % 26));
        files.Output(handle).WriteLine(line);
        expected += line + "\r\n";
    }
    for (int i = 0; i < 20000; ++i) {
        files.Output(handle).WriteLine("line " + std::to_string(i));
        expected += "line " + std::to_string(i) + "\r\n";
    }
    files.Close(handle);
    EXPECT_EQ(ReadFile(temp.Path() / "out"), expected);
}

TEST(OutputFileWrites, AQuietCloseStillKeepsWhatWasWritten) {
    TempDir temp;
    FileTable files;
    files.Output(files.CreateOutput(temp / "out")).WriteLine("kept");
    files.CloseAll();
    EXPECT_EQ(ReadFile(temp.Path() / "out"), "kept\r\n");
}

TEST(OutputFileWrites, AFullDeviceFailsAtTheLatestWhenTheFileIsClosed) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    for (std::size_t size : {1u, 100000u}) {
        FileTable files;
        const int handle = files.CreateOutput("/dev/full");
        try {
            files.Output(handle).WriteLine(std::string(size, 'x'));
            files.Close(handle);
            ADD_FAILURE() << "a write to a full device succeeded, size " << size;
        } catch (const DestinationWriteError& error) {
            EXPECT_EQ(error.Path(), "/dev/full");
        }
        files.CloseAll();
    }
}

}  // namespace
}  // namespace pamiro::testing
