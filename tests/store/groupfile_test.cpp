#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "store/groupfile.h"
#include "support/core/tempdir.h"
#include "util/codepage.h"

namespace {

double Day(int year, int month, int day)
{
    double date = 0;
    EXPECT_TRUE(EncodeDate(year, month, day, date));
    return date;
}

std::string Crlf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& line : lines)
        out += line + "\r\n";
    return out;
}

// A reader for local dates that knows only "dd.mm.yyyy", so tests do not depend on the machine.
bool DottedDate(std::string_view text, double& date)
{
    int d = 0, m = 0, y = 0;
    char tail = 0;
    if (std::sscanf(std::string(text).c_str(), "%d.%d.%d%c", &d, &m, &y, &tail) != 3)
        return false;
    return EncodeDate(y, m, d, date);
}

std::optional<TGroupFileData> Parse(const std::string& bytes)
{
    TGroupFileData data;
    if (!ParseGroupFile(bytes, data, DottedDate))
        return std::nullopt;
    return data;
}

TGroupFileData TwoClients()
{
    TGroupFileData data;
    data.Name = "Класс 7б";
    data.Description = "Первая строка\r\nsecond line\r\n\r\nafter an empty line";
    data.Clients.push_back({.FullName = "Иванов Иван", .IsMale = true, .BirthDate = Day(1991, 2, 14),
                            .Description = "   "});
    data.Clients.push_back({.FullName = "Anna Lee", .IsMale = false, .BirthDate = Day(2004, 3, 5),
                            .Description = "one\ntwo\rthree"});
    return data;
}

TEST(GroupFile, AnEmptyGroupIsExactlyFourLinesEndingInZero)
{
    TGroupFileData data;
    data.Name = "Empty";
    std::string text;
    ASSERT_TRUE(GroupFileText(data, text));
    EXPECT_EQ(text, "CLIENT_GROUP\r\nEmpty\r\nNULL\r\n0\r\n");
    const auto read = Parse(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Name, "Empty");
    EXPECT_EQ(read->Description, "");
    EXPECT_TRUE(read->Clients.empty());
}

TEST(GroupFile, ClientsDescriptionsAndCyrillicSurviveTheRoundTrip)
{
    std::string text;
    ASSERT_TRUE(GroupFileText(TwoClients(), text));
    // Blank descriptions go out as "NULL", every kind of line break as "&&&&&", dates in ISO form.
    EXPECT_EQ(text, Crlf({"CLIENT_GROUP", "Класс 7б",
                          "Первая строка&&&&&second line&&&&&&&&&&after an empty line", "2",
                          "Иванов Иван", "man", "1991-02-14", "NULL", "Anna Lee", "woman", "2004-03-05",
                          "one&&&&&two&&&&&three"}));
    const auto read = Parse(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Name, "Класс 7б");
    EXPECT_EQ(read->Description, TwoClients().Description);
    ASSERT_EQ(read->Clients.size(), 2u);
    EXPECT_EQ(read->Clients[0].FullName, "Иванов Иван");
    EXPECT_TRUE(read->Clients[0].IsMale);
    EXPECT_EQ(read->Clients[0].BirthDate, Day(1991, 2, 14));
    EXPECT_EQ(read->Clients[0].Description, "");
    EXPECT_FALSE(read->Clients[1].IsMale);
    EXPECT_EQ(read->Clients[1].BirthDate, Day(2004, 3, 5));
    EXPECT_EQ(read->Clients[1].Description, "one\r\ntwo\r\nthree");
}

TEST(GroupFile, LineEndsOfEveryKindAndALegacyCodePageAreRead)
{
    const std::string lf = "CLIENT_GROUP\nG\nNULL\n1\nA\nman\n2000-01-31\nNULL";     // no final line end
    const std::string cr = "CLIENT_GROUP\rG\rNULL\r1\rA\rman\r2000-01-31\rNULL\r";
    for (const std::string& text : {lf, cr}) {
        const auto read = Parse(text);
        ASSERT_TRUE(read) << text;
        ASSERT_EQ(read->Clients.size(), 1u);
        EXPECT_EQ(read->Clients[0].BirthDate, Day(2000, 1, 31));
    }
    // "Группа" in Windows-1251.
    const auto legacy = Parse("CLIENT_GROUP\r\n\xC3\xF0\xF3\xEF\xEF\xE0\r\nNULL\r\n0\r\n");
    ASSERT_TRUE(legacy);
    EXPECT_EQ(legacy->Name, "Группа");
}

