#pragma once

#include <functional>
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

// Writes all of bytes to a descriptor, going on after short writes; false (errno set) on error.
bool WriteAll(int fd, std::string_view bytes);

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
// link, or its owner or group cannot be kept - the file is overwritten in place: its new size is
// reserved first (a full disk or a size limit then changes nothing), the old contents are kept
// in a recovery copy (RecoveryCopyOf) until the new ones are on disk, and they are written back
// when the write fails; errorText then says whether the file was left as it was or where the
// copy is.
// A write-protected target (no owner write permission) is refused; a symbolic link is written
// through to its target, which a dangling link gets created. Temporary files that earlier saves
// of the same file left behind when they were killed are removed, never one still being written.
// On failure nothing is left behind and errorText holds the system's reason.
bool ReplaceFile(const std::string& path, std::string_view bytes, std::string& errorText,
                 mode_t newFileMode = 0666);

// Writes a file through fill, which gets a locked temporary file as descriptor and as path (for
// libraries that open files by name) and answers false with errorText on failure. Everything
// else is as ReplaceFile: the one way every output (pictures, workbooks, CSV, exports) is written,
// so a device node, a FIFO or a read-only file is never written over and a failed or interrupted
// write leaves the old file and no temporary behind.
using TFileFiller = std::function<bool(int fd, const std::string& tmpPath, std::string& errorText)>;
bool ReplaceFileWith(const std::string& path, const TFileFiller& fill, std::string& errorText);

// Whether ReplaceFile may write path (a regular file its owner may write, or a new name, through
// its symbolic links); false with the reason otherwise. For checks before a long computation.
bool CheckOutputPath(const std::string& path, std::string& errorText);

// Whether two paths lead to the same existing file (through links of either kind), so that no
// command writes its output over its input whatever name the output is given.
bool IsSameFile(const std::string& a, const std::string& b);

// The recovery copy that a write in place of path left because it was interrupted (beside the
// file as NAME.recovery, else in the user's data folder); empty when there is none.
std::string RecoveryCopyOf(const std::string& path);
// Puts the recovery copy back in place of path (a safe replace) and removes it.
bool RestoreRecoveryCopy(const std::string& path, std::string& errorText);
// Removes the recovery copy of path; false when there was none.
bool DiscardRecoveryCopy(const std::string& path);

// Fault injection for tests: runs when a write in place has written half of the new text.
std::function<void()>& InPlaceWriteHook();

// Writes bytes to a file that must not exist yet: the text goes to a temporary file in the same
// folder, is flushed to disk and is then linked in under path, so an existing file is never
// replaced and an interrupted write never leaves a partial file under path. False with errorText
// when path exists (alreadyExists set) or the file cannot be written.
bool WriteNewFile(const std::string& path, std::string_view bytes, std::string& errorText,
                  bool& alreadyExists);

// The name prefix (without folder) of the temporary files ReplaceFile makes for a file named
// fileName; the prefix is followed by six random characters.
std::string TemporaryPrefixFor(std::string_view fileName);
