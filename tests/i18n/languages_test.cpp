#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "i18n/langconv.h"
#include "support/core/tempdir.h"
#include "util/text.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDataDir = TREMLOW_SOURCE_DATA_DIR;
const fs::path kEnglishDir = kDataDir / "languages" / "en";

// section -> lower-case key -> value, read as plain lines so that nothing is forgiven.
using TEntries = std::map<std::string, std::map<std::string, std::string>>;

TEntries ReadEntries(const fs::path& file)
{
    TEntries entries;
    const std::string bytes = ReadFileBytes(file.string());
    std::string section;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            section = ToLowerText(line);
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            entries[section][ToLowerText(line.substr(0, eq))] = line.substr(eq + 1);
    }
    return entries;
}

std::multiset<std::string> Placeholders(const std::string& text)
{
    static const std::regex placeholder(R"(%[0-9sd])");
    std::multiset<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), placeholder); it != std::sregex_iterator(); ++it)
        found.insert(it->str());
    return found;
}

std::vector<std::string> Translations()
{
    std::vector<std::string> codes = AvailableLanguagesIn(kDataDir.string());
    codes.erase(codes.begin()); // English, the original
    return codes;
}

TEST(Languages, EveryTranslationHasEnglishKeysPlaceholdersAndLineEnds)
{
    const TEntries english = ReadEntries(kEnglishDir / "language.dat");
    ASSERT_FALSE(Translations().empty());
    for (const std::string& code : Translations()) {
        const fs::path file = kDataDir / "languages" / code / "language.dat";
        const std::string bytes = ReadFileBytes(file.string());
        EXPECT_TRUE(IsValidUtf8(bytes)) << file;
        std::size_t lines = 0;
        std::size_t crlf = 0;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            lines += bytes[i] == '\n';
            crlf += bytes[i] == '\n' && i > 0 && bytes[i - 1] == '\r';
        }
        EXPECT_EQ(lines, crlf) << file << ": every line ends in CR LF";
        const TEntries translated = ReadEntries(file);
        for (const auto& [section, keys] : english) {
            ASSERT_TRUE(translated.contains(section)) << code << ": no section " << section;
            const auto& other = translated.at(section);
            EXPECT_EQ(keys.size(), other.size()) << code << ": keys of " << section;
            for (const auto& [key, value] : keys) {
                const auto found = other.find(key);
                if (found == other.end()) {
                    ADD_FAILURE() << code << ": " << section << " lacks " << key;
                    continue;
                }
                EXPECT_EQ(value.empty(), found->second.empty()) << code << ": " << key;
                EXPECT_EQ(Placeholders(value), Placeholders(found->second)) << code << ": " << key;
                if (section == "[dialogues]") {
                    EXPECT_LE(CharCount(key + "=" + found->second), kShortTextMax) << code << ": " << key;
                }
            }
        }
    }
}

// A word of the English text that stands in the translation too is English not translated, unless
// it names a file format, a program or a library, or is a sociometric symbol.
TEST(Languages, NoEnglishWordIsLeftInATranslation)
{
    static const std::set<std::string> names{
        "tremlow", "csv", "png", "jpeg", "bmp", "svg", "pdf", "html", "word", "excel", "xlsx", "docx",
        "txt", "graphml", "gexf", "pajek", "net", "utf", "microsoft", "writer", "libreoffice", "https",
        "org", "support", "qt", "widgets", "print", "gnu", "lgpl", "mit", "bsd", "ijg", "apache",
        "nlohmann", "json", "libzip", "zlib", "libjpeg", "turbo", "googletest", "google", "benchmark",
        "bak", "sti", "zsp", "zsi", "javascript", "null", "nul", "fffd", "enter"};
    static const std::regex tag(R"(<[^>]*>)");
    static const std::regex word(R"([A-Za-z]{3,})");
    const auto wordsOf = [](const std::string& value) {
        std::set<std::string> words;
        const std::string text = std::regex_replace(value, tag, " ");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), word); it != std::sregex_iterator(); ++it)
            words.insert(ToLowerText(it->str()));
        return words;
    };
    const TEntries english = ReadEntries(kEnglishDir / "language.dat");
    for (const std::string& code : Translations()) {
        for (const auto& [section, keys] : ReadEntries(kDataDir / "languages" / code / "language.dat")) {
            for (const auto& [key, value] : keys) {
                const auto original = english.find(section);
                if (original == english.end() || !original->second.contains(key))
                    continue;
                const std::set<std::string> englishWords = wordsOf(original->second.at(key));
                for (const std::string& w : wordsOf(value))
                    EXPECT_FALSE(englishWords.contains(w) && !names.contains(w))
                        << code << ": " << key << " keeps the English word \"" << w << "\"";
            }
        }
    }
}

