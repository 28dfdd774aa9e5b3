#pragma once

#include <memory>
#include <string>
#include <vector>

// The message catalogue: the "Dialogues" section of the language file in memory,
// turning a message key into its text. One instance serves the whole run.
class TDlgLangConverter final {
public:
    // Loads "Dialogues" from the language file; throws TAppError with the catalogue's failure text.
    explicit TDlgLangConverter(const std::string& path);

    // The text of a key (exact, case-sensitive); throws TAppError when the key is absent.
    std::string GetText(const std::string& key) const;
    // Whether the catalogue holds the key (exact, case-sensitive).
    bool HasText(const std::string& key) const;
    // Looks the text up and shows it through the message sink.
    void ShowByKey(const std::string& key) const;
    // Shows a text the caller already holds through the message sink.
    void ShowText(const std::string& text) const;

    const std::vector<std::string>& Keys() const { return m_keys; }

private:
    std::vector<std::string> m_keys;
    std::vector<std::string> m_lines;
};

// The process-wide catalogue. LangConv() throws TAppError when none is installed.
TDlgLangConverter& LangConv();
bool HasLangConv();
// Installs the catalogue (nullptr removes it); tests install their own.
void SetLangConv(std::unique_ptr<TDlgLangConverter> catalogue);

// The folder of the running executable (no trailing separator); set at start-up, which also
// finds the data folder for it.
const std::string& ExecutableDir();
void SetExecutableDir(const std::string& dir);
// The folder that holds language.dat, the help pages and the sample projects, for an executable
// in executableDir: that folder itself when language.dat lies there (a build folder), else
// <prefix>/share/tremlow when the executable is installed in <prefix>/bin and the language file
// is there, else executableDir (so a failure names the file beside the executable).
std::string FindDataDir(const std::string& executableDir);
// FindDataDir(ExecutableDir()), found when the executable folder was set.
const std::string& DataDir();
// The language file of the chosen language: DataDir()/languages/<code>/language.dat when that
// file exists, else DataDir()/language.dat (the English file, where it has always been). English
// is read from DataDir()/language.dat first, from languages/en/ only when that file is missing.
std::string LanguageFilePath();
// The folder of the chosen language's help pages (no trailing separator), found the same way.
std::string HelpDir();

// Languages: a language is a folder languages/<code>/ of the data folder holding a language.dat
// and its help pages. English ("en") is always there, as the language file beside the program
// (a copy of languages/en/).
inline constexpr const char* kDefaultLanguage = "en";
// The chosen language's code ("en" until SetLanguage).
const std::string& Language();
void SetLanguage(const std::string& code);
// The codes of the languages found in DataDir(), English first, then by code.
std::vector<std::string> AvailableLanguages();
// The same for any data folder.
std::vector<std::string> AvailableLanguagesIn(const std::string& dataDir);
// A language's name in that language (its file's LANGUAGE_NAME), else the code.
std::string LanguageOwnName(const std::string& code);
// The code of a system locale name ("ru_RU.UTF-8" -> "ru"; "C", "POSIX" and "" -> "").
std::string LocaleLanguage(const std::string& localeName);
// The language to use: requested (a command-line choice) when available, else the setting when
// available, else the system locale's language when available, else English.
std::string ChooseLanguage(const std::string& requested, const std::string& setting,
                           const std::string& systemLocale, const std::vector<std::string>& available);
// The system locale's name as the C library sees it: LC_ALL, LC_MESSAGES, then LANG.
std::string SystemLocaleName();
// Takes "--language CODE" or "--language=CODE" out of the arguments (so the rest parse as
// before) and returns CODE, or "" when none is given.
std::string TakeLanguageOption(int& argc, char** argv);
// The language asked for on the command line, kept from the start until the settings are read.
const std::string& RequestedLanguage();
void RequestLanguage(const std::string& code);
