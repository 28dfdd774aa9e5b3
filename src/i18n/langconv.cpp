#include "i18n/langconv.h"

#include <filesystem>
#include <system_error>

#include "settings/inifile.h"
#include "util/error.h"
#include "util/messagesink.h"
#include "util/text.h"

namespace {

const char* const kSection = "Dialogues";

std::unique_ptr<TDlgLangConverter> g_catalogue;
std::string g_executableDir = ".";
std::string g_dataDir = ".";
// Where an installed executable (<prefix>/bin) finds its data; the install rules use the same.
const char* const kInstalledDataFromBin = "../share/tremlow";

// Index of the line whose name (the part before "=") equals name, ignoring letter case.
std::size_t LineIndex(const std::vector<std::string>& lines, const std::string& name)
{
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (EqualsNoCase(line.substr(0, line.find('=')), name))
            break;
    }
    return i;
}

} // namespace

TDlgLangConverter::TDlgLangConverter(const std::string& path)
{
    const TIniFile ini(path);
    m_keys = ini.ReadSectionKeys(kSection);
    if (m_keys.empty())
        throw TAppError(std::string("Inner Error -> Please call to Orvenic Group! - no such section: \"") +
                        kSection + "\"");
    // Entry lines are kept as a name=value list: an empty value removes the line of its name and
    // a repeated name replaces the earlier line, so an empty value or a key written twice (in any
    // letter case) leaves the two lists of unequal length.
    for (const std::string& key : m_keys) {
        const std::string value = ini.ReadString(kSection, key, "");
        const std::size_t i = LineIndex(m_lines, key);
        if (value.empty()) {
            if (i < m_lines.size())
                m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (i < m_lines.size()) {
            m_lines[i] = key + "=" + value;
        } else {
            m_lines.push_back(key + "=" + value);
        }
    }
    if (m_lines.size() != m_keys.size() || m_lines.empty())
        throw TAppError("Inner Error -> Please call to Orvenic Group!");
}

std::string TDlgLangConverter::GetText(const std::string& key) const
{
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (m_keys[i] == key) {
            const std::string line = CutChars(m_lines[i], kShortTextMax);
            const std::size_t eq = line.find('=');
            return eq == std::string::npos ? std::string() : line.substr(eq + 1);
        }
    }
    throw TAppError("Inner Error -> No such message; Bad file! - " + key + " absent");
}

bool TDlgLangConverter::HasText(const std::string& key) const
{
    for (const std::string& k : m_keys) {
        if (k == key)
            return true;
    }
    return false;
}

void TDlgLangConverter::ShowByKey(const std::string& key) const
{
    ShowText(GetText(key));
}

void TDlgLangConverter::ShowText(const std::string& text) const
{
    MessageSink().ShowText(text);
}

TDlgLangConverter& LangConv()
{
    if (!g_catalogue)
        throw TAppError("Inner Error -> The message catalogue is not loaded");
    return *g_catalogue;
}

bool HasLangConv()
{
    return g_catalogue != nullptr;
}

void SetLangConv(std::unique_ptr<TDlgLangConverter> catalogue)
{
    g_catalogue = std::move(catalogue);
}

const std::string& ExecutableDir()
{
    return g_executableDir;
}

void SetExecutableDir(const std::string& dir)
{
    g_executableDir = dir;
    while (g_executableDir.size() > 1 && g_executableDir.back() == '/')
        g_executableDir.pop_back();
    g_dataDir = FindDataDir(g_executableDir);
}

std::string FindDataDir(const std::string& executableDir)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path beside(executableDir);
    if (fs::is_regular_file(beside / "language.dat", ec))
        return executableDir;
    const fs::path installed = (beside / kInstalledDataFromBin).lexically_normal();
    if (fs::is_regular_file(installed / "language.dat", ec)) {
        std::string dir = installed.string();
        while (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        return dir;
    }
    return executableDir;
}

const std::string& DataDir()
{
    return g_dataDir;
}

std::string LanguageFilePath()
{
    return DataDir() + "/language.dat";
}
