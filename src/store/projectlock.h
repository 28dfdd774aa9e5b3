#pragma once

#include <string>

// Who holds the lock of a project, as its lock file names it.
struct TLockHolder {
    std::string Program;
    std::string User;
    std::string Host;
    long Pid = 0;
};

// Keeps a second program from changing a project while one has it open for writing: an advisory
// lock (flock) on a lock file beside the project, ".~lock.NAME#", which names the program, user,
// host and process holding it. The system drops the lock with its process, so a lock file whose
// process is gone is stale and taken over. Read-only use needs no lock.
class TProjectLock final {
public:
    TProjectLock() = default;
    ~TProjectLock();
    TProjectLock(const TProjectLock&) = delete;
    TProjectLock& operator=(const TProjectLock&) = delete;

    // Takes the lock of the project file for program. False when another process holds it
    // (Holder() names it, HeldByOther() is true) or the lock file cannot be made (Reason()).
    // A stale lock file is taken over; TookOverStale() is then true and Holder() names whom it
    // was left by.
    bool Acquire(const std::string& projectPath, const std::string& program);
    // Gives the lock up and removes the lock file; also done on destruction.
    void Release();

    bool Held() const { return m_fd >= 0; }
    bool HeldByOther() const { return m_heldByOther; }
    bool TookOverStale() const { return m_tookOver; }
    const TLockHolder& Holder() const { return m_holder; }
    const std::string& Reason() const { return m_reason; }

    // The lock file of a project file (beside the file its symbolic links lead to).
    static std::string LockFilePath(const std::string& projectPath);
    // Reads who holds the lock of a project; false when there is no lock file or no live lock.
    static bool FindHolder(const std::string& projectPath, TLockHolder& holder);

private:
    bool LockProjectItself(const std::string& projectPath);

    int m_fd = -1;
    std::string m_lockPath;
    bool m_heldByOther = false;
    bool m_tookOver = false;
    TLockHolder m_holder;
    std::string m_reason;
};
