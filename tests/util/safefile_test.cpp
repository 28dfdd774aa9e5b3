#include "util/safefile.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/core/tempdir.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

bool Replace(const std::string& path, const std::string& text)
{
    std::string error;
    const bool ok = ReplaceFile(path, text, error);
    EXPECT_TRUE(ok || !error.empty()) << "a failure says why";
    return ok;
}

std::vector<std::string> FileNames(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs body in a child process with the rights of an ordinary user; its result is the child's.
// Root ignores folder permissions, so only an ordinary user meets a read-only folder.
bool AsOrdinaryUser(const std::function<bool()>& body)
{
    if (::geteuid() != 0)
        return body();
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && body();
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(UtilSafeFile, NamesNearTheSystemLimitCanBeSaved)
{
    TTempDir dir;
    const std::string path = dir.File(std::string(251, 'n') + ".soi"); // 255 bytes
    ASSERT_TRUE(Replace(path, "first"));
    ASSERT_TRUE(Replace(path, "second"));
    EXPECT_EQ(ReadFileBytes(path), "second");
    EXPECT_EQ(FileNames(dir.Path()).size(), 1u);
}

TEST(UtilSafeFile, LinksKeepPointingAtTheNewText)
{
    TTempDir dir;
    // A hard link shares the new text instead of keeping the old one.
    const std::string file = dir.File("p.soi");
    const std::string other = dir.File("hard.soi");
    WriteFileBytes(file, "old");
    fs::create_hard_link(file, other);
    ASSERT_TRUE(Replace(file, "new text"));
    EXPECT_EQ(ReadFileBytes(other), "new text");
    EXPECT_EQ(fs::hard_link_count(file), 2u);
    ASSERT_TRUE(Replace(other, "short"));
    EXPECT_EQ(ReadFileBytes(file), "short") << "an in-place write cuts the old tail";

    // A dangling symbolic link gets its target created and stays a link.
    fs::create_directory(dir.Path() / "sub");
    const std::string link = dir.File("link.soi");
    fs::create_symlink("sub/target.soi", link);
    ASSERT_TRUE(Replace(link, "made"));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFileBytes(dir.File("sub/target.soi")), "made");

    // A chain of links that ends in a loop is refused, and nothing is made.
    fs::create_symlink("loop-b", dir.File("loop-a"));
    fs::create_symlink("loop-a", dir.File("loop-b"));
    EXPECT_FALSE(Replace(dir.File("loop-a"), "x"));
}

TEST(UtilSafeFile, OwnerGroupAndModeAreKept)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can make a file of another user";
    TTempDir dir;
    const std::string path = dir.File("theirs.soi");
    WriteFileBytes(path, "old");
    ASSERT_EQ(::chown(path.c_str(), 4321, 4322), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    ASSERT_TRUE(Replace(path, "new"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 4321u);
    EXPECT_EQ(st.st_gid, 4322u);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
    EXPECT_EQ(ReadFileBytes(path), "new");
}

TEST(UtilSafeFile, FileInAReadOnlyFolderIsWrittenInPlace)
{
    TTempDir dir;
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const std::string path = dir.File("p.soi");
    WriteFileBytes(path, "old contents, longer than the new");
    ASSERT_EQ(::chown(path.c_str(), ::geteuid() == 0 ? kNobody : ::geteuid(), static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);

    EXPECT_TRUE(AsOrdinaryUser([&path] {
        std::string error;
        return ReplaceFile(path, "new", error);
    }));
    EXPECT_EQ(ReadFileBytes(path), "new");
    // A new file cannot be made there at all, and says why.
    EXPECT_FALSE(AsOrdinaryUser([&dir] {
        std::string error;
        return ReplaceFile(dir.File("fresh.soi"), "x", error) || error.empty();
    }));
    ::chmod(dir.Path().c_str(), 0700);
}

TEST(UtilSafeFile, StaleTemporariesGoButNotOneStillBeingWritten)
{
    TTempDir dir;
    const std::string path = dir.File("p.soi");
    const std::string prefix = TemporaryPrefixFor("p.soi");
    EXPECT_EQ(prefix, TemporaryPrefixFor("p.soi"));
    EXPECT_NE(prefix, TemporaryPrefixFor("q.soi"));
    EXPECT_LT(prefix.size(), 12u) << "short, so long project names still fit";

    WriteFileBytes(dir.File(prefix + "aaaaaa"), std::string(1000, 'x'));
    WriteFileBytes(dir.File(prefix + "bbbbbb"), "x");
    WriteFileBytes(dir.File(".p.soi.tmp-cccccc"), "x");
    WriteFileBytes(dir.File(TemporaryPrefixFor("q.soi") + "dddddd"), "another project's");
    WriteFileBytes(dir.File(prefix + "longer-name"), "not one of ours");
    const std::string busy = dir.File(prefix + "eeeeee");
    WriteFileBytes(busy, "a save in progress");
    const int fd = ::open(busy.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    ASSERT_TRUE(Replace(path, "saved"));
    std::vector<std::string> expected = {prefix + "eeeeee", prefix + "longer-name",
                                         TemporaryPrefixFor("q.soi") + "dddddd", "p.soi"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FileNames(dir.Path()), expected);
    ::close(fd);

    ASSERT_TRUE(Replace(path, "again"));
    EXPECT_FALSE(fs::exists(busy)) << "released by its writer, it is stale";
}

} // namespace
