#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "util/safefile.h"

// File helpers of the project store: large files read in one block, and line splitting.

// The bytes of a whole file in one block of memory mapped for it, which for large project files is
// much cheaper than growing a buffer page by page.
class TFileBytes final {
public:
    TFileBytes() = default;
    ~TFileBytes();
    TFileBytes(const TFileBytes&) = delete;
    TFileBytes& operator=(const TFileBytes&) = delete;

    // False when the file cannot be opened or read (or is not a regular file).
    bool Read(const std::string& path);
    std::string_view View() const
    {
        return m_mapped ? std::string_view(m_mapped, m_size) : std::string_view(m_bytes);
    }

private:
    void Release();

    void* m_block = nullptr; // the mapping, which m_mapped lies in
    std::size_t m_blockSize = 0;
    char* m_mapped = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::string m_bytes; // small files and files whose size the system does not report
};

// Splits text at CR, LF and CR LF; a final line without a line end counts as a line.
std::vector<std::string_view> SplitLines(std::string_view text);

// Walks the lines of a text one by one, split as SplitLines splits them, for texts too large
// to want a list of all their lines.
class TLineCursor final {
public:
    explicit TLineCursor(std::string_view text) : m_text(text) {}

    // The next line (a view into the text); false after the last one.
    bool Next(std::string_view& line);

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_nextLf = 0; // position of the next LF at or after m_pos (the size when none)
    bool m_lfKnown = false;
};
