#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// Kind of a stored value: absent, a 32-bit number, a string, or something else (a mistyped value).
enum class TRegValueKind { None, Number, String, Other };

// The per-user settings store: keys named by paths (e.g. "Software\Tremlow\Tree") holding named
// values that are 32-bit numbers or strings, kept in one JSON file "settings.json".
//
// The file is read when the store is made (or on Reload) and written only by Flush, which replaces
// it atomically. Update() is the safe way to change values: under an exclusive lock it re-reads the
// file, applies the change and writes it back, so values another process wrote in the meantime are
// kept (for the same value, the last writer wins). A corrupt or unreadable file is set aside as
// "settings.json.corrupt-<timestamp>" with a warning on stderr, and the store starts empty.
class TRegStore final {
public:
    // A store over the default settings file.
    TRegStore();
    // A store over the given file.
    explicit TRegStore(std::string filePath);
    ~TRegStore();
    TRegStore(const TRegStore&) = delete;
    TRegStore& operator=(const TRegStore&) = delete;

    // The settings folder: $TREMLOW_CONFIG_DIR, else $XDG_CONFIG_HOME/Tremlow, else ~/.config/Tremlow.
    static std::string DefaultDir();
    static std::string DefaultFilePath();

    const std::string& FilePath() const { return m_path; }

    // Re-reads the file, dropping unwritten changes. False when the file was corrupt or unreadable
    // (it is then set aside and the store is empty); a missing file is an empty store.
    bool Reload();

    // Opens a key: true when it exists or, with canCreate, has been created.
    bool OpenKey(const std::string& key, bool canCreate);
    bool KeyExists(const std::string& key) const;

    bool ValueExists(const std::string& key, const std::string& name) const;
    TRegValueKind ValueKind(const std::string& key, const std::string& name) const;
    // The 32 bits of a number value; empty when absent or not a number.
    std::optional<uint32_t> ReadNumber(const std::string& key, const std::string& name) const;
    std::optional<int32_t> ReadInteger(const std::string& key, const std::string& name) const;
    // A string value; empty when absent or not a string.
    std::optional<std::string> ReadString(const std::string& key, const std::string& name) const;

    // Writes create the key when needed. WriteInteger keeps the sign in the file, WriteNumber
    // writes the 32 bits unsigned (colours read better that way); both read back the same.
    void WriteInteger(const std::string& key, const std::string& name, int32_t value);
    void WriteNumber(const std::string& key, const std::string& name, uint32_t value);
    void WriteString(const std::string& key, const std::string& name, const std::string& value);
    // True when the value existed.
    bool DeleteValue(const std::string& key, const std::string& name);

    bool IsDirty() const { return m_dirty; }
    // Writes the file atomically (temporary file, fsync, rename) when there are unwritten changes.
    // False, with a warning on stderr, when it could not be written.
    bool Flush();

    // Locks the file against other processes, re-reads it, applies the change and flushes.
    bool Update(const std::function<void(TRegStore&)>& change);

private:
    struct TData;
    std::string m_path;
    std::unique_ptr<TData> m_data;
    bool m_dirty = false;
};

// Key paths used by the application.
inline constexpr const char* kRegRootKey = "Software\\Tremlow";
inline constexpr const char* kRegSocMainKey = "Software\\Tremlow\\SocMain";
inline constexpr const char* kRegTreeKey = "Software\\Tremlow\\Tree";
inline constexpr const char* kRegChoicesKey = "Software\\Tremlow\\Choices";
inline constexpr const char* kRegIndexesKey = "Software\\Tremlow\\Indexes";
inline constexpr const char* kRegGraphKey = "Software\\Tremlow\\Graph";
inline constexpr const char* kRegTargetKey = "Software\\Tremlow\\Target";
inline constexpr const char* kRegReportKey = "Software\\Tremlow\\Report";
inline constexpr const char* kRegStatusKey = "Software\\Tremlow\\Status";
inline constexpr const char* kRegLastProjectsKey = "Software\\Tremlow\\LastProjects";
