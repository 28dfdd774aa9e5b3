#include "util/safefile.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

bool WriteAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

std::string ErrnoText(const std::string& what, const std::string& path)
{
    return what + " '" + path + "': " + std::strerror(errno);
}

// The system's reason for the last failure.
std::string Reason(int error)
{
    return std::strerror(error);
}

// Makes a rename or link in the folder durable.
void SyncFolder(const std::string& dir)
{
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    return dir == "/" ? "/" + name : dir + "/" + name;
}

// The file a path names at the end of its chain of symbolic links, whether or not that file
// exists; false for a loop or a chain too long to follow.
bool FinalTarget(const std::string& path, std::string& target, int& error)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = errno;
            return false;
        }
        link.resize(static_cast<std::size_t>(n));
        target = link.starts_with('/') ? link : JoinPath(FolderOf(target), link);
    }
    error = ELOOP;
    return false;
}

// Removes the temporary files of earlier saves of the file that were killed midway. A save
// that is still running holds a lock on its temporary file, so that file stays.
void RemoveStaleTemporaries(const std::string& dir, const std::string& name)
{
    const std::string prefix = TemporaryPrefixFor(name);
    const std::string oldPrefix = "." + name + ".tmp-"; // the name earlier versions used
    DIR* folder = ::opendir(dir.c_str());
    if (!folder)
        return;
    const int dirFd = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view entryName(entry->d_name);
        const bool ours = (entryName.size() == prefix.size() + 6 && entryName.starts_with(prefix)) ||
                          (entryName.size() == oldPrefix.size() + 6 && entryName.starts_with(oldPrefix));
        if (!ours)
            continue;
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        TFdGuard guard(fd);
        struct stat st {};
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
    }
    ::closedir(folder);
}

// The folder for recovery copies that cannot be kept beside their file: $TREMLOW_CONFIG_DIR/recovery,
// else the user's data folder.
std::string RecoveryFolder()
{
    const auto env = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value == '/' ? std::string(value) : std::string();
    };
    if (const std::string dir = env("TREMLOW_CONFIG_DIR"); !dir.empty())
        return dir + "/recovery";
    if (const std::string dir = env("XDG_DATA_HOME"); !dir.empty())
        return dir + "/Tremlow/recovery";
    if (const std::string home = env("HOME"); !home.empty())
        return home + "/.local/share/Tremlow/recovery";
    return {};
}

uint32_t NameHash(std::string_view text)
{
    uint32_t hash = 2166136261u;
    for (const char ch : text) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 16777619u;
    }
    return hash;
}

// The two places a recovery copy of target may stand, beside it first.
std::vector<std::string> RecoveryCandidates(const std::string& target)
{
    std::vector<std::string> places = {target + ".recovery"};
    const std::string folder = RecoveryFolder();
    if (!folder.empty()) {
        char real[PATH_MAX];
        const std::string dirKey = ::realpath(FolderOf(target).c_str(), real) ? real : FolderOf(target);
        char hash[16];
        std::snprintf(hash, sizeof hash, "%08x-", NameHash(dirKey));
        places.push_back(folder + "/" + hash + NameOf(target) + ".recovery");
    }
    return places;
}

// Writes and flushes a whole file at path (made or emptied, private to the user).
bool WriteFlushed(const std::string& path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    TFdGuard guard(fd);
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0 || ::close(guard.Release()) != 0) {
        ::unlink(path.c_str());
        return false;
    }
    SyncFolder(FolderOf(path));
    return true;
}

// Keeps the old contents where the first candidate place takes them; empty when none does.
std::string KeepRecoveryCopy(const std::string& target, std::string_view old)
{
    for (const std::string& place : RecoveryCandidates(target)) {
        if (place != target + ".recovery") {
            std::error_code ec;
            std::filesystem::create_directories(FolderOf(place), ec);
        }
        if (WriteFlushed(place, old))
            return place;
    }
    return {};
}

