#include "store/updatefile.h"

#include <array>
#include <charconv>
#include <cmath>
#include <iostream>
#include <optional>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

#include "util/messagesink.h"
#include "util/progress.h"
#include "util/safefile.h"
#include "util/text.h"

namespace {

constexpr std::array<std::string_view, 9> kTableSections = {
    "CLIENT_GROUPS", "CLIENTS", "CRITERY_GROUPS", "CRITERIES", "INVESTS", "FOR", "AGAINST", "GRAPH", "USERS"};
constexpr std::string_view kClients = "CLIENTS";
constexpr std::string_view kAdditional = "ADDITIONAL";
constexpr std::string_view kIsAuthor = "IS_AUTHOR";
constexpr std::string_view kFieldNums = "FIELD_NUMS";
constexpr std::string_view kSurname = "CLIENT_FAM";
constexpr std::string_view kGivenName = "CLIENT_NAM";
constexpr std::string_view kPatronymic = "CLIENT_PAT";
constexpr std::string_view kFullName = "CLIENT_FULLNAM";

// A section header starts with "[" and ends with "]", judged on its first 255 characters.
std::optional<std::string_view> HeaderName(std::string_view line)
{
    if (line.size() < 2 || line.front() != '[')
        return std::nullopt;
    if (line.size() > kShortTextMax && CutChars(line, kShortTextMax).back() != ']')
        return std::nullopt;
    if (line.size() <= kShortTextMax && line.back() != ']')
        return std::nullopt;
    return line.substr(1, line.size() - 2);
}

// One section as the load finds it: the first header whose name matches ignoring letter case,
// with the keys and values of its lines that have "=".
struct TSectionScan {
    bool found = false;
    std::string spelled; // the name as the file spells it
    std::vector<std::pair<std::string_view, std::string_view>> pairs;

    bool HasKey(std::string_view key) const
    {
        for (const auto& [k, v] : pairs) {
            if (k == key)
                return true;
        }
        return false;
    }

    // A table section holds FIELD_NUMS = n >= 1, its n column lines and whole records of n lines.
    bool IsWholeTable() const
    {
        if (pairs.empty() || pairs[0].first != kFieldNums)
            return false;
        const std::string_view text = pairs[0].second;
        int64_t n = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), n);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size() || n < 1)
            return false;
        const auto lines = static_cast<int64_t>(pairs.size());
        return lines >= n + 1 && (lines - n - 1) % n == 0;
    }
};

TSectionScan ScanSection(const std::vector<std::string>& lines, std::string_view name)
{
    TSectionScan scan;
    bool inside = false;
    for (const std::string& line : lines) {
        if (const auto header = HeaderName(line)) {
            if (inside)
                break;
            if (EqualsNoCase(*header, name)) {
                inside = true;
                scan.found = true;
                scan.spelled = std::string(*header);
            }
            continue;
        }
        if (!inside)
            continue;
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            scan.pairs.emplace_back(std::string_view(line).substr(0, eq), std::string_view(line).substr(eq + 1));
    }
    return scan;
}

// The owner's write permission is the read-only mark (as the project save honours it).
bool IsWritable(const std::string& path, std::string& errorText)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        errorText = "'" + path + "' is not a readable file";
        return false;
    }
    if ((st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0) {
        errorText = "'" + path + "' is write-protected";
        return false;
    }
    return true;
}

// Keeps the original under the first free name of NAME.bak, NAME.1.bak, NAME.2.bak, ...; an
// earlier backup is never replaced.
bool KeepBackup(const std::string& fileName, const std::string& bytes, std::string& backupName,
                std::string& errorText)
{
    for (int n = 0; n < 1000; ++n) {
        backupName = n == 0 ? fileName + ".bak" : fileName + "." + std::to_string(n) + ".bak";
        bool exists = false;
        if (WriteNewFile(backupName, bytes, errorText, exists))
            return true;
        if (!exists)
            return false;
    }
    errorText = "too many backups of '" + fileName + "'";
    return false;
}

} // namespace

