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
// DataDir() + "/language.dat".
std::string LanguageFilePath();