bool PWriteAll(int fd, std::string_view bytes, std::size_t at)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(at + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Writes bytes over the start of the open file, cuts it to their length and flushes it. The
// fault hook runs once half of the text is written.
bool OverwriteFrom(int fd, std::string_view bytes, bool withHook)
{
    const std::size_t half = bytes.size() / 2;
    if (!PWriteAll(fd, bytes.substr(0, half), 0))
        return false;
    if (withHook && InPlaceWriteHook())
        InPlaceWriteHook()();
    return PWriteAll(fd, bytes.substr(half), half) && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0 &&
           ::fsync(fd) == 0;
}

bool ReadAllAt(int fd, std::string& bytes, off_t size)
{
    bytes.resize(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

// Overwrites the file where it stands, where no temporary file can take its place. The new size
// is reserved first, so a full disk or a file-size limit is met before anything changes; the old
// contents are kept in a recovery copy until the new ones are on disk and are written back when
// the write fails, so no failure and no kill leaves only a torn file.
// restoring names the recovery copy whose text bytes is: it then stands for the copy.
bool WriteInPlace(const std::string& target, std::string_view bytes, std::string& errorText,
                  const std::string& restoring)
{
    const int fd = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        errorText = Reason(errno);
        return false;
    }
    TFdGuard guard(fd);
    struct stat st {};
    std::string old;
    if (::fstat(fd, &st) != 0 || !ReadAllAt(fd, old, st.st_size)) {
        errorText = Reason(errno ? errno : EIO);
        return false;
    }
    // The copy an interrupted save left may be the only whole version; it is never written over.
    for (const std::string& place : RecoveryCandidates(target)) {
        struct stat left {};
        if (place != restoring && ::lstat(place.c_str(), &left) == 0) {
            errorText = "an earlier save was interrupted and its recovery copy '" + place +
                        "' is still there; restore or remove it first";
            return false;
        }
    }
    if (bytes.size() > old.size()) {
        const int error = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (error != 0) {
            ::ftruncate(fd, st.st_size);
            errorText = Reason(error);
            return false;
        }
    }
    const std::string copy = restoring.empty() ? KeepRecoveryCopy(target, old) : std::string();
    if (!OverwriteFrom(fd, bytes, true)) {
        const int error = errno;
        errorText = Reason(error);
        if (OverwriteFrom(fd, old, false)) {
            if (!copy.empty())
                ::unlink(copy.c_str());
            errorText += "; the file was left as it was";
        } else if (!copy.empty()) {
            errorText += "; its previous contents are kept in '" + copy + "'";
        }
        return false;
    }
    if (::close(guard.Release()) != 0) {
        errorText = Reason(errno);
        return false;
    }
    if (!copy.empty()) {
        ::unlink(copy.c_str());
        SyncFolder(FolderOf(copy));
    }
    return true;
}

// A new locked temporary file in dir; -1 with errno set when the folder takes none.
int CreateTemporary(const std::string& dir, const std::string& name, std::string& tmp)
{
    // A file that a cleaner of another save removed between its creation and the lock is
    // dropped and made again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        tmp = JoinPath(dir, TemporaryPrefixFor(name) + "XXXXXX");
        const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
        if (fd < 0)
            return -1;
        struct stat st {};
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &st) == 0 && st.st_nlink > 0)
            return fd;
        ::close(fd);
    }
    errno = EAGAIN;
    return -1;
}

} // namespace

TFdGuard::~TFdGuard()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool IsTooLargeToRead(off_t size)
{
    return size < 0 || static_cast<unsigned long long>(size) >= (1ULL << 32);
}

bool ReadWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    if (path.empty())
        return false;
    // Opened without waiting, so a FIFO or a device is refused rather than waited on.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    TFdGuard guard(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || IsTooLargeToRead(st.st_size))
        return false;
    ::fcntl(fd, F_SETFL, O_RDONLY);
    try {
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t got = 0;
        for (;;) {
            if (got == bytes.size())
                bytes.resize(bytes.size() + 65536);
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                bytes.clear();
                return false;
            }
            if (n == 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
    } catch (const std::exception&) {
        bytes.clear();
        bytes.shrink_to_fit();
        return false;
    }
    return true;
}

