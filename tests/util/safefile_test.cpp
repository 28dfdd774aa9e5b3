#include "util/safefile.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include <csignal>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
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

// Runs body in a child process and answers whether it ended well (exit code 0).
bool InChild(const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A project with a second hard link, which every save writes in place.
struct TLinkedProject {
    TTempDir dir;
    std::string path = dir.File("p.soi");
    std::string old = std::string(4000, 'o');
    std::string text = std::string(9000, 'n');
    TLinkedProject()
    {
        WriteFileBytes(path, old);
        fs::create_hard_link(path, dir.File("link.soi"));
    }
};

TEST(UtilSafeFile, InPlaceSaveThatCannotGrowChangesNothing)
{
    // A file-size limit below the new size: the reservation fails before a byte is written.
    TLinkedProject p;
    EXPECT_TRUE(InChild([&p] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{6000, 6000};
        std::string error;
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0 && !ReplaceFile(p.path, p.text, error) && !error.empty();
    }));
    EXPECT_EQ(ReadFileBytes(p.path), p.old);
    EXPECT_EQ(RecoveryCopyOf(p.path), "");
    EXPECT_EQ(FileNames(p.dir.Path()), (std::vector<std::string>{"link.soi", "p.soi"}));
}

TEST(UtilSafeFile, InPlaceSaveFailingMidwayRestoresOrKeepsTheOldText)
{
    TLinkedProject p;
    // The limit drops once half is written: the old text is written back and the copy goes.
    EXPECT_TRUE(InChild([&p] {
        std::signal(SIGXFSZ, SIG_IGN);
        InPlaceWriteHook() = [] {
            const rlimit limit{4500, 4500};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        };
        std::string error;
        return !ReplaceFile(p.path, p.text, error) && error.find("left as it was") != std::string::npos;
    }));
    EXPECT_EQ(ReadFileBytes(p.path), p.old);
    EXPECT_EQ(RecoveryCopyOf(p.path), "");

    // Killed midway: the recovery copy holds the old text and puts it back.
    EXPECT_FALSE(InChild([&p] {
        InPlaceWriteHook() = [] { ::_exit(9); };
        std::string error;
        return ReplaceFile(p.path, p.text, error);
    }));
    EXPECT_NE(ReadFileBytes(p.path), p.old);
    const std::string copy = RecoveryCopyOf(p.path);
    ASSERT_EQ(copy, p.path + ".recovery");
    EXPECT_EQ(ReadFileBytes(copy), p.old);
    std::string error;
    ASSERT_TRUE(RestoreRecoveryCopy(p.path, error)) << error;
    EXPECT_EQ(ReadFileBytes(p.dir.File("link.soi")), p.old);
    EXPECT_EQ(RecoveryCopyOf(p.path), "");

    // A save that completes leaves no copy behind.
    ASSERT_TRUE(Replace(p.path, p.text));
    EXPECT_EQ(ReadFileBytes(p.dir.File("link.soi")), p.text);
    EXPECT_EQ(RecoveryCopyOf(p.path), "");
}

TEST(UtilSafeFile, OutputsReplaceOnlyRegularFilesAndNewNames)
{
    TTempDir dir;
    const auto writeText = [](std::string_view text) {
        return [text](int fd, const std::string&, std::string&) {
            return ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        };
    };
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string readOnly = dir.File("read-only.png");
    WriteFileBytes(readOnly, "kept");
    ::chmod(readOnly.c_str(), 0444);
    fs::create_symlink("/dev/null", dir.File("to-device.png"));
    fs::create_symlink(fifo, dir.File("to-fifo.png"));
    for (const std::string& path : {fifo, readOnly, dir.File("to-device.png"), dir.File("to-fifo.png"),
                                    dir.Path().string()}) {
        std::string error;
        EXPECT_FALSE(ReplaceFileWith(path, writeText("picture"), error)) << path;
        EXPECT_FALSE(error.empty()) << path;
    }
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(ReadFileBytes(readOnly), "kept");
    std::string bytes;
    EXPECT_FALSE(ReadWholeFile(fifo, bytes)) << "a FIFO is refused, not waited on";

    // A link is written through; a failing writer leaves the old file and no temporary.
    WriteFileBytes(dir.File("real.png"), "old");
    fs::create_symlink("real.png", dir.File("link.png"));
    std::string error;
    ASSERT_TRUE(ReplaceFileWith(dir.File("link.png"), writeText("new"), error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir.File("link.png")));
    EXPECT_EQ(ReadFileBytes(dir.File("real.png")), "new");
    const auto failing = [](int fd, const std::string&, std::string& why) {
        why = "encoder failed";
        return ::write(fd, "x", 1) < 0;
    };
    EXPECT_FALSE(ReplaceFileWith(dir.File("real.png"), failing, error));
    EXPECT_EQ(error, "encoder failed");
    EXPECT_EQ(ReadFileBytes(dir.File("real.png")), "new");
    // A writer that opens the file by name (as libxlsxwriter does) writes the same file.
    ASSERT_TRUE(ReplaceFileWith(
        dir.File("named.xlsx"),
        [](int, const std::string& tmpPath, std::string&) {
            WriteFileBytes(tmpPath, "by name");
            return true;
        },
        error));
    EXPECT_EQ(ReadFileBytes(dir.File("named.xlsx")), "by name");
    ::chmod(readOnly.c_str(), 0644);
    std::vector<std::string> expected = {"fifo", "link.png", "named.xlsx", "read-only.png", "real.png",
                                         "to-device.png", "to-fifo.png"};
    EXPECT_EQ(FileNames(dir.Path()), expected);

    // The group export's new file: a temporary left by a killed export goes with the next one.
    const std::string stale = dir.File(TemporaryPrefixFor("g.sgr") + "zzzzzz");
    WriteFileBytes(stale, "half");
    bool exists = false;
    ASSERT_TRUE(WriteNewFile(dir.File("g.sgr"), "group", error, exists)) << error;
    EXPECT_FALSE(fs::exists(stale));
}

} // namespace
