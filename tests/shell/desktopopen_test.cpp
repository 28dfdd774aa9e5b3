#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QAbstractButton>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QString>
#include <QUrl>

#include "i18n/langconv.h"
#include "settings/regs.h"
#include "shell/programstart.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "store/groupfile.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"

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

// A client group file opened from the desktop is no project: the start-up choice runs as usual
// and the group goes into the project opened there; without a project the user is told how to
// import it later.
TEST(ShellDesktopOpen, ClientGroupFileGoesIntoTheProjectChosenAtStartUp)
{
    TShellSettings settings;
    TRecordingProgress progress;
    TTempDir dir;
    const QString group = QString::fromStdString(dir.File("Klasse 7.SGR"));
    WriteFileBytes(group.toStdString(),
                   "CLIENT_GROUP\r\nKlasse 7\r\nNULL\r\n1\r\nAnna\r\nwoman\r\n2001-09-30\r\nNULL\r\n");
    const QString project = QString::fromStdString(dir.File("class.soi"));
    ASSERT_TRUE(QFile::copy(QString::fromStdString(SampleProjectPath()), project));
    const auto text = [](const char* key) { return QString::fromStdString(LangConv().GetText(key)); };

    Regs().Root.IsStartingForm = true;
    {
        TScriptedModalSeam seam;
        seam.ExpectDialog("FormStarting", [&](QDialog& form) {
            form.findChild<QRadioButton*>("RadioButtonOpenExisting")->setChecked(true);
            form.findChild<QLineEdit*>("EditFile")->setText(project);
            form.findChild<QAbstractButton*>("ButtonOK")->click();
        });
        TSocMainForm window;
        window.SetCommandLineProject(ProjectPathFromArgument(QUrl::fromLocalFile(group).toString()));
        window.RunStartupAction();
        ASSERT_TRUE(window.HasProject());
        EXPECT_EQ(QString::fromStdString(window.Store()->FileName()), project);
        const TClientGroupTable& groups = window.Store()->ClientGroups();
        EXPECT_EQ(groups.At(groups.Count() - 1).Name, "Klasse 7");
        EXPECT_EQ(window.Store()->CountClientsInGroup(groups.At(groups.Count() - 1).Id), 1);
        EXPECT_EQ(seam.informations, QStringList{text("CLIENT_GROUP_IMPORT_OK")});
        EXPECT_TRUE(seam.AllConsumed());
    }

    // No start-up choice: nothing is opened, and the message names the file.
    Regs().Root.IsStartingForm = false;
    {
        TScriptedModalSeam seam;
        TSocMainForm window;
        window.SetCommandLineProject(group);
        window.RunStartupAction();
        EXPECT_FALSE(window.HasProject());
        ASSERT_EQ(seam.informations.size(), 1);
        EXPECT_TRUE(seam.informations[0].startsWith(text("CLN_GROUP_FILE_NEEDS_PROJECT")));
        EXPECT_TRUE(seam.informations[0].contains(group));
    }
}

TEST(ShellDesktopOpen, ClientGroupFilesAreKnownByExtensionOrFirstLine)
{
    TTempDir dir;
    const std::string group = "CLIENT_GROUP\r\nG\r\nNULL\r\n0\r\n";
    const struct {
        const char* name;
        const char* content; // nullptr: no such file
        bool isGroup;
    } cases[] = {
        {"a.sgr", nullptr, true},
        {"b.SGR", "", true},
        {"group", group.c_str(), true},
        {"bom", "\xEF\xBB\xBF" "CLIENT_GROUP\nG\nNULL\n0\n", true},
        {"project.soi", "[CLIENT_GROUPS]\r\n", false},
        {"plural", "CLIENT_GROUPS\r\n", false},
        {"short", "CLIENT_GROUP", false},
        {"missing", nullptr, false},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File(c.name);
        if (c.content)
            WriteFileBytes(path, c.content);
        EXPECT_EQ(IsGroupFilePath(path), c.isGroup) << c.name;
    }
}

} // namespace