std::string TemporaryPrefixFor(std::string_view fileName)
{
    // A short fixed-length name, so that a file name near the system's limit still leaves
    // room; the hash tells the temporary files of one file from those of another.
    char text[16];
    std::snprintf(text, sizeof text, ".%08x.", NameHash(fileName));
    return text;
}

namespace {

// The file a save writes: where its symbolic links lead, and what stands there now.
struct TSaveTarget {
    std::string Path;
    bool Exists = false;
    struct stat Stat {};
};

// Resolves path to the file that is to be replaced or made: symbolic links are followed, an
// existing file must be a regular one that its owner may write.
bool ResolveSaveTarget(const std::string& path, TSaveTarget& target, std::string& errorText)
{
    if (path.empty()) {
        errorText = Reason(ENOENT);
        return false;
    }
    int error = 0;
    if (!FinalTarget(path, target.Path, error)) {
        errorText = Reason(error);
        return false;
    }
    if (::stat(target.Path.c_str(), &target.Stat) == 0) {
        target.Exists = true;
        if (!S_ISREG(target.Stat.st_mode)) {
            errorText = S_ISDIR(target.Stat.st_mode) ? Reason(EISDIR) : "not a regular file";
            return false;
        }
        // The owner's write permission is the read-only mark; honour it even for root.
        if ((target.Stat.st_mode & S_IWUSR) == 0 || ::access(target.Path.c_str(), W_OK) != 0) {
            errorText = Reason(EACCES);
            return false;
        }
    } else if (errno != ENOENT) {
        errorText = Reason(errno);
        return false;
    }
    return true;
}

// What fill writes, gathered in memory for a write in place; fill sees an anonymous file.
bool FillInMemory(const TFileFiller& fill, std::string& bytes, std::string& errorText)
{
    const int fd = ::memfd_create("tremlow-output", MFD_CLOEXEC);
    if (fd < 0) {
        errorText = Reason(errno);
        return false;
    }
    TFdGuard guard(fd);
    if (!fill(fd, "/proc/self/fd/" + std::to_string(fd), errorText))
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !ReadAllAt(fd, bytes, st.st_size)) {
        errorText = Reason(errno ? errno : EIO);
        return false;
    }
    return true;
}

// The body of ReplaceFile and ReplaceFileWith; bytes, when given, is what fill writes.
bool Replace(const std::string& path, const TFileFiller& fill, const std::string_view* bytes,
             std::string& errorText, mode_t newFileMode, const std::string& restoring = {})
{
    TSaveTarget target;
    if (!ResolveSaveTarget(path, target, errorText))
        return false;
    const std::string dir = FolderOf(target.Path);
    const std::string name = NameOf(target.Path);
    RemoveStaleTemporaries(dir, name);
    const auto inPlace = [&] {
        if (bytes)
            return WriteInPlace(target.Path, *bytes, errorText, restoring);
        std::string text;
        return FillInMemory(fill, text, errorText) && WriteInPlace(target.Path, text, errorText, restoring);
    };

    // A rename would cut the other hard links off from the new text.
    if (target.Exists && target.Stat.st_nlink > 1)
        return inPlace();

    std::string tmp;
    const int fd = CreateTemporary(dir, name, tmp);
    if (fd < 0) {
        const int createError = errno;
        if (target.Exists && (createError == EACCES || createError == EPERM || createError == EROFS))
            return inPlace();
        errorText = Reason(createError);
        return false;
    }
    TFdGuard guard(fd);
    const auto fail = [&](int failure) {
        errorText = Reason(failure);
        ::unlink(tmp.c_str());
        return false;
    };

    mode_t mode = 0;
    if (target.Exists) {
        mode = target.Stat.st_mode & 07777;
        // The new file must belong to whom the old one did; where the system does not allow
        // that, the old file is overwritten in place instead.
        struct stat made {};
        if (::fstat(fd, &made) != 0)
            return fail(errno);
        if ((made.st_uid != target.Stat.st_uid || made.st_gid != target.Stat.st_gid) &&
            ::fchown(fd, target.Stat.st_uid, target.Stat.st_gid) != 0) {
            ::unlink(tmp.c_str());
            return inPlace();
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = newFileMode & ~mask;
    }
    if (!fill(fd, tmp, errorText)) {
        ::unlink(tmp.c_str());
        return false;
    }
    if (::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return fail(errno);
    if (::rename(tmp.c_str(), target.Path.c_str()) != 0)
        return fail(errno);
    // The lock goes with the descriptor, once the file has its final name.
    if (::close(guard.Release()) != 0) {
        errorText = Reason(errno);
        return false;
    }
    // Make the rename itself durable.
    SyncFolder(dir);
    return true;
}

} // namespace

namespace {

TFileFiller Writer(std::string_view bytes)
{
    return [bytes](int fd, const std::string&, std::string& error) {
        if (WriteAll(fd, bytes))
            return true;
        error = Reason(errno);
        return false;
    };
}

} // namespace

bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText, mode_t newFileMode)
{
    return Replace(path, Writer(bytes), &bytes, errorText, newFileMode);
}

