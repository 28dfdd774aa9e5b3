#include "util/safefile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Overwrites the file where it stands with the whole text and flushes it; the last resort
// where no temporary file can take its place.
bool WriteInPlace(const std::string& target, std::string_view bytes, std::string& errorText)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        errorText = Reason(errno);
        return false;
    }
    TFdGuard guard(fd);
    if (!WriteAll(fd, bytes) || ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 ||
        ::fsync(fd) != 0) {
        errorText = Reason(errno);
        return false;
    }
    if (::close(guard.Release()) != 0) {
        errorText = Reason(errno);
        return false;
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
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    TFdGuard guard(fd);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || IsTooLargeToRead(st.st_size))
        return false;
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
    uint32_t hash = 2166136261u;
    for (const char ch : fileName) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 16777619u;
    }
    char text[16];
    std::snprintf(text, sizeof text, ".%08x.", hash);
    return text;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText, mode_t newFileMode)
{
    if (path.empty()) {
        errorText = Reason(ENOENT);
        return false;
    }
    int error = 0;
    std::string target;
    if (!FinalTarget(path, target, error)) {
        errorText = Reason(error);
        return false;
    }
    struct stat st {};
    bool exists = false;
    if (::stat(target.c_str(), &st) == 0) {
        exists = true;
        if (!S_ISREG(st.st_mode)) {
            errorText = Reason(S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
            return false;
        }
        // The owner's write permission is the read-only mark; honour it even for root.
        if ((st.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0) {
            errorText = Reason(EACCES);
            return false;
        }
    } else if (errno != ENOENT) {
        errorText = Reason(errno);
        return false;
    }

    const std::string dir = FolderOf(target);
    const std::string name = NameOf(target);
    RemoveStaleTemporaries(dir, name);

    // A rename would cut the other hard links off from the new text.
    if (exists && st.st_nlink > 1)
        return WriteInPlace(target, bytes, errorText);

    std::string tmp;
    const int fd = CreateTemporary(dir, name, tmp);
    if (fd < 0) {
        const int createError = errno;
        if (exists && (createError == EACCES || createError == EPERM || createError == EROFS))
            return WriteInPlace(target, bytes, errorText);
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
    if (exists) {
        mode = st.st_mode & 07777;
        // The new file must belong to whom the old one did; where the system does not allow
        // that, the old file is overwritten in place instead.
        struct stat made {};
        if (::fstat(fd, &made) != 0)
            return fail(errno);
        if ((made.st_uid != st.st_uid || made.st_gid != st.st_gid) &&
            ::fchown(fd, st.st_uid, st.st_gid) != 0) {
            ::unlink(tmp.c_str());
            return WriteInPlace(target, bytes, errorText);
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = newFileMode & ~mask;
    }
    if (!WriteAll(fd, bytes) || ::fchmod(fd, mode) != 0 || ::fsync(fd) != 0)
        return fail(errno);
    if (::rename(tmp.c_str(), target.c_str()) != 0)
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
    const std::size_t slash = path.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmp = (dir == "/" ? std::string() : dir) + "/." + base + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tmp.data());
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
    if (ok && ::close(guard.Release()) != 0) {
        ok = false;
        errorText = ErrnoText("cannot close", tmp);
    }
    // link() refuses an existing name, so a file made meanwhile by someone else is kept; where
    // the file system has no hard links, a rename that refuses to replace does the same.
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
