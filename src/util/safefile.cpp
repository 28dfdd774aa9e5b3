#include "util/safefile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ErrnoText(const std::string& what, const std::string& path)
{
    return what + " '" + path + "': " + std::strerror(errno);
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

bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText, mode_t newFileMode)
{
    if (path.empty()) {
        errorText = "no file name";
        return false;
    }
    // Write through a symbolic link to the file it names, so the link stays a link.
    std::string target = path;
    struct stat st {};
    bool exists = false;
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            char resolved[PATH_MAX];
            if (::realpath(path.c_str(), resolved))
                target = resolved;
        }
        if (::stat(target.c_str(), &st) == 0) {
            exists = true;
            if (!S_ISREG(st.st_mode)) {
                errorText = "'" + target + "' is not a regular file";
                return false;
            }
            // The owner's write permission is the read-only mark; honour it even for root.
            if ((st.st_mode & S_IWUSR) == 0 || ::access(target.c_str(), W_OK) != 0) {
                errorText = "'" + target + "' is write-protected";
                return false;
            }
        }
    }

    const std::size_t slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? std::string(".") : target.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmp = (dir == "/" ? std::string() : dir) + "/." + base + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0) {
        errorText = ErrnoText("cannot create a temporary file in", dir);
        return false;
    }
    TFdGuard guard(fd);
    mode_t mode = 0;
    if (exists) {
        mode = st.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = newFileMode & ~mask;
    }
    bool ok = WriteAll(fd, bytes);
    if (!ok)
        errorText = ErrnoText("cannot write", tmp);
    if (ok && ::fchmod(fd, mode) != 0) {
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
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
        ok = false;
        errorText = ErrnoText("cannot replace", target);
    }
    if (!ok) {
        ::unlink(tmp.c_str());
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