bool ReplaceFileWith(const std::string& path, const TFileFiller& fill, std::string& errorText)
{
    return Replace(path, fill, nullptr, errorText, 0666);
}

bool CheckOutputPath(const std::string& path, std::string& errorText)
{
    TSaveTarget target;
    return ResolveSaveTarget(path, target, errorText);
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

std::function<void()>& InPlaceWriteHook()
{
    static std::function<void()> hook;
    return hook;
}

std::string RecoveryCopyOf(const std::string& path)
{
    std::string target;
    int error = 0;
    if (!FinalTarget(path, target, error))
        return {};
    for (const std::string& place : RecoveryCandidates(target)) {
        struct stat st {};
        if (::lstat(place.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            return place;
    }
    return {};
}

bool RestoreRecoveryCopy(const std::string& path, std::string& errorText)
{
    const std::string copy = RecoveryCopyOf(path);
    std::string bytes;
    if (copy.empty() || !ReadWholeFile(copy, bytes)) {
        errorText = Reason(ENOENT);
        return false;
    }
    const std::string_view text(bytes);
    if (!Replace(path, Writer(text), &text, errorText, 0666, copy))
        return false;
    ::unlink(copy.c_str());
    return true;
}

bool DiscardRecoveryCopy(const std::string& path)
{
    const std::string copy = RecoveryCopyOf(path);
    return !copy.empty() && ::unlink(copy.c_str()) == 0;
}

bool WriteNewFile(const std::string& path, std::string_view bytes, std::string& errorText, bool& alreadyExists)
{
    alreadyExists = false;
    if (path.empty()) {
        errorText = "no file name";
        return false;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        alreadyExists = true;
        errorText = "'" + path + "' exists already";
        return false;
    }
    const std::string dir = FolderOf(path);
    const std::string name = NameOf(path);
    RemoveStaleTemporaries(dir, name);
    std::string tmp;
    const int fd = CreateTemporary(dir, name, tmp);
    if (fd < 0) {
        errorText = ErrnoText("cannot create a temporary file in", dir);
        return false;
    }
    TFdGuard guard(fd);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = WriteAll(fd, bytes);
    if (!ok)
        errorText = ErrnoText("cannot write", tmp);
    if (ok && ::fchmod(fd, 0666 & ~mask) != 0) {
        ok = false;
        errorText = ErrnoText("cannot set the permissions of", tmp);
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        errorText = ErrnoText("cannot flush", tmp);
    }
    // link() refuses an existing name, so a file made meanwhile by someone else is kept; where
    // the file system has no hard links, a rename that refuses to replace does the same. The
    // temporary stays locked until it is gone, so no cleaner takes it midway.
    if (ok && ::link(tmp.c_str(), path.c_str()) != 0) {
        const int linkError = errno;
        if (linkError != EEXIST &&
            ::renameat2(AT_FDCWD, tmp.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) {
            SyncFolder(dir);
            return true;
        }
        ok = false;
        alreadyExists = errno == EEXIST;
        errorText = ErrnoText("cannot create", path);
    }
    ::unlink(tmp.c_str());
    if (!ok)
        return false;
    SyncFolder(dir);
    return true;
}
