#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/mount.h>
#endif

#include <cerrno>
#include <cstring>

#include "readers/RobustnessChecks.h"

namespace pamiro::testing {
namespace {

const std::vector<TypeSpec> kTypes{{"AIN", {"DESCRP", "PERIOD"}}, {"DEP", {"DESCRP"}}};

CompoundSpec Compound(const std::string& name, int blocks) {
    CompoundSpec compound{name, std::nullopt, {}, {}};
    for (int i = 0; i < blocks; ++i) {
        compound.Blocks.push_back({"B" + std::to_string(i), i == 0 ? "DEP" : "AIN",
                                   {std::string(40, 'v'), std::to_string(i)}});
    }
    compound.Sources["B0"] = "sequence\r\n";
    return compound;
}

// A destination file that cannot be written stops the run with a critical
// message naming it; the run never ends as a success and the window comes back.
class Fault : public ::testing::Test {
protected:
    void SetUp() override {
        ws.WriteDataFiles(kTypes);
        WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, {Compound("C1", 3), Compound("C2", 3)}});
    }

    void ExpectFailureNaming(const Workspace::Result& result, const std::string& file) {
        ExpectCleanEnd(result, ws.Out(), "CP0001");
        EXPECT_TRUE(result.Job->Report.Failed);
        ASSERT_FALSE(result.Host.Messages.empty());
        const RecordedMessage& last = result.Host.Messages.back();
        EXPECT_EQ(last.Icon, MessageIcon::Critical);
        EXPECT_EQ(last.Title, "Pamiro - Destino");
        EXPECT_NE(last.Text.find(file), std::string::npos) << last.Text;
    }

    Workspace ws;
    UntouchedFolders untouched{ws};
};

struct Blocked {
    const char* File;
    int Destination;
};
const Blocked kEveryOutputFile[] = {{"cmp_list", 0}, {"src_list", 0}, {"cmp0001", 0},
                                    {"cmp0002", 0},  {"src0001", 0},  {"src0002", 0},
                                    {"CP0001.cmd", 1}};

TEST_F(Fault, AFolderInThePlaceOfAnyOutputFileFailsTheRun) {
    for (const Blocked& blocked : kEveryOutputFile) {
        SCOPED_TRACE(blocked.File);
        fs::remove_all(ws.Out());
        fs::create_directories(ws.Out() / blocked.File);
        untouched.Take();
        const auto result = ws.Run("CP0001", 1, kSourceWorkingFile, blocked.Destination);
        ExpectFailureNaming(result, blocked.File);
        untouched.ExpectUnchanged();
    }
}

TEST_F(Fault, AFullDiskUnderAnyOutputFileFailsTheRun) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    for (int source : {kSourceWorkingFile, kSourceSaveAll}) {
        if (source == kSourceSaveAll) {
            fs::remove_all(ws.Src());
            WriteSaveAll(ws.Src(), {{Compound("C1", 3), Compound("C2", 3)}, {}, std::nullopt});
        }
        for (const Blocked& blocked : kEveryOutputFile) {
            SCOPED_TRACE(std::string(blocked.File) + (source == 0 ? " wf" : " sa"));
            fs::remove_all(ws.Out());
            fs::create_directories(ws.Out());
            fs::create_symlink("/dev/full", ws.Out() / blocked.File);
            const auto result = ws.Run("CP0001", 1, source, blocked.Destination);
            ExpectFailureNaming(result, blocked.File);
        }
    }
}

TEST_F(Fault, ADestinationThatIsAFileFailsTheRun) {
    fs::remove_all(ws.Out());
    WriteFile(ws.Out(), "not a folder");
    for (int destination = 0; destination < 2; ++destination) {
        const auto result = ws.Run("CP0001", 1, kSourceWorkingFile, destination);
        ExpectFailureNaming(result, destination == 0 ? "cmp_list" : "CP0001.cmd");
    }
    EXPECT_EQ(ReadFile(ws.Out()), "not a folder");
}

#ifndef _WIN32  // mounts a tmpfs
// A real file system that fills up in the middle of a run. Mounting needs
// privileges that a test machine may not grant: the test then skips.
class SmallDisk {
public:
    explicit SmallDisk(const fs::path& folder) : folder_(folder) {
        fs::create_directories(folder);
        mounted_ = mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=64k") == 0;
        if (!mounted_) error_ = std::strerror(errno);
    }
    ~SmallDisk() {
        if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }
    const std::string& Error() const { return error_; }

private:
    fs::path folder_;
    bool mounted_ = false;
    std::string error_;
};

TEST_F(Fault, ADiskThatFillsUpDuringTheRunFailsIt) {
    fs::remove_all(ws.Src());
    std::vector<CompoundSpec> compounds;
    for (int c = 0; c < 40; ++c) compounds.push_back(Compound("C" + std::to_string(c), 40));
    WriteWorkingFile(ws.Src(), {"CP0001", "R001", 1, compounds});
    for (int destination = 0; destination < 2; ++destination) {
        SCOPED_TRACE(destination);
        fs::remove_all(ws.Out());
        SmallDisk disk(ws.Out());
        if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a small tmpfs here: " << disk.Error();
        untouched.Take();
        const auto result = ws.Run("CP0001", 1, kSourceWorkingFile, destination);
        ExpectCleanEnd(result, ws.Out(), "CP0001");
        EXPECT_TRUE(result.Job->Report.Failed);
        ASSERT_FALSE(result.Host.Messages.empty());
        EXPECT_EQ(result.Host.Messages.back().Title, "Pamiro - Destino");
        untouched.ExpectUnchanged();
    }
}
#endif

}  // namespace
}  // namespace pamiro::testing