// Sets the code page of 8-bit files for one test and puts the default back afterwards.
class CodePageScope {
public:
    explicit CodePageScope(int codePage) { EXPECT_TRUE(SetFileCodePage(codePage)); }
    ~CodePageScope() { SetFileCodePage(kDefaultCodePage); }
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;
};

TEST(GroupFile, AnEightBitFileIsReadInTheCodePageOfTheSettingsAndUtf8StaysUtf8)
{
    TTempDir dir;
    // "Équipe", "Zoë Martín", "café" in Windows-1252.
    const std::string western = dir.File("western.sgr");
    WriteFileBytes(western, Crlf({"CLIENT_GROUP", "\xC9quipe", "caf\xE9", "1", "Zo\xEB Mart\xEDn", "woman",
                                  "2001-09-30", "NULL"}));
    const std::string utf8 = dir.File("utf8.sgr");
    WriteFileBytes(utf8, Crlf({"CLIENT_GROUP", "Équipe", "café", "0"}));
    {
        CodePageScope scope(1252);
        TGroupFileData read;
        ASSERT_EQ(ReadGroupFile(western, read), TGroupFileResult::Ok);
        EXPECT_EQ(read.Name, "Équipe");
        EXPECT_EQ(read.Description, "café");
        ASSERT_EQ(read.Clients.size(), 1u);
        EXPECT_EQ(read.Clients[0].FullName, "Zoë Martín");
        ASSERT_EQ(ReadGroupFile(utf8, read), TGroupFileResult::Ok);
        EXPECT_EQ(read.Name, "Équipe");
        EXPECT_EQ(read.Description, "café");

        // Exported again, the group is written as UTF-8 and reads back the same under any setting.
        ASSERT_EQ(ReadGroupFile(western, read), TGroupFileResult::Ok);
        std::string error;
        const std::string again = dir.File("again.sgr");
        ASSERT_EQ(WriteGroupFile(again, read, error), TGroupFileResult::Ok) << error;
        EXPECT_NE(ReadFileBytes(again).find("Zo\xC3\xAB Mart\xC3\xADn"), std::string::npos);
        CodePageScope cyrillic(1251);
        TGroupFileData back;
        ASSERT_EQ(ReadGroupFile(again, back), TGroupFileResult::Ok);
        EXPECT_EQ(back.Clients[0].FullName, "Zoë Martín");
    }
    // The same 8-bit bytes under the default Cyrillic code page are other letters.
    TGroupFileData cyrillic;
    ASSERT_EQ(ReadGroupFile(western, cyrillic), TGroupFileResult::Ok);
    EXPECT_EQ(cyrillic.Description, "cafй");
}

TEST(GroupFile, OnlyTheExactWordManIsMale)
{
    for (const char* word : {"man", "Man", "male", "woman", "", " man"}) {
        const auto read = Parse(Crlf({"CLIENT_GROUP", "G", "NULL", "1", "A", word, "2000-01-01", "NULL"}));
        ASSERT_TRUE(read) << word;
        EXPECT_EQ(read->Clients[0].IsMale, std::string(word) == "man") << word;
    }
}

