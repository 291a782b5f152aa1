#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <cerrno>

#include "core/FileError.h"
#include "core/FileLock.h"
#include "core/Folders.h"
#include "treebuilder/TreeBuilder.h"

namespace pamiro::testing {
namespace {

// The lock that tells a live run from a dead one: held once at a time, taken
// only from a plain file, made only where nothing stands.
TEST(FileLock, IsHeldOnceAtATimeAndOnlyOnAPlainFileItMadeOrFound) {
    TempDir temp;
    const std::string mark = (temp.Path() / "mark").string();
    int error = 0;
    auto made = FileLock::Create(mark, error);
    ASSERT_TRUE(made);
    EXPECT_TRUE(made->Write("marked\n"));
    EXPECT_FALSE(FileLock::Create(mark, error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_FALSE(FileLock::Take(mark, error));
    EXPECT_EQ(error, EWOULDBLOCK);
    made.reset();
    auto taken = FileLock::Take(mark, error);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->Read(100), "marked\n");
    EXPECT_EQ(taken->Read(3), "mar");

    fs::create_directories(temp.Path() / "folder");
    EXPECT_FALSE(FileLock::Take((temp.Path() / "folder").string(), error));
    EXPECT_NE(error, EWOULDBLOCK);
    EXPECT_FALSE(FileLock::Take((temp.Path() / "missing").string(), error));
    EXPECT_EQ(error, ENOENT);
    EXPECT_FALSE(FileLock::Create((temp.Path() / "missing" / "mark").string(), error));

    // The same through a destination folder, as the staging folders use it.
    DiskOutputFolder folder(temp.Path().string());
    StagingTarget::LockState state = StagingTarget::LockState::Taken;
    std::string read;
    EXPECT_FALSE(folder.TakeLock("mark", state, read));
    EXPECT_EQ(state, StagingTarget::LockState::Busy);
    taken.reset();
    EXPECT_TRUE(folder.TakeLock("mark", state, read));
    EXPECT_EQ(state, StagingTarget::LockState::Taken);
    EXPECT_EQ(read, "marked\n");
    EXPECT_FALSE(folder.TakeLock("folder", state, read));
    EXPECT_EQ(state, StagingTarget::LockState::Missing);
    EXPECT_THROW(folder.CreateLocked("mark", "again"), FileError);
    auto held = folder.CreateLocked("other", "x");
    EXPECT_FALSE(folder.TakeLock("other", state, read));
    EXPECT_EQ(state, StagingTarget::LockState::Busy);
}

#ifndef _WIN32
TEST(FileLock, PermissionsPassOnlyFromAPlainFile) {
    TempDir temp;
    WriteFile(temp.Path() / "old", "old");
    WriteFile(temp.Path() / "new", "new");
    ::chmod((temp.Path() / "old").c_str(), 0600);
    fs::create_symlink(temp.Path() / "old", temp.Path() / "link");
    DiskOutputFolder folder(temp.Path().string());
    struct stat st {};
    folder.KeepPermissions("link", "new");  // a link gives nothing
    ::stat((temp.Path() / "new").c_str(), &st);
    EXPECT_NE(st.st_mode & 0777, 0600u);
    folder.KeepPermissions("old", "new");
    ::stat((temp.Path() / "new").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(folder.IgnoresCase());
}
#endif

}  // namespace
}  // namespace pamiro::testing
