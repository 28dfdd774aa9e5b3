#include "store/groupfile.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <set>

#include <langinfo.h>
#include <locale.h>
#include <sys/stat.h>

#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "store/fileio.h"
#include "util/codepage.h"
#include "util/safefile.h"
#include "util/text.h"
#include "util/xmltext.h"

namespace {

constexpr std::string_view kHeader = "CLIENT_GROUP";
constexpr std::string_view kNull = "NULL";
constexpr std::string_view kLineBreakMark = "&&&&&";
constexpr std::string_view kMale = "man";
constexpr std::string_view kFemale = "woman";
constexpr std::string_view kCrLf = "\r\n";

// A name on one line: a stray line break would shift every following line.
void AppendName(std::string& out, std::string_view name)
{
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char ch = name[i];
        if (ch == '\r' && i + 1 < name.size() && name[i + 1] == '\n')
            continue;
        out += (ch == '\r' || ch == '\n') ? ' ' : ch;
    }
}

// A description on one line: every line break (CR LF, or a lone CR or LF) as "&&&&&"; a
// description of blanks only as "NULL".
void AppendDescription(std::string& out, std::string_view text)
{
    if (Trim(text).empty()) {
        out += kNull;
        return;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\r') {
            out += kLineBreakMark;
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (ch == '\n') {
            out += kLineBreakMark;
        } else {
            out += ch;
        }
    }
}

std::string DescriptionFromLine(std::string_view line)
{
    if (Trim(line) == kNull)
        return {};
    std::string out;
    out.reserve(line.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t mark = line.find(kLineBreakMark, pos);
        if (mark == std::string_view::npos) {
            out.append(line.substr(pos));
            return out;
        }
        out.append(line.substr(pos, mark - pos));
        out += kCrLf;
        pos = mark + kLineBreakMark.size();
    }
}

bool IsDigits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int ToInt(std::string_view digits)
{
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

// "YYYY-MM-DD" (month and day may have one digit).
bool ReadIsoDate(std::string_view text, double& date)
{
    const std::size_t first = text.find('-');
    const std::size_t second = first == std::string_view::npos ? first : text.find('-', first + 1);
    if (second == std::string_view::npos)
        return false;
    const std::string_view year = text.substr(0, first);
    const std::string_view month = text.substr(first + 1, second - first - 1);
    const std::string_view day = text.substr(second + 1);
    if (year.size() != 4 || !IsDigits(year) || month.size() > 2 || !IsDigits(month) || day.size() > 2 ||
        !IsDigits(day))
        return false;
    return EncodeDate(ToInt(year), ToInt(month), ToInt(day), date);
}

bool ReadDate(std::string_view line, double& date, const TDateReader& readLocalDate)
{
    const std::string text = Trim(line);
    if (ReadIsoDate(text, date))
        return true;
    return readLocalDate && readLocalDate(text, date);
}

bool ReadCount(std::string_view line, int64_t& count)
{
    const std::string text = Trim(line);
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, count);
    return !text.empty() && result.ec == std::errc() && result.ptr == end && count >= 0;
}

bool IsRegularFile(const std::string& path, bool& exists)
{
    struct stat st {};
    exists = ::stat(path.c_str(), &st) == 0;
    return exists && S_ISREG(st.st_mode);
}

} // namespace

bool ReadLocalShortDate(std::string_view text, double& date)
{
    locale_t locale = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (!locale)
        locale = ::newlocale(LC_TIME_MASK, "C", static_cast<locale_t>(nullptr));
    if (!locale)
        return false;
    const std::string format = ::nl_langinfo_l(D_FMT, locale);
    ::freelocale(locale);

    const std::string value(text);
    std::tm tm{};
    const char* end = ::strptime(value.c_str(), format.c_str(), &tm);
    if (!end || !Trim(end).empty())
        return false;
    return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, date);
}

bool IsGroupFilePath(const std::string& path)
{
    if (path.size() >= 4) {
        std::string tail = path.substr(path.size() - 4);
        std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
        if (tail == ".sgr")
            return true;
    }
    std::ifstream in(path, std::ios::binary);
    char head[20] = {};
    in.read(head, sizeof head);
    std::string_view start(head, static_cast<std::size_t>(in.gcount()));
    if (start.starts_with("\xEF\xBB\xBF"))
        start.remove_prefix(3);
    return start.starts_with(kHeader) && start.size() > kHeader.size() &&
           (start[kHeader.size()] == '\r' || start[kHeader.size()] == '\n');
}

std::string GroupFileName(std::string_view chosen)
{
    std::string name(chosen);
    if (!name.ends_with(".sgr"))
        name += ".sgr";
    return name;
}

bool GroupFromStore(TFileAccess& store, int32_t groupId, TGroupFileData& data)
{
    TClientGroupInfo info;
    std::string description;
    ReadClientGroup(store, groupId, description, info);
    if (info.Id != groupId)
        return false;
    data = {};
    data.Name = info.Name;
    data.Description = description;
    const TClientTable& clients = store.Clients();
    for (int32_t i = 0; i < clients.Count(); ++i) {
        const TAClient& client = clients.At(i);
        if (client.GroupId != groupId)
            continue;
        data.Clients.push_back({.FullName = client.FullName,
                                .IsMale = client.IsMale,
                                .BirthDate = client.BirthDate,
                                .Description = client.Description});
    }
    return true;
}

