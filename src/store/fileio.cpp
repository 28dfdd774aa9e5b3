#include "store/fileio.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Closes a descriptor on scope exit unless released.
class TFdGuard final {
public:
    explicit TFdGuard(int fd) : m_fd(fd) {}
    ~TFdGuard()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TFdGuard(const TFdGuard&) = delete;
    TFdGuard& operator=(const TFdGuard&) = delete;
    int Release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

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

// Files of 4 GB and more are no project or language file; refusing them before reading keeps a
// wrongly chosen huge file from filling the memory.
bool IsTooLargeToRead(off_t size)
{
    return size < 0 || static_cast<unsigned long long>(size) >= (1ULL << 32);
}

} // namespace

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

TFileBytes::~TFileBytes()
{
    Release();
}

void TFileBytes::Release()
{
    if (m_mapped)
        ::munmap(m_mapped, m_capacity);
    m_mapped = nullptr;
    m_size = m_capacity = 0;
    m_bytes.clear();
}

bool TFileBytes::Read(const std::string& path)
{
    Release();
    constexpr std::size_t kMapFrom = 1 << 20;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) ||
        IsTooLargeToRead(st.st_size))
        return false;
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size < kMapFrom)
        return ReadWholeFile(path, m_bytes);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    TFdGuard guard(fd);
    void* block =
        ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    if (block == MAP_FAILED)
        return ReadWholeFile(path, m_bytes);
    m_mapped = static_cast<char*>(block);
    m_capacity = size;
    // Reads what the file held when it was opened; a file that shrank meanwhile gives less.
    while (m_size < m_capacity) {
        const ssize_t n = ::read(fd, m_mapped + m_size, m_capacity - m_size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Release();
            return false;
        }
        if (n == 0)
            break;
        m_size += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText)
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
        mode = 0666 & ~mask;
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
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    TLineCursor cursor(text);
    std::string_view line;
    while (cursor.Next(line))
        lines.push_back(line);
    return lines;
}

bool TLineCursor::Next(std::string_view& line)
{
    const char* data = m_text.data();
    const std::size_t size = m_text.size();
    if (m_pos >= size)
        return false;
    // One search for LF serves every CR-ended line before it.
    if (!m_lfKnown || m_nextLf < m_pos) {
        const void* lf = std::memchr(data + m_pos, '\n', size - m_pos);
        m_nextLf = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - data) : size;
        m_lfKnown = true;
    }
    const void* cr = std::memchr(data + m_pos, '\r', m_nextLf - m_pos);
    const std::size_t end = cr ? static_cast<std::size_t>(static_cast<const char*>(cr) - data) : m_nextLf;
    line = m_text.substr(m_pos, end - m_pos);
    if (end == size)
        m_pos = size;
    else if (data[end] == '\r' && end + 1 < size && data[end + 1] == '\n')
        m_pos = end + 2;
    else
        m_pos = end + 1;
    return true;
}
