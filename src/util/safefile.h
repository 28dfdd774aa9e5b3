#pragma once

#include <string>
#include <string_view>

#include <sys/types.h>

// Whole-file reading and crash-safe replacing writes, shared by the project store and the
// settings store.

// Closes a descriptor on scope exit unless released.
class TFdGuard final {
public:
    explicit TFdGuard(int fd) : m_fd(fd) {}
    ~TFdGuard();
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

// Files of 4 GB and more are no project, settings or language file; refusing them before reading
// keeps a wrongly chosen huge file from filling the memory.
bool IsTooLargeToRead(off_t size);

// Reads the whole file; false when it cannot be opened or read (or is not a regular file, or is
// too large to read).
bool ReadWholeFile(const std::string& path, std::string& bytes);

// Replaces path with bytes: writes a temporary file in the same folder, flushes it to disk and
// renames it over path, so the old file stays whole until the new one is complete. Refuses a
// write-protected target (no owner write permission), keeps the target's permissions (a new file
// gets newFileMode less the umask) and writes through a symbolic link to its target. On failure
// the temporary file is removed and errorText says what went wrong.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText,
                 mode_t newFileMode = 0666);

// Writes bytes to a file that must not exist yet: the text goes to a temporary file in the same
// folder, is flushed to disk and is then linked in under path, so an existing file is never
// replaced and an interrupted write never leaves a partial file under path. False with errorText
// when path exists (alreadyExists set) or the file cannot be written.
bool WriteNewFile(const std::string& path, std::string_view bytes, std::string& errorText,
                  bool& alreadyExists);
