#include "settings/regstore.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <iostream>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "util/safefile.h"

namespace fs = std::filesystem;
using TJson = nlohmann::ordered_json;

struct TRegStore::TData {
    TJson root = TJson::object();
};

namespace {

std::string EnvValue(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

std::string HomeDir()
{
    std::string home = EnvValue("HOME");
    if (!home.empty())
        return home;
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

void Warn(const std::string& text)
{
    std::cerr << "Tremlow settings: " << text << std::endl;
}

std::string Timestamp()
{
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &parts);
    return buf;
}

// Renames a bad settings file out of the way so that a fresh one can be written.
void SetAside(const std::string& path, const std::string& why)
{
    std::string target = path + ".corrupt-" + Timestamp();
    std::error_code ec;
    for (int n = 1; fs::exists(target, ec) && n < 1000; ++n)
        target = path + ".corrupt-" + Timestamp() + "-" + std::to_string(n);
    fs::rename(path, target, ec);
    if (ec)
        Warn(path + ": " + why + "; could not set it aside (" + ec.message() + "); starting with empty settings");
    else
        Warn(path + ": " + why + "; moved to " + target + "; starting with empty settings");
}

// A JSON number that fits 32 bits, signed or unsigned, as its 32 bits.
std::optional<uint32_t> NumberBits(const TJson& value)
{
    if (value.is_number_unsigned()) {
        auto n = value.get<uint64_t>();
        if (n <= UINT32_MAX)
            return static_cast<uint32_t>(n);
    } else if (value.is_number_integer()) {
        auto n = value.get<int64_t>();
        if (n >= INT32_MIN && n <= static_cast<int64_t>(UINT32_MAX))
            return static_cast<uint32_t>(n);
    }
    return std::nullopt;
}

// Holds an exclusive lock on "<file>.lock" for its lifetime (advisory; between Tremlow processes).
class TFileLock final {
public:
    explicit TFileLock(const std::string& path)
    {
        m_fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
            }
        }
    }
    ~TFileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd);  // closing releases the lock
    }
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;

private:
    int m_fd = -1;
};

}  // namespace

TRegStore::TRegStore() : TRegStore(DefaultFilePath()) {}

TRegStore::TRegStore(std::string filePath) : m_path(std::move(filePath)), m_data(std::make_unique<TData>())
{
    Reload();
}

TRegStore::~TRegStore() = default;

std::string TRegStore::DefaultDir()
{
    std::string dir = EnvValue("TREMLOW_CONFIG_DIR");
    if (!dir.empty())
        return dir;
    std::string xdg = EnvValue("XDG_CONFIG_HOME");
    // Relative values are invalid for this variable and are ignored.
    if (!xdg.empty() && xdg.front() == '/')
        return xdg + "/Tremlow";
    return HomeDir() + "/.config/Tremlow";
}

std::string TRegStore::DefaultFilePath()
{
    return DefaultDir() + "/settings.json";
}

bool TRegStore::Reload()
{
    m_data->root = TJson::object();
    m_dirty = false;

    std::error_code ec;
    auto status = fs::status(m_path, ec);
    if (ec || !fs::exists(status))
        return true;
    if (!fs::is_regular_file(status)) {
        SetAside(m_path, "not a regular file");
        return false;
    }
    std::string bytes;
    if (!ReadWholeFile(m_path, bytes)) {
        SetAside(m_path, std::string("cannot be read (") + std::strerror(errno) + ")");
        return false;
    }
    if (bytes.find_first_not_of(" \t\r\n") == std::string::npos)
        return true;  // an empty file holds nothing worth keeping

    TJson parsed = TJson::parse(bytes, nullptr, false);
    if (parsed.is_discarded()) {
        SetAside(m_path, "not valid JSON");
        return false;
    }
    if (!parsed.is_object()) {
        SetAside(m_path, "not a JSON object");
        return false;
    }
    // Entries that are not keys (objects) are dropped with a warning; their values cannot be read.
    TJson clean = TJson::object();
    for (auto it = parsed.begin(); it != parsed.end(); ++it) {
        if (it.value().is_object())
            clean[it.key()] = std::move(it.value());
        else
            Warn(m_path + ": entry \"" + it.key() + "\" is not a key; ignored");
    }
    m_data->root = std::move(clean);
    return true;
}

