#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "i18n/langconv.h"
#include "support/core/tempdir.h"

namespace {

namespace fs = std::filesystem;

// A prefix with <prefix>/bin and <prefix>/share/tremlow, each with or without a language file.
class SettingsDataDir : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(Bin());
        fs::create_directories(Share());
    }
    std::string Bin() const { return m_prefix.File("bin"); }
    std::string Share() const { return (m_prefix.Path() / "share" / "tremlow").string(); }
    static void PutLanguageFile(const std::string& dir) { WriteFileBytes(dir + "/language.dat", "[Dialogues]\n"); }

    TTempDir m_prefix;
};

TEST_F(SettingsDataDir, BuildFolderFirstThenInstalledShareThenBesideTheExecutable)
{
    // Nowhere: the executable's own folder, so a failure names the file beside it.
    EXPECT_EQ(FindDataDir(Bin()), Bin());

    // Installed: <prefix>/bin finds <prefix>/share/tremlow, with the ".." resolved.
    PutLanguageFile(Share());
    EXPECT_EQ(FindDataDir(Bin()), Share());

    // A build folder holds its copy beside the executables, which wins.
    PutLanguageFile(Bin());
    EXPECT_EQ(FindDataDir(Bin()), Bin());
}

TEST_F(SettingsDataDir, AFolderNamedLanguageDatIsNoLanguageFile)
{
    fs::create_directories(Bin() + "/language.dat");
    PutLanguageFile(Share());
    EXPECT_EQ(FindDataDir(Bin()), Share());
}

TEST_F(SettingsDataDir, SettingTheExecutableFolderFindsItsLanguageFileAndHelp)
{
    PutLanguageFile(Share());
    const std::string savedDir = ExecutableDir();
    SetExecutableDir(Bin() + "/");
    EXPECT_EQ(ExecutableDir(), Bin());
    EXPECT_EQ(DataDir(), Share());
    EXPECT_EQ(LanguageFilePath(), Share() + "/language.dat");
    SetExecutableDir(savedDir);
}

} // namespace
