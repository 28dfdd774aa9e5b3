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

// Replaces path with bytes, crash-safe where the folder allows it: the text goes to a temporary
// file with a short name in the same folder (locked while it is written), is flushed to disk and
// renamed over path, so the old file stays whole until the new one is complete. The new file
// keeps the old one's owner, group and permissions (a new file gets newFileMode less the umask).
// Where that path does not fit - the folder takes no new file, the file has more than one hard
// link, or its owner or group cannot be kept - the file is overwritten in place and flushed.
// A write-protected target (no owner write permission) is refused; a symbolic link is written
// through to its target, which a dangling link gets created. Temporary files that earlier saves
// of the same file left behind when they were killed are removed, never one still being written.
// On failure nothing is left behind and errorText holds the system's reason.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText,
                 mode_t newFileMode = 0666);

// Writes bytes to a file that must not exist yet: the text goes to a temporary file in the same
// folder, is flushed to disk and is then linked in under path, so an existing file is never
// replaced and an interrupted write never leaves a partial file under path. False with errorText
// when path exists (alreadyExists set) or the file cannot be written.
bool WriteNewFile(const std::string& path, std::string_view bytes, std::string& errorText,
                  bool& alreadyExists);

// The name prefix (without folder) of the temporary files ReplaceFile makes for a file named
// fileName; the prefix is followed by six random characters.
std::string TemporaryPrefixFor(std::string_view fileName);