bool TRegStore::OpenKey(const std::string& key, bool canCreate)
{
    if (KeyExists(key))
        return true;
    if (!canCreate)
        return false;
    m_data->root[key] = TJson::object();
    m_dirty = true;
    return true;
}

bool TRegStore::KeyExists(const std::string& key) const
{
    return m_data->root.contains(key);
}

bool TRegStore::ValueExists(const std::string& key, const std::string& name) const
{
    auto it = m_data->root.find(key);
    return it != m_data->root.end() && it->contains(name);
}

TRegValueKind TRegStore::ValueKind(const std::string& key, const std::string& name) const
{
    auto it = m_data->root.find(key);
    if (it == m_data->root.end())
        return TRegValueKind::None;
    auto value = it->find(name);
    if (value == it->end())
        return TRegValueKind::None;
    if (value->is_string())
        return TRegValueKind::String;
    if (NumberBits(*value))
        return TRegValueKind::Number;
    return TRegValueKind::Other;
}

std::optional<uint32_t> TRegStore::ReadNumber(const std::string& key, const std::string& name) const
{
    auto it = m_data->root.find(key);
    if (it == m_data->root.end())
        return std::nullopt;
    auto value = it->find(name);
    if (value == it->end())
        return std::nullopt;
    return NumberBits(*value);
}

std::optional<int32_t> TRegStore::ReadInteger(const std::string& key, const std::string& name) const
{
    if (auto bits = ReadNumber(key, name))
        return static_cast<int32_t>(*bits);
    return std::nullopt;
}

std::optional<std::string> TRegStore::ReadString(const std::string& key, const std::string& name) const
{
    auto it = m_data->root.find(key);
    if (it == m_data->root.end())
        return std::nullopt;
    auto value = it->find(name);
    if (value == it->end() || !value->is_string())
        return std::nullopt;
    return value->get<std::string>();
}

void TRegStore::WriteInteger(const std::string& key, const std::string& name, int32_t value)
{
    m_data->root[key][name] = value;
    m_dirty = true;
}

void TRegStore::WriteNumber(const std::string& key, const std::string& name, uint32_t value)
{
    m_data->root[key][name] = value;
    m_dirty = true;
}

void TRegStore::WriteString(const std::string& key, const std::string& name, const std::string& value)
{
    m_data->root[key][name] = value;
    m_dirty = true;
}

bool TRegStore::DeleteValue(const std::string& key, const std::string& name)
{
    auto it = m_data->root.find(key);
    if (it == m_data->root.end() || it->erase(name) == 0)
        return false;
    m_dirty = true;
    return true;
}

bool TRegStore::Flush()
{
    if (!m_dirty)
        return true;

    fs::path target(m_path);
    std::error_code ec;
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);

    // Strings that are not valid UTF-8 (odd file names) are written with replacement characters
    // rather than failing the whole write.
    std::string bytes = m_data->root.dump(2, ' ', false, TJson::error_handler_t::replace) + "\n";

    // The file may hold recent project paths; it is kept private to its owner.
    std::string error;
    if (!ReplaceFile(m_path, bytes, error, 0600)) {
        Warn(m_path + ": cannot write settings (" + error + ")");
        return false;
    }
    m_dirty = false;
    return true;
}

bool TRegStore::Update(const std::function<void(TRegStore&)>& change)
{
    std::error_code ec;
    fs::path target(m_path);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);
    TFileLock lock(m_path);
    Reload();
    change(*this);
    return Flush();
}
