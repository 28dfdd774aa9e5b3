#include "i18n/langconv.h"

#include <algorithm>
#include <cstdlib>
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
std::string g_language = kDefaultLanguage;
std::string g_requestedLanguage;
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

namespace {

// DataDir()/languages/<code>, or "" for a code with no such folder and for English when its file
// lies in DataDir() itself (where the program has always read it).
std::string LanguageFolder(const std::string& code)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    if (code.empty() || (code == kDefaultLanguage && fs::is_regular_file(fs::path(DataDir()) / "language.dat", ec)))
        return {};
    const fs::path folder = fs::path(DataDir()) / "languages" / code;
    if (!fs::is_regular_file(folder / "language.dat", ec))
        return {};
    return folder.string();
}

bool IsLanguageCode(const std::string& code)
{
    if (code.empty() || code.size() > 8)
        return false;
    for (const char c : code) {
        if (!((c >= 'a' && c <= 'z') || c == '_' || c == '-'))
            return false;
    }
    return true;
}

} // namespace

std::string LanguageFilePath()
{
    const std::string folder = LanguageFolder(g_language);
    return (folder.empty() ? DataDir() : folder) + "/language.dat";
}

std::string HelpDir()
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const std::string folder = LanguageFolder(g_language);
    if (!folder.empty() && fs::is_directory(folder + "/help", ec))
        return folder + "/help";
    return DataDir() + "/help";
}

const std::string& Language()
{
    return g_language;
}

void SetLanguage(const std::string& code)
{
    g_language = code.empty() ? kDefaultLanguage : code;
}

std::vector<std::string> AvailableLanguages()
{
    return AvailableLanguagesIn(DataDir());
}

std::vector<std::string> AvailableLanguagesIn(const std::string& dataDir)
{
    namespace fs = std::filesystem;
    std::vector<std::string> codes;
    std::error_code ec;
    for (fs::directory_iterator it(fs::path(dataDir) / "languages", ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string code = it->path().filename().string();
        if (code != kDefaultLanguage && IsLanguageCode(code) &&
            fs::is_regular_file(it->path() / "language.dat", ec))
            codes.push_back(code);
    }
    std::sort(codes.begin(), codes.end());
    codes.insert(codes.begin(), kDefaultLanguage);
    return codes;
}

std::string LanguageOwnName(const std::string& code)
{
    const std::string folder = LanguageFolder(code);
    try {
        const TIniFile ini((folder.empty() ? DataDir() : folder) + "/language.dat");
        const std::string name = ini.ReadString(kSection, "LANGUAGE_NAME", "");
        if (!name.empty())
            return name;
    } catch (const std::exception&) {
        // An unreadable file is named by its code.
    }
    return code;
}

std::string LocaleLanguage(const std::string& localeName)
{
    std::string code;
    for (const char c : localeName) {
        if (c == '_' || c == '.' || c == '@' || c == '-')
            break;
        code += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    }
    if (code == "c" || code == "posix")
        return {};
    return code;
}

std::string ChooseLanguage(const std::string& requested, const std::string& setting,
                           const std::string& systemLocale, const std::vector<std::string>& available)
{
    const auto has = [&](const std::string& code) {
        return !code.empty() && std::find(available.begin(), available.end(), code) != available.end();
    };
    if (has(requested))
        return requested;
    if (has(setting))
        return setting;
    const std::string system = LocaleLanguage(systemLocale);
    if (has(system))
        return system;
    return kDefaultLanguage;
}

std::string SystemLocaleName()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return value;
    }
    return {};
}

std::string TakeLanguageOption(int& argc, char** argv)
{
    std::string code;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--language" && i + 1 < argc) {
            code = argv[++i];
            continue;
        }
        if (arg.starts_with("--language=")) {
            code = std::string(arg.substr(11));
            continue;
        }
        argv[kept++] = argv[i];
    }
    for (int i = kept; i < argc; ++i)
        argv[i] = nullptr;
    argc = kept;
    return code;
}

const std::string& RequestedLanguage()
{
    return g_requestedLanguage;
}

void RequestLanguage(const std::string& code)
{
    g_requestedLanguage = code;
}
