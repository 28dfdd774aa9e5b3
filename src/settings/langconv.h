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

// The folder of the running executable (no trailing separator); set at start-up.
const std::string& ExecutableDir();
void SetExecutableDir(const std::string& dir);
// ExecutableDir() + "/language.dat".
std::string LanguageFilePath();