TEST(GroupFile, DatesAreReadInIsoOrTheLocalShortFormat)
{
    const auto read = Parse(Crlf({"CLIENT_GROUP", "G", "NULL", "2", "A", "man", " 1999-7-4 ", "NULL", "B",
                                  "woman", "14.02.1991", "NULL"}));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Clients[0].BirthDate, Day(1999, 7, 4));
    EXPECT_EQ(read->Clients[1].BirthDate, Day(1991, 2, 14));

    // The machine's own format follows the environment's LC_TIME: in the C locale "%m/%d/%y".
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    ::setenv("LC_ALL", "C", 1);
    double date = 0;
    EXPECT_TRUE(ReadLocalShortDate("02/14/91", date));
    EXPECT_EQ(date, Day(1991, 2, 14));
    EXPECT_FALSE(ReadLocalShortDate("02/30/91", date));
    EXPECT_FALSE(ReadLocalShortDate("02/14/91 and more", date));
    if (saved)
        ::setenv("LC_ALL", previous.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}

TEST(GroupFile, BrokenFilesAreRefusedWhole)
{
    const std::vector<std::string> client = {"A", "man", "2000-01-01", "NULL"};
    auto file = [&](const std::string& count, int clients, std::vector<std::string> extra = {}) {
        std::vector<std::string> lines = {"CLIENT_GROUP", "G", "NULL", count};
        for (int i = 0; i < clients; ++i)
            lines.insert(lines.end(), client.begin(), client.end());
        lines.insert(lines.end(), extra.begin(), extra.end());
        return Crlf(lines);
    };
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"empty file", ""},
        {"three lines", "CLIENT_GROUP\r\nG\r\nNULL\r\n"},
        {"other first line", Crlf({"CLIENT_GROUPS", "G", "NULL", "0"})},
        {"4N + 5 lines", file("1", 1, {"extra"})},
        {"an empty line at the end", file("1", 1, {""})},
        {"4N + 3 lines", file("1", 1).substr(0, file("1", 1).size() - 6)},
        {"count too small", file("1", 2)},
        {"count not a number", file("one", 1)},
        {"negative count", file("-1", 0)},
        {"count whose 4N + 4 wraps", file("1073741824", 0)},
        {"count beyond 64 bits", file("99999999999999999999", 0)},
        {"bad date on the last client",
         Crlf({"CLIENT_GROUP", "G", "NULL", "2", "A", "man", "2000-01-01", "NULL", "B", "man", "2000-02-30", "NULL"})},
        {"date not a date", Crlf({"CLIENT_GROUP", "G", "NULL", "1", "A", "man", "yesterday", "NULL"})},
    };
    for (const auto& c : cases) {
        TGroupFileData data;
        data.Name = "untouched";
        EXPECT_FALSE(ParseGroupFile(c.text, data, DottedDate)) << c.name;
        EXPECT_EQ(data.Name, "untouched") << c.name;
    }
}

TEST(GroupFile, NamesAreCutAndALoneNullDescriptionIsEmpty)
{
    const std::string longName(300, 'x');
    const auto read = Parse(Crlf({"CLIENT_GROUP", longName, "  NULL ", "1", longName, "man", "2000-01-01", "a&&&&&b"}));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->Name.size(), 255u);
    EXPECT_EQ(read->Description, "");
    EXPECT_EQ(read->Clients[0].FullName.size(), 255u);
    EXPECT_EQ(read->Clients[0].Description, "a\r\nb");
}

// A client called "NULL" would be nameless once the project is saved: the import leaves it out
// and names its line.
TEST(GroupFile, ClientsNamedNullAreDroppedWithTheirLines)
{
    auto read = Parse(Crlf({"CLIENT_GROUP", "Class", "NULL", "3", "Ann", "man", "2000-01-01", "NULL", "null", "man",
                            "2000-01-01", "NULL", "Bob", "man", "2000-01-01", "NULL"}));
    ASSERT_TRUE(read);
    EXPECT_EQ(DropReservedNames(*read), (std::vector<int32_t>{9}));
    ASSERT_EQ(read->Clients.size(), 2u);
    EXPECT_EQ(read->Clients[1].FullName, "Bob");
}

