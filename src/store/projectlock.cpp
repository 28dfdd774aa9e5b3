#include "store/projectlock.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/safefile.h"

namespace {

// The lock file holds one line: program, user, host and process, separated by commas (the
// program's name has none).
TLockHolder ParseHolder(const std::string& text)
{
    TLockHolder holder;
    std::istringstream in(text.substr(0, text.find('\n')));
    std::string pid;
    std::getline(in, holder.Program, ',');
    std::getline(in, holder.User, ',');
    std::getline(in, holder.Host, ',');
    std::getline(in, pid, ',');
    holder.Pid = std::strtol(pid.c_str(), nullptr, 10);
    return holder;
}

std::string ReadFd(int fd)
{
    std::string text;
    char buffer[512];
    ssize_t n = 0;
    off_t at = 0;
    while ((n = ::pread(fd, buffer, sizeof buffer, at)) > 0 && text.size() < 4096) {
        text.append(buffer, static_cast<std::size_t>(n));
        at += n;
    }
    return text;
}

std::string UserName()
{
    if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_name)
        return pw->pw_name;
    if (const char* user = std::getenv("USER"))
        return user;
    return std::to_string(::geteuid());
}

std::string HostName()
{
    char host[HOST_NAME_MAX + 1] = {};
    return ::gethostname(host, sizeof host - 1) == 0 ? std::string(host) : std::string();
}

std::string Cleaned(std::string text)
{
    for (char& ch : text) {
        if (ch == ',' || ch == '\n' || ch == '\r')
            ch = ' ';
    }
    return text;
}

} // namespace

TProjectLock::~TProjectLock()
{
    Release();
}

std::string TProjectLock::LockFilePath(const std::string& projectPath)
{
    // The lock goes with the file that is written, which a symbolic link only points at.
    char real[PATH_MAX];
    std::string target = projectPath;
    if (::realpath(projectPath.c_str(), real))
        target = real;
    const std::size_t slash = target.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return dir + ".~lock." + name + "#";
}

bool TProjectLock::Acquire(const std::string& projectPath, const std::string& program)
{
    Release();
    m_heldByOther = false;
    m_tookOver = false;
    m_holder = {};
    m_reason.clear();
    const std::string lockPath = LockFilePath(projectPath);
    // A lock file removed by its holder between our open and our lock is no lock; try again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
            return LockProjectItself(projectPath);
        if (fd < 0) {
            m_reason = std::strerror(errno);
            return false;
        }
        TFdGuard guard(fd);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            m_heldByOther = errno == EWOULDBLOCK;
            m_reason = std::strerror(errno);
            m_holder = ParseHolder(ReadFd(fd));
            return false;
        }
        struct stat opened {};
        struct stat named {};
        if (::fstat(fd, &opened) != 0 || ::stat(lockPath.c_str(), &named) != 0 || opened.st_ino != named.st_ino ||
            opened.st_dev != named.st_dev)
            continue;
        const std::string left = ReadFd(fd);
        if (!left.empty()) {
            m_tookOver = true;
            m_holder = ParseHolder(left);
        }
        const std::string line = Cleaned(program) + "," + Cleaned(UserName()) + "," + Cleaned(HostName()) + "," +
                                 std::to_string(::getpid()) + "\n";
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, line.data(), line.size(), 0) != static_cast<ssize_t>(line.size())) {
            m_reason = std::strerror(errno);
            ::unlink(lockPath.c_str());
            return false;
        }
        m_fd = guard.Release();
        m_lockPath = lockPath;
        return true;
    }
    m_reason = std::strerror(EAGAIN);
    return false;
}

bool TProjectLock::LockProjectItself(const std::string& projectPath)
{
    // A folder that takes no lock file takes no temporary file either, so saves there overwrite
    // the project in place and its own inode can carry the lock (without a holder's name).
    const int fd = ::open(projectPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        m_reason = std::strerror(errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        m_heldByOther = errno == EWOULDBLOCK;
        m_reason = std::strerror(errno);
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void TProjectLock::Release()
{
    if (m_fd < 0)
        return;
    // Removed while still locked, so no other process takes over a file that is going away.
    if (!m_lockPath.empty())
        ::unlink(m_lockPath.c_str());
    ::close(m_fd);
    m_fd = -1;
    m_lockPath.clear();
}

bool TProjectLock::FindHolder(const std::string& projectPath, TLockHolder& holder)
{
    const int fd = ::open(LockFilePath(projectPath).c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    TFdGuard guard(fd);
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0)
        return false;
    holder = ParseHolder(ReadFd(fd));
    return true;
}
