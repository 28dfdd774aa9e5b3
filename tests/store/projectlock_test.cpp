#include "store/projectlock.h"

#include <filesystem>

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/core/tempdir.h"

namespace {

TEST(StoreProjectLock, OneWriterAtATimeAndStaleLocksAreTakenOver)
{
    TTempDir dir;
    const std::string project = dir.File("p.soi");
    WriteFileBytes(project, "project");
    const std::string lockFile = TProjectLock::LockFilePath(project);
    EXPECT_EQ(std::filesystem::path(lockFile).filename(), ".~lock.p.soi#");

    TProjectLock first;
    ASSERT_TRUE(first.Acquire(project, "Tremlow")) << first.Reason();
    EXPECT_FALSE(first.TookOverStale());
    TLockHolder holder;
    ASSERT_TRUE(TProjectLock::FindHolder(project, holder));
    EXPECT_EQ(holder.Program, "Tremlow");
    EXPECT_EQ(holder.Pid, ::getpid());

    TProjectLock second;
    EXPECT_FALSE(second.Acquire(project, "tremlow-cli"));
    EXPECT_TRUE(second.HeldByOther());
    EXPECT_EQ(second.Holder().Program, "Tremlow");
    EXPECT_EQ(second.Holder().Pid, ::getpid());

    first.Release();
    EXPECT_FALSE(std::filesystem::exists(lockFile));
    EXPECT_FALSE(TProjectLock::FindHolder(project, holder));

    // A lock file whose process is gone holds no lock: it is taken over and its writer named.
    WriteFileBytes(lockFile, "tremlow-cli,someone,elsewhere,999999\n");
    ASSERT_TRUE(second.Acquire(project, "tremlow-cli"));
    EXPECT_TRUE(second.TookOverStale());
    EXPECT_EQ(second.Holder().User, "someone");
    EXPECT_EQ(second.Holder().Pid, 999999);
}

} // namespace
