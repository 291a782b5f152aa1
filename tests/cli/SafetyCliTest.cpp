#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <map>

#include "run/Staging.h"
#include "support/RunCli.h"
#include "support/Workspace.h"

namespace pamiro::testing {
namespace {

using Args = std::vector<std::string>;

class SafetyCli : public ::testing::Test {
  protected:
    void SetUp() override {
        ws.WriteDataFiles({{"AIN", {"DESCRP"}}});
        for (const char* cp : {"CPA001", "CPB001", "CPC001"}) {
            std::vector<CompoundSpec> compounds;
            for (int c = 0; c < 3; ++c) {
                CompoundSpec compound{cp + std::to_string(c), std::nullopt, {}, {}};
                for (int b = 0; b < 40; ++b)
                    compound.Blocks.push_back({"B" + std::to_string(b), "AIN", {"v"}});
                compounds.push_back(compound);
            }
            WriteWorkingFile(ws.Src(), {cp, "R001", 1, compounds});
        }
    }
    Args Convert(const std::string& cp = "CPA001") const {
        return Words("convert --platform aw51 --ia-version 620 --source wf --dest foxcae",
                     {"--cp", cp, "--from", ws.Src().string(), "--to", to.string(), "--data-dir",
                      ws.Data().string()});
    }
    Args Batch() const {
        return Words(
            "batch --platform aw51 --ia-version 620 --dest foxcae --jobs 1",
            {"--from", ws.Src().string(), "--to", to.string(), "--data-dir", ws.Data().string()});
    }
    Workspace ws;
    fs::path to = ws.temp.Path() / "out";
};

// The report may name nothing the run reads or writes, nor a place that is
// not there: refused before the run, nothing written anywhere.
TEST_F(SafetyCli, AReportThatWouldHarmAnInputOrTheOutputIsRefusedBeforeAnythingIsWritten) {
    ASSERT_EQ(RunCli(Convert()).Status, 0);
    fs::create_directories(ws.temp.Path() / "folder");
    const auto src = Tree(ws.Src()), data = Tree(ws.Data()), out = Tree(to);
    // Every place is ReportPath's; here that convert passes it each of its own.
    for (const auto& [report, why] : std::vector<std::pair<fs::path, std::string>>{
             {ws.Src() / "CPA001" / "CPA001.wf", "dentro de la carpeta de la fuente"},
             {to / "cmp_list", "en la carpeta del destino"},
             {ws.Data() / "AIN_BASE.S", "un archivo que la conversión lee"}}) {
        SCOPED_TRACE(report.string());
        const CliResult result = RunCli(Set(Convert(), "--report", report.string()));
        EXPECT_EQ(result.Status, 1);
        EXPECT_TRUE(Has(result.Err, "Pamiro - Informe: ")) << result.Err;
        EXPECT_TRUE(Has(result.Err, why)) << result.Err;
        EXPECT_EQ(result.Out, "");
        EXPECT_EQ(Tree(ws.Src()), src);
        EXPECT_EQ(Tree(ws.Data()), data);
        EXPECT_EQ(Tree(to), out);
    }
    // A batch's report folder inside a CP's destination or the source: the same.
    EXPECT_EQ(RunCli(Set(Batch(), "--report", (to / "CPB001").string())).Status, 1);
    EXPECT_EQ(RunCli(Set(Batch(), "--report", (ws.Src() / "r").string())).Status, 1);
    EXPECT_FALSE(fs::exists(to / "CPB001"));
    EXPECT_EQ(Tree(ws.Src()), src);

    // A good place: written whole, by its absolute paths, no temporary left.
    const fs::path working = fs::current_path();
    fs::current_path(ws.temp.Path());
    const CliResult good = RunCli(Set(Set(Convert(), "--report", "folder/r.json"), "--to", "rel"));
    fs::current_path(working);
    ASSERT_EQ(good.Status, 0) << good.Err;
    EXPECT_EQ(Tree(ws.temp.Path() / "folder").size(), 1u);
#ifndef _WIN32  // JSON escapes a backslash
    const std::string report = ReadFile(ws.temp.Path() / "folder" / "r.json");
    EXPECT_TRUE(Has(report, "\"workingFolder\": \"" + ws.temp.Path().string() + "\""));
    EXPECT_TRUE(Has(report, "\"folder\": \"" + (ws.temp.Path() / "rel").string() + "\""));
    EXPECT_TRUE(Has(report, "\"path\": \"" + (ws.Data() / "ver51_620.dat").string() + "\""));
#endif
}

#ifndef _WIN32
// A staging folder whose lock another process holds is a live run: the run
// is refused and touches nothing; once the holder is gone, the folder is a
// dead run's and goes with the next run moved into place.
TEST_F(SafetyCli, ADestinationBeingWrittenByAnotherProcessIsRefusedUntilItsLockIsFree) {
    ASSERT_EQ(RunCli(Convert()).Status, 0);
    const fs::path staging = to / ".pamiro-00000000000000aa";
    WriteFile(staging / ".pamiro-marca", std::string(StagedDestination::kMarkText));
    const auto before = Tree(to);
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {  // another process holds the lock, as a live run does
        const int fd = ::open((staging / ".pamiro-marca").c_str(), O_RDONLY);
        ::flock(fd, LOCK_EX);
        if (::write(ready[1], "x", 1) != 1) ::_exit(1);
        ::pause();
        ::_exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    CliResult result = RunCli(Set(Convert(), "--clean"));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(result.Status, 1);
    EXPECT_TRUE(
        Has(result.Err, "Pamiro - Destino: Otra conversión está escribiendo en este destino\n"))
        << result.Err;
    EXPECT_EQ(Tree(to), before);

    result = RunCli(Convert());
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_FALSE(fs::exists(staging));
    EXPECT_TRUE(Has(result.Err, "Se ha eliminado la carpeta de trabajo .pamiro-00000000000000aa"));
}

// A file that replaces an older one keeps its permission bits and owner; a
// new one gets the usual default.
TEST_F(SafetyCli, AReplacedFileKeepsItsModeAndOwner) {
    ASSERT_EQ(RunCli(Convert()).Status, 0);
    fs::permissions(to / "cmp0001",
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown((to / "cmp0002").c_str(), 65534, 65534), 0);
    }
    fs::remove(to / "cmp0003");
    ::umask(022);
    ASSERT_EQ(RunCli(Convert()).Status, 0);
    struct stat st {};
    ASSERT_EQ(::stat((to / "cmp0001").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_EQ(::stat((to / "cmp0003").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    if (root) {
        ASSERT_EQ(::stat((to / "cmp0002").c_str(), &st), 0);
        EXPECT_EQ(st.st_uid, 65534u);
    }
}

// The program with stdout a pipe whose reader is gone; its exit status.
int RunIntoClosedPipe(const Args& args, const fs::path& err) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return -1;
    ::close(pipeEnds[0]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::vector<std::string> all{PAMIRO_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all) argv.push_back(arg.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    int status = 0;
    if (spawned != 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
}

// A closed pipe is an interruption: the batch starts no further CP, leaves no
// staging folder, and says so with 141.
TEST_F(SafetyCli, AClosedPipeStopsTheBatchInOrderWithNoStagingFolderLeft) {
    const fs::path err = ws.temp.Path() / "err";
    EXPECT_EQ(RunIntoClosedPipe(Batch(), err), 141);
    EXPECT_TRUE(Has(ReadFile(err), "Lote interrumpido: 2 CP sin terminar")) << ReadFile(err);
    EXPECT_TRUE(fs::exists(to / "CPA001" / "cmp_list"));  // its summary met the closed pipe
    EXPECT_FALSE(fs::exists(to / "CPB001"));
    EXPECT_FALSE(fs::exists(to / "CPC001"));
    // Two at a time: whatever was running stops; nothing half-done stays.
    fs::remove_all(to);
    EXPECT_EQ(RunIntoClosedPipe(Set(Batch(), "--jobs", "2"), err), 141);
    for (const auto& [name, bytes] : Tree(to)) {
        EXPECT_EQ(name.find(".pamiro-"), std::string::npos) << name;
    }
    // A convert whose summary cannot be written: the run is in place, the
    // caller learns of the closed pipe.
    EXPECT_EQ(RunIntoClosedPipe(Set(Convert(), "--to", (to / "one").string()), err), 141);
    EXPECT_TRUE(fs::exists(to / "one" / "cmp_list"));
}
#endif

}  // namespace
}  // namespace pamiro::testing
