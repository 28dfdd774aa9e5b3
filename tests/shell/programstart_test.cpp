#include <gtest/gtest.h>

#include <memory>

#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QProcessEnvironment>

#include "shell/splashform.h"
#include "support/core/tempdir.h"

namespace {

struct TRun {
    int exitCode = -1;
    QString out;
    QString err;
};

TRun RunProgram(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    TRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "tremlow did not end";
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

TEST(ShellProgramStart, VersionAndHelpNeedNoDisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    const TRun version = RunProgram(TREMLOW_GUI_PATH, {"--version"}, env);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QString("Tremlow %1\n").arg(TREMLOW_VERSION));
    const TRun help = RunProgram(TREMLOW_GUI_PATH, {"--help"}, env);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: tremlow")) << help.out.toStdString();
}

// A copy of the program in a folder of its own, so that each case gives it another language file.
class ShellProgramStartCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<TTempDir>();
        const QString copy = QString::fromStdString(s_dir->File("tremlow"));
        ASSERT_TRUE(QFile::copy(TREMLOW_GUI_PATH, copy));
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    // Starts the copy with this language file (none when content is null) and returns the run.
    TRun Start(const char* content)
    {
        const std::string language = s_dir->File("language.dat");
        QFile::remove(QString::fromStdString(language));
        if (content)
            WriteFileBytes(language, content);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("TREMLOW_NONINTERACTIVE", "1");
        env.insert("TREMLOW_CONFIG_DIR", QString::fromStdString(s_dir->File("config")));
        return RunProgram(QString::fromStdString(s_dir->File("tremlow")), {}, env);
    }

    static std::unique_ptr<TTempDir> s_dir;
};

std::unique_ptr<TTempDir> ShellProgramStartCatalogue::s_dir;

TEST_F(ShellProgramStartCatalogue, EachFailureStopsTheStartWithItsText)
{
    const QString noSection = "Inner Error -> Please call to Orvenic Group! - no such section: \"Dialogues\"\n";
    const QString badLists = "Inner Error -> Please call to Orvenic Group!\n";
    const struct {
        const char* name;
        const char* content;
        QString text;
    } cases[] = {
        {"missing file", nullptr, noSection},
        {"no Dialogues", "[SplashForm]\r\nSplashForm_cap=Tremlow\r\n", noSection},
        {"empty value", "[Dialogues]\r\nAPPLICATION_NAME=Tremlow\r\nNO_BUTTON=\r\n", badLists},
        {"keys differing in case", "[Dialogues]\r\nYES_BUTTON=Yes\r\nyes_button=Yes\r\n", badLists},
    };
    for (const auto& c : cases) {
        const TRun run = Start(c.content);
        EXPECT_NE(run.exitCode, 0) << c.name;
        // Qt may warn on stderr first; the failure text is the last line.
        EXPECT_TRUE(run.err.endsWith(c.text)) << c.name << ": " << run.err.toStdString();
    }
}

TEST(ShellSplashForm, ShowsProductVersionAndRightsTranslated)
{
    TSplashForm splash;
    EXPECT_EQ(splash.objectName(), "SplashForm");
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash.findChild<QLabel*>("LabelProductName")->text(), "Tremlow");
    EXPECT_EQ(splash.findChild<QLabel*>("LabelVersion")->text(), QString("Version %1").arg(TREMLOW_VERSION));
    EXPECT_EQ(splash.findChild<QLabel*>("LabelRights")->text(), RightsNotice());
    EXPECT_EQ(splash.findChild<QLabel*>("LabelDescription")->text(), "Sociometric research in small groups");
    EXPECT_FALSE(splash.findChild<QLabel*>("ImageLogo")->pixmap().isNull());
    for (const QLabel* label : splash.findChildren<QLabel*>())
        EXPECT_NE(label->text(), "!!!---not defined---!!!") << label->objectName().toStdString();
    splash.ShowNow();
    EXPECT_TRUE(splash.isVisible());
}

} // namespace