TEST(Languages, EveryHelpPageExistsInEveryLanguageAndItsLinksResolve)
{
    static const std::regex link(R"re(href="([^"#:]*)(?:#([^"]*))?")re");
    std::set<std::string> englishPages;
    for (const auto& entry : fs::directory_iterator(kEnglishDir / "help"))
        englishPages.insert(entry.path().filename().string());
    std::vector<fs::path> folders{kEnglishDir / "help"};
    for (const std::string& code : Translations())
        folders.push_back(kDataDir / "languages" / code / "help");
    for (const fs::path& folder : folders) {
        std::set<std::string> pages;
        for (const auto& entry : fs::directory_iterator(folder))
            pages.insert(entry.path().filename().string());
        EXPECT_EQ(pages, englishPages) << folder;
        for (const std::string& page : pages) {
            const std::string text = ReadFileBytes((folder / page).string());
            for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it) {
                const std::string target = (*it)[1].length() ? (*it)[1].str() : page;
                if (!pages.contains(target)) {
                    ADD_FAILURE() << folder / page << " links to the missing page " << target;
                    continue;
                }
                if ((*it)[2].matched) {
                    EXPECT_NE(ReadFileBytes((folder / target).string()).find("id=\"" + (*it)[2].str() + "\""),
                              std::string::npos)
                        << folder / page << " links to a missing place " << (*it)[2];
                }
            }
        }
    }
}

TEST(Languages, TheLanguageComesFromTheCommandLineTheSettingOrTheSystem)
{
    const std::vector<std::string> available{"en", "ru"};
    struct TCase {
        const char* requested;
        const char* setting;
        const char* locale;
        const char* chosen;
    };
    for (const TCase& c : {TCase{"ru", "en", "C", "ru"}, TCase{"", "ru", "en_GB.UTF-8", "ru"},
                           TCase{"", "", "ru_RU.UTF-8", "ru"}, TCase{"", "", "de_DE.UTF-8", "en"},
                           TCase{"fr", "", "C", "en"}, TCase{"", "", "POSIX", "en"},
                           TCase{"", "xx", "ru_UA", "ru"}})
        EXPECT_EQ(ChooseLanguage(c.requested, c.setting, c.locale, available), c.chosen)
            << c.requested << "|" << c.setting << "|" << c.locale;

    std::string a0 = "tremlow", a1 = "--language", a2 = "ru", a3 = "class.soi", a4 = "--language=en";
    char* argv[] = {a0.data(), a1.data(), a2.data(), a3.data(), a4.data(), nullptr};
    int argc = 5;
    EXPECT_EQ(TakeLanguageOption(argc, argv), "en");
    ASSERT_EQ(argc, 2);
    EXPECT_STREQ(argv[1], "class.soi");
    EXPECT_EQ(argv[2], nullptr);
}

TEST(Languages, AFolderWithALanguageFileIsALanguage)
{
    TTempDir dir;
    fs::create_directories(dir.Path() / "languages" / "ru");
    fs::create_directories(dir.Path() / "languages" / "de"); // no file yet: not offered
    WriteFileBytes((dir.Path() / "languages" / "ru" / "language.dat").string(),
                   "[Dialogues]\r\nLANGUAGE_NAME=Русский\r\n");
    EXPECT_EQ(AvailableLanguagesIn(dir.Path().string()), (std::vector<std::string>{"en", "ru"}));

    // English is read beside the program when its file lies there, else from languages/en/.
    const std::string savedDir = ExecutableDir();
    fs::create_directories(dir.Path() / "languages" / "en");
    WriteFileBytes((dir.Path() / "languages" / "en" / "language.dat").string(), "[Dialogues]\r\n");
    SetExecutableDir(dir.Path().string());
    EXPECT_EQ(LanguageFilePath(), (dir.Path() / "languages" / "en" / "language.dat").string());
    WriteFileBytes(dir.File("language.dat"), "[Dialogues]\r\n");
    EXPECT_EQ(LanguageFilePath(), dir.File("language.dat"));
    SetExecutableDir(savedDir);
}

} // namespace