TUpdateFile::TUpdateFile(std::string fileName) : m_image(std::move(fileName))
{
    if (!m_image.ReadLines())
        m_image.Lines().clear();
    Classify();
}

void TUpdateFile::Classify()
{
    const std::vector<std::string>& lines = m_image.Lines();
    const TSectionScan clients = ScanSection(lines, kClients);
    const TSectionScan additional = ScanSection(lines, kAdditional);
    m_mergeNames = clients.found &&
                   (clients.HasKey(kSurname) || clients.HasKey(kGivenName) || clients.HasKey(kPatronymic));
    m_addLoginFlag = !additional.found || !additional.HasKey(kIsAuthor);
    if (clients.found)
        m_clientsSection = clients.spelled;
    if (additional.found)
        m_additionalSection = additional.spelled;

    if (lines.empty()) {
        m_layout = TProjectLayout::NotProject;
        return;
    }
    if (!m_mergeNames && !m_addLoginFlag) {
        m_layout = TProjectLayout::Current;
        return;
    }
    // Only a whole project is converted; anything else goes to the load, which says what is wrong.
    for (std::string_view name : kTableSections) {
        if (!ScanSection(lines, name).IsWholeTable()) {
            m_layout = TProjectLayout::NotProject;
            return;
        }
    }
    m_layout = TProjectLayout::Older;
}

bool TUpdateFile::Convert(std::string& errorText)
{
    m_changes.clear();
    if (m_layout != TProjectLayout::Older) {
        errorText = m_layout == TProjectLayout::Current ? "the file has the current layout already"
                                                        : "the file is not a whole project file";
        return false;
    }
    const std::string& fileName = m_image.FileName();
    if (!IsWritable(fileName, errorText))
        return false;

    const std::vector<std::string> original = m_image.Lines();
    bool ok = false;
    try {
        TProgressScope progress;
        const int step = static_cast<int>(std::lround(100.0 / NeededConversions())) + 1;
        if (m_mergeNames) {
            m_image.RenameColumn(m_clientsSection, kSurname, kFullName);
            m_image.MergeColumn(m_clientsSection, kGivenName, kFullName);
            m_image.MergeColumn(m_clientsSection, kPatronymic, kFullName);
            m_image.WriteValue(m_clientsSection, kFieldNums, "6");
            m_image.DeleteKey(m_clientsSection, kGivenName);
            m_image.DeleteKey(m_clientsSection, kPatronymic);
            m_changes.push_back("CLIENTS: the surname, given name and patronymic columns merged into " +
                                std::string(kFullName));
            progress.Advance(step);
        }
        if (m_addLoginFlag) {
            m_image.WriteValue(m_additionalSection, kIsAuthor, "0");
            m_changes.push_back("ADDITIONAL: IS_AUTHOR=0 added (the project opens without a login)");
            progress.Advance(step);
        }
        std::string bytes;
        if (!ReadWholeFile(fileName, bytes)) {
            errorText = "cannot read '" + fileName + "' again";
        } else if (!KeepBackup(fileName, bytes, m_backupName, errorText)) {
            errorText = "cannot keep the original as a backup: " + errorText;
        } else if (!m_image.WriteLines()) {
            errorText = "cannot write '" + fileName + "'";
        } else {
            ok = true;
        }
    } catch (const std::exception& e) {
        errorText = e.what();
        ok = false;
    }
    if (!ok) {
        m_image.Lines() = original;
        m_changes.clear();
        return false;
    }
    Classify();
    return true;
}

bool TUpdateFile::Check(const std::function<bool()>& askPermission, const std::string& notChangedText)
{
    if (m_layout != TProjectLayout::Older)
        return true;
    if (!askPermission || !askPermission()) {
        MessageSink().ShowText(notChangedText);
        return false;
    }
    std::string error;
    if (!Convert(error)) {
        std::cerr << "tremlow: converting '" << m_image.FileName() << "' failed: " << error << '\n';
        MessageSink().ShowText(notChangedText);
        return false;
    }
    return true;
}