bool GroupFileText(const TGroupFileData& data, std::string& text)
{
    text.clear();
    text += kHeader;
    text += kCrLf;
    AppendName(text, data.Name);
    text += kCrLf;
    AppendDescription(text, data.Description);
    text += kCrLf;
    text += std::to_string(data.Clients.size());
    text += kCrLf;
    for (const TGroupFileClient& client : data.Clients) {
        AppendName(text, client.FullName);
        text += kCrLf;
        text += client.IsMale ? kMale : kFemale;
        text += kCrLf;
        int y = 0, m = 0, d = 0;
        if (!DecodeDate(client.BirthDate, y, m, d)) {
            text.clear();
            return false;
        }
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", y, m, d);
        text += date;
        text += kCrLf;
        AppendDescription(text, client.Description);
        text += kCrLf;
    }
    return true;
}

bool ParseGroupFile(std::string_view bytes, TGroupFileData& data, const TDateReader& readLocalDate)
{
    const std::string text = DecodeFileText(bytes);
    const std::vector<std::string_view> lines = SplitLines(text);
    if (lines.size() < 4 || lines[0] != kHeader)
        return false;
    int64_t count = 0;
    if (!ReadCount(lines[3], count))
        return false;
    // Compared by division, so no count can overflow: exactly four lines per client.
    const std::size_t clientLines = lines.size() - 4;
    if (clientLines % 4 != 0 || static_cast<uint64_t>(count) != clientLines / 4)
        return false;

    TGroupFileData read;
    // Text that no XML reader takes is cleaned and an overlong name cut, each with a note.
    const auto clean = [&read](std::string_view line, std::size_t index) {
        if (IsXmlSafeText(line))
            return std::string(line);
        read.Notes.push_back({static_cast<int32_t>(index + 1), TGroupFileNote::TKind::Cleaned});
        return XmlSafeText(line);
    };
    const auto name = [&](std::size_t index) {
        std::string value = clean(lines[index], index);
        if (CharCount(value) > kShortTextMax) {
            read.Notes.push_back({static_cast<int32_t>(index + 1), TGroupFileNote::TKind::Cut});
            value = CutChars(value);
        }
        return value;
    };
    read.Name = name(1);
    read.Description = DescriptionFromLine(clean(lines[2], 2));
    read.Clients.reserve(clientLines / 4);
    for (std::size_t at = 4; at < lines.size(); at += 4) {
        TGroupFileClient client;
        client.FullName = name(at);
        client.IsMale = lines[at + 1] == kMale;
        if (!ReadDate(lines[at + 2], client.BirthDate, readLocalDate))
            return false;
        client.Description = DescriptionFromLine(clean(lines[at + 3], at + 3));
        read.Clients.push_back(std::move(client));
    }
    data = std::move(read);
    return true;
}

TGroupFileResult WriteGroupFile(const std::string& path, const TGroupFileData& data, std::string& errorText)
{
    std::string text;
    if (!GroupFileText(data, text)) {
        errorText = "a client's birthday cannot be written";
        return TGroupFileResult::WriteFailed;
    }
    bool exists = false;
    if (!WriteNewFile(path, text, errorText, exists))
        return exists ? TGroupFileResult::FileExists : TGroupFileResult::WriteFailed;
    return TGroupFileResult::Ok;
}

TGroupFileResult ReadGroupFile(const std::string& path, TGroupFileData& data, const TDateReader& readLocalDate)
{
    bool exists = false;
    if (!IsRegularFile(path, exists))
        return exists ? TGroupFileResult::FileBad : TGroupFileResult::FileNotExist;
    std::string bytes;
    if (!ReadWholeFile(path, bytes)) {
        std::cerr << "tremlow: cannot read the client group file '" << path << "'\n";
        return TGroupFileResult::FileBad;
    }
    return ParseGroupFile(bytes, data, readLocalDate) ? TGroupFileResult::Ok : TGroupFileResult::FileBad;
}

int32_t NewClientGroupId(const TFileAccess& store)
{
    std::set<int32_t> used;
    for (int32_t i = 0; i < store.ClientGroups().Count(); ++i)
        used.insert(store.ClientGroups().At(i).Id);
    int32_t id = 1;
    while (used.count(id) != 0)
        ++id;
    return id;
}

int32_t NewClientId(const TFileAccess& store, int32_t groupId)
{
    std::set<int32_t> used;
    for (int32_t i = 0; i < store.Clients().Count(); ++i) {
        if (store.Clients().At(i).GroupId == groupId)
            used.insert(store.Clients().At(i).Id);
    }
    int32_t id = 1;
    while (used.count(id) != 0)
        ++id;
    return id;
}

std::vector<int32_t> DropReservedNames(TGroupFileData& data)
{
    std::vector<int32_t> lines;
    std::vector<TGroupFileClient> kept;
    for (std::size_t i = 0; i < data.Clients.size(); ++i) {
        // Four header lines, then four lines per client, the name first.
        if (IsReservedNull(data.Clients[i].FullName))
            lines.push_back(static_cast<int32_t>(5 + 4 * i));
        else
            kept.push_back(std::move(data.Clients[i]));
    }
    data.Clients = std::move(kept);
    return lines;
}

int32_t AddGroupToStore(TFileAccess& store, const TGroupFileData& data)
{
    const int32_t groupId = NewClientGroupId(store);
    TClientGroupTable& groups = store.ClientGroups();
    groups.Add(groupId, data.Name);
    if (groups.Last())
        groups.SetDescription(data.Description);

    std::set<int32_t> used;
    for (int32_t i = 0; i < store.Clients().Count(); ++i) {
        if (store.Clients().At(i).GroupId == groupId)
            used.insert(store.Clients().At(i).Id);
    }
    TClientTable& clients = store.Clients();
    int32_t id = 0;
    for (const TGroupFileClient& client : data.Clients) {
        do
            ++id;
        while (used.count(id) != 0);
        clients.Add(id, groupId, client.FullName, client.IsMale, client.BirthDate);
        if (clients.Last())
            clients.SetDescription(client.Description);
    }
    return groupId;
}
