#include "store/fileio.h"

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

TFileBytes::~TFileBytes()
{
    Release();
}

void TFileBytes::Release()
{
    if (m_block)
        ::munmap(m_block, m_blockSize);
    m_block = nullptr;
    m_blockSize = 0;
    m_mapped = nullptr;
    m_size = m_capacity = 0;
    m_bytes.clear();
}

bool TFileBytes::Read(const std::string& path)
{
    Release();
    constexpr std::size_t kMapFrom = 1 << 20;
    struct stat st {};
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    if (::stat(path.c_str(), &st) != 0)
        return false;
    // errno must say why, since callers show it: a stale value from earlier work would mislead.
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    if (IsTooLargeToRead(st.st_size)) {
        errno = EFBIG;
        return false;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    if (size < kMapFrom)
        return ReadWholeFile(path, m_bytes);
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    TFdGuard guard(fd);
    // In huge pages where the system offers them: a few faults instead of one per 4 kB page,
    // which otherwise cost a load as much as reading the file. The block starts on a huge page.
    constexpr std::size_t kHugePage = 2 << 20;
    const std::size_t blockSize = size + kHugePage;
    void* block = ::mmap(nullptr, blockSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return ReadWholeFile(path, m_bytes);
    m_block = block;
    m_blockSize = blockSize;
    const auto start = (reinterpret_cast<std::uintptr_t>(block) + kHugePage - 1) & ~(kHugePage - 1);
    m_mapped = reinterpret_cast<char*>(start);
    m_capacity = size;
    ::madvise(m_mapped, size, MADV_HUGEPAGE);
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
