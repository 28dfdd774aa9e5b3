#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QFile>
#include <QString>
#include <QUrl>

#include "shell/programstart.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"

namespace {

TEST(ShellDesktopOpen, CommandLineArgumentsBecomeProjectPaths)
{
    const struct {
        const char* argument;
        const char* path;
    } cases[] = {
        {"  /home/ann/Class 7.soi \n", "/home/ann/Class 7.soi"},
        {"relative/project.soi", "relative/project.soi"},
        {"file:///home/ann/Class%207.soi", "/home/ann/Class 7.soi"},
        {"file:///home/ann/Class 7.soi", "/home/ann/Class 7.soi"},
        {"FILE:///home/ann/a.soi", "/home/ann/a.soi"},
        {"file://localhost/home/ann/a.soi", "/home/ann/a.soi"},
        {"file:///home/ann/%D0%9A%D0%BB%D0%B0%D1%81%D1%81%20%C3%84.soi", "/home/ann/Класс Ä.soi"},
        {"file:///home/ann/100%25.soi", "/home/ann/100%.soi"},
        // Not this machine's files: left as they are, so nothing opens.
        {"file://server/share/a.soi", "file://server/share/a.soi"},
        {"https://tremlow.org/a.soi", "https://tremlow.org/a.soi"},
        // A name that merely starts like an address is a name.
        {"file-list.soi", "file-list.soi"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProjectPathFromArgument(QString::fromUtf8(c.argument)), QString::fromUtf8(c.path)) << c.argument;
}

// The desktop passes a project in a folder and with a name of spaces and non-ASCII letters,
// as a path or as a file:// address; either opens it.
TEST(ShellDesktopOpen, ProjectWithSpacesAndNonAsciiLettersOpensFromPathOrAddress)
{
    TShellSettings settings;
    TRecordingProgress progress;
    TRecordingMessages messages;
    TTempDir dir;
    const std::filesystem::path folder = dir.Path() / "Klasse 7 – Ärger";
    std::filesystem::create_directories(folder);
    const QString project = QString::fromStdString((folder / "Класс 7Б.soi").string());
    ASSERT_TRUE(QFile::copy(QString::fromStdString(SampleProjectPath()), project));

    const QString arguments[] = {project, QUrl::fromLocalFile(project).toString(QUrl::FullyEncoded),
                                 QUrl::fromLocalFile(project).toString()};
    for (const QString& argument : arguments) {
        TSocMainForm window;
        window.SetCommandLineProject(ProjectPathFromArgument(argument));
        window.RunStartupAction();
        ASSERT_TRUE(window.HasProject()) << argument.toStdString();
        EXPECT_EQ(QString::fromStdString(window.Store()->FileName()), project) << argument.toStdString();
        EXPECT_EQ(window.Store()->Clients().Count(), 24);
    }
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_EQ(TShellSettings::Recent().front(), project.toStdString());
}

} // namespace