TEST(GroupFile, ExportReadsTheGroupAndItsClientsInTableOrder)
{
    TFileAccess store;
    store.ClientGroups().Add(1, "One");
    store.ClientGroups().Add(2, "Two");
    ASSERT_TRUE(store.ClientGroups().FindById(2));
    store.ClientGroups().SetDescription("group two");
    store.Clients().Add(5, 2, "Last", false, Day(1990, 1, 1));
    store.Clients().Add(1, 1, "Other group", true, Day(1990, 1, 1));
    store.Clients().Add(2, 2, "First", true, Day(1991, 1, 1));
    TGroupFileData data;
    ASSERT_TRUE(GroupFromStore(store, 2, data));
    EXPECT_EQ(data.Name, "Two");
    EXPECT_EQ(data.Description, "group two");
    ASSERT_EQ(data.Clients.size(), 2u);
    EXPECT_EQ(data.Clients[0].FullName, "Last");
    EXPECT_EQ(data.Clients[1].FullName, "First");
    EXPECT_FALSE(GroupFromStore(store, 3, data));
}

TEST(GroupFile, ImportAddsANewGroupWithTheSmallestFreeIdsEachTime)
{
    TFileAccess store;
    for (int id : {1, 2, 4})
        store.ClientGroups().Add(id, "G" + std::to_string(id));
    store.Clients().Add(1, 3, "left from a removed group", true, Day(1990, 1, 1));
    store.SetModified(false);

    const TGroupFileData data = TwoClients();
    const int32_t first = AddGroupToStore(store, data);
    const int32_t second = AddGroupToStore(store, data);
    EXPECT_EQ(first, 3);
    EXPECT_EQ(second, 5);
    EXPECT_TRUE(store.IsModified());
    ASSERT_TRUE(store.ClientGroups().FindById(5));
    EXPECT_EQ(store.ClientGroups().GetName(), "Класс 7б");
    EXPECT_EQ(store.ClientGroups().GetDescription(), data.Description);
    // Group 3 already held a stray client 1, so the imported ones take 2 and 3.
    EXPECT_TRUE(store.Clients().Find(2, 3));
    EXPECT_EQ(store.Clients().GetFullName(), "Иванов Иван");
    EXPECT_TRUE(store.Clients().Find(3, 3));
    EXPECT_EQ(store.Clients().GetDescription(), "one\ntwo\rthree");
    EXPECT_TRUE(store.Clients().Find(1, 5));
    EXPECT_TRUE(store.Clients().Find(2, 5));
    EXPECT_EQ(store.CountClientsInGroup(5), 2);
}

TEST(GroupFile, FilesAreNeverOverwrittenAndMissingOrOddFilesAreTold)
{
    TTempDir dir;
    const std::string path = dir.File("group.sgr");
    std::string error;
    EXPECT_EQ(WriteGroupFile(path, TwoClients(), error), TGroupFileResult::Ok);
    const std::string written = ReadFileBytes(path);

    TGroupFileData other;
    other.Name = "Other";
    EXPECT_EQ(WriteGroupFile(path, other, error), TGroupFileResult::FileExists);
    EXPECT_EQ(ReadFileBytes(path), written);
    EXPECT_EQ(WriteGroupFile(dir.Path().string(), other, error), TGroupFileResult::FileExists);
    EXPECT_EQ(WriteGroupFile(dir.File("no-such-folder/g.sgr"), other, error), TGroupFileResult::WriteFailed);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1) << "no temporary file left";

    TGroupFileData read;
    EXPECT_EQ(ReadGroupFile(path, read), TGroupFileResult::Ok);
    EXPECT_EQ(read.Clients.size(), 2u);
    EXPECT_EQ(ReadGroupFile(dir.File("missing.sgr"), read), TGroupFileResult::FileNotExist);
    EXPECT_EQ(ReadGroupFile(dir.Path().string(), read), TGroupFileResult::FileBad);

    EXPECT_EQ(GroupFileName("/tmp/a"), "/tmp/a.sgr");
    EXPECT_EQ(GroupFileName("/tmp/a.sgr"), "/tmp/a.sgr");
    EXPECT_EQ(GroupFileName("/tmp/a.SGR"), "/tmp/a.SGR.sgr");
}

} // namespace
