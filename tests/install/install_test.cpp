#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeDatabase>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QSize>
#include <QStandardPaths>
#include <QUrl>

#include "i18n/langconv.h"
#include "support/core/tempdir.h"

namespace {

namespace fs = std::filesystem;

struct TRun {
    bool started = false;
    int exitCode = -1;
    QString out;
    QString err;
};

TRun RunProgram(const QString& program, const QStringList& args,
         const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    TRun run;
    run.started = process.waitForStarted(10000);
    if (!run.started || !process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString Q(const fs::path& path)
{
    return QString::fromStdString(path.string());
}

// The build installed into a temporary prefix, as `cmake --install` does for a user.
class InstallTree : public ::testing::Test {
protected:
    void SetUp() override
    {
        const TRun run = RunProgram(TREMLOW_CMAKE_COMMAND, {"--install", TREMLOW_BUILD_DIR, "--prefix", Q(Prefix())});
        ASSERT_TRUE(run.started && run.exitCode == 0) << run.out.toStdString() << run.err.toStdString();
    }

    fs::path Prefix() const { return m_dir.Path() / "prefix"; }
    fs::path Share() const { return Prefix() / "share"; }

    // The value of a key of the installed menu entry, as written.
    QString DesktopValue(const QString& key) const
    {
        QFile entry(Q(Share() / "applications" / "org.tremlow.Tremlow.desktop"));
        if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
            return {};
        for (const QString& line : QString::fromUtf8(entry.readAll()).split('\n')) {
            if (line.startsWith(key + '='))
                return line.mid(key.size() + 1);
        }
        return {};
    }

    TTempDir m_dir;
};

TEST_F(InstallTree, ExecutablesDataAndDesktopFilesInTheirPlaces)
{
    const char* const files[] = {
        "bin/tremlow",
        "bin/tremlow-cli",
        "share/tremlow/language.dat",
        "share/tremlow/help/index.html",
        "share/tremlow/help/51.html",
        "share/tremlow/languages/en/language.dat",
        "share/tremlow/languages/ru/help/index.html",
        "share/tremlow/examples/school-class.soi",
        "share/man/man1/tremlow.1.gz",
        "share/man/man1/tremlow-cli.1.gz",
        "share/applications/org.tremlow.Tremlow.desktop",
        "share/metainfo/org.tremlow.Tremlow.metainfo.xml",
        "share/mime/packages/org.tremlow.Tremlow.xml",
        "share/icons/hicolor/scalable/apps/org.tremlow.Tremlow.svg",
        "share/icons/hicolor/scalable/mimetypes/application-x-tremlow-project.svg",
        "share/icons/hicolor/scalable/mimetypes/application-x-tremlow-group.svg",
        "share/icons/hicolor/16x16/apps/org.tremlow.Tremlow.png",
        "share/icons/hicolor/48x48/apps/org.tremlow.Tremlow.png",
        "share/icons/hicolor/256x256/apps/org.tremlow.Tremlow.png",
    };
    for (const char* file : files)
        EXPECT_TRUE(fs::is_regular_file(Prefix() / file)) << file;
    for (const char* program : {"bin/tremlow", "bin/tremlow-cli"}) {
        const auto perms = fs::status(Prefix() / program).permissions();
        EXPECT_NE(perms & fs::perms::others_exec, fs::perms::none) << program;
    }
    // Each PNG is the size its folder names.
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString png = Q(Share() / "icons/hicolor" / (std::to_string(size) + "x" + std::to_string(size)) /
                              "apps/org.tremlow.Tremlow.png");
        EXPECT_EQ(QImage(png).size(), QSize(size, size)) << png.toStdString();
    }
}

// The installed tools find their language file in <prefix>/share/tremlow, not beside themselves:
// a failure is told in the catalogue's words there, and in the built-in words once it is gone.
TEST_F(InstallTree, InstalledToolsFindTheLanguageFileInShare)
{
    const std::string catalogueText =
        TDlgLangConverter(Q(Share() / "tremlow/language.dat").toStdString()).GetText("FILE_VIOLATED_MSG");
    const QString cli = Q(Prefix() / "bin/tremlow-cli");
    // A damaged file is told in the catalogue's words (a missing one is named the same either way).
    const QString missing = Q(m_dir.Path() / "damaged.soi");
    WriteFileBytes(missing.toStdString(), "not a project\n");

    const TRun installed = RunProgram(cli, {"check", missing});
    EXPECT_EQ(installed.exitCode, 1);
    EXPECT_TRUE(installed.err.contains(QString::fromStdString(catalogueText))) << installed.err.toStdString();

    const TRun sample = RunProgram(cli, {"check", Q(Share() / "tremlow/examples/school-class.soi")});
    EXPECT_EQ(sample.exitCode, 0) << sample.err.toStdString();

    fs::remove(Share() / "tremlow/language.dat");
    const TRun without = RunProgram(cli, {"check", missing});
    EXPECT_EQ(without.exitCode, 1);
    EXPECT_FALSE(without.err.contains(QString::fromStdString(catalogueText))) << without.err.toStdString();

    // The desktop application refuses to start without it, naming the failure.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TREMLOW_NONINTERACTIVE", "1");
    env.insert("TREMLOW_CONFIG_DIR", Q(m_dir.Path() / "config"));
    const TRun gui = RunProgram(Q(Prefix() / "bin/tremlow"), {}, env);
    EXPECT_NE(gui.exitCode, 0);
    EXPECT_TRUE(gui.err.contains("Dialogues")) << gui.err.toStdString();
}

TEST_F(InstallTree, MenuEntryAndAppStreamDataPassTheirValidators)
{
    const TRun desktop = RunProgram("desktop-file-validate", {Q(Share() / "applications/org.tremlow.Tremlow.desktop")});
    ASSERT_TRUE(desktop.started) << "desktop-file-validate is missing (scripts/install-deps installs it)";
    EXPECT_EQ(desktop.exitCode, 0) << desktop.out.toStdString() << desktop.err.toStdString();
    // Hints count too: a second main category would show Tremlow twice in some menus.
    EXPECT_EQ(desktop.out + desktop.err, QString());

    const TRun appstream =
        RunProgram("appstreamcli", {"validate", "--no-net", Q(Share() / "metainfo/org.tremlow.Tremlow.metainfo.xml")});
    ASSERT_TRUE(appstream.started) << "appstreamcli is missing (scripts/install-deps installs it)";
    EXPECT_EQ(appstream.exitCode, 0) << appstream.out.toStdString() << appstream.err.toStdString();

    // The entry starts an installed program, shows an installed icon, handles the project type,
    // and the AppStream data names this version as the newest release.
    EXPECT_EQ(DesktopValue("Exec"), "tremlow %f");
    EXPECT_TRUE(fs::is_regular_file(Prefix() / "bin" / DesktopValue("TryExec").toStdString()));
    EXPECT_TRUE(fs::is_regular_file(Share() / "icons/hicolor/scalable/apps" /
                                    (DesktopValue("Icon").toStdString() + ".svg")));
    EXPECT_EQ(DesktopValue("MimeType"), "application/x-tremlow-project;application/x-tremlow-group;");
    QFile metainfo(Q(Share() / "metainfo/org.tremlow.Tremlow.metainfo.xml"));
    ASSERT_TRUE(metainfo.open(QIODevice::ReadOnly));
    const QRegularExpressionMatch release =
        QRegularExpression(R"re(<release version="([^"]+)")re").match(QString::fromUtf8(metainfo.readAll()));
    ASSERT_TRUE(release.hasMatch());
    EXPECT_EQ(release.captured(1), TREMLOW_VERSION);
}

// The file types, compiled as the desktop compiles them, name project files by their extension
// and by their first section header, client group files by their extension and first line.
TEST_F(InstallTree, ProjectAndGroupFilesAreKnownByExtensionAndFirstLine)
{
    // The prefix's data folder comes first, as a desktop's search path would hold it.
    const QByteArray systemDirs = qgetenv("XDG_DATA_DIRS");
    const QByteArray dataDirs = Q(Share()).toUtf8() + ":" + (systemDirs.isEmpty() ? "/usr/share" : systemDirs);
    const QByteArray dataHome = Q(m_dir.Path() / "home").toUtf8();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_DIRS", QString::fromUtf8(dataDirs));
    env.insert("XDG_DATA_HOME", QString::fromUtf8(dataHome));
    const TRun update = RunProgram("update-mime-database", {Q(Share() / "mime")}, env);
    ASSERT_TRUE(update.started) << "update-mime-database is missing (scripts/install-deps installs it)";
    ASSERT_EQ(update.exitCode, 0) << update.err.toStdString();
    EXPECT_EQ(update.err, QString());

    // This process has not used the MIME database yet, so it reads the folders set here.
    qputenv("XDG_DATA_DIRS", dataDirs);
    qputenv("XDG_DATA_HOME", dataHome);

    const std::string header = "[CLIENT_GROUPS]\r\nFIELD_NUMS=3\r\nCLIENT_GROUPS_ID=0\r\n";
    const fs::path files = m_dir.Path() / "files";
    fs::create_directories(files);
    WriteFileBytes((files / "Class 7.SOI").string(), "anything");
    WriteFileBytes((files / "no extension").string(), header);
    WriteFileBytes((files / "with bom").string(), "\xef\xbb\xbf" + header);
    WriteFileBytes((files / "other text").string(), "[OTHER]\r\nKEY=1\r\n");

    const QMimeDatabase db;
    const QString type = "application/x-tremlow-project";
    ASSERT_TRUE(db.mimeTypeForName(type).isValid());
    EXPECT_EQ(db.mimeTypeForName(type).comment(), "Tremlow project");
    EXPECT_TRUE(db.mimeTypeForName(type).inherits("text/plain"));
    EXPECT_EQ(db.mimeTypeForFile(Q(Share() / "tremlow/examples/school-class.soi")).name(), type);
    EXPECT_EQ(db.mimeTypeForFile(Q(files / "Class 7.SOI")).name(), type);
    EXPECT_EQ(db.mimeTypeForFile(Q(files / "no extension")).name(), type);
    EXPECT_EQ(db.mimeTypeForFile(Q(files / "with bom")).name(), type);
    EXPECT_NE(db.mimeTypeForFile(Q(files / "other text")).name(), type);

    const std::string group = "CLIENT_GROUP\r\nClass 7\r\nNULL\r\n0\r\n";
    WriteFileBytes((files / "Class 7.SGR").string(), "anything");
    WriteFileBytes((files / "group without extension").string(), group);
    WriteFileBytes((files / "group with bom").string(), "\xef\xbb\xbf" + group);
    WriteFileBytes((files / "unix group").string(), "CLIENT_GROUP\nG\nNULL\n0\n");
    WriteFileBytes((files / "plural").string(), "CLIENT_GROUPS\r\n");
    const QString groupType = "application/x-tremlow-group";
    ASSERT_TRUE(db.mimeTypeForName(groupType).isValid());
    EXPECT_EQ(db.mimeTypeForName(groupType).comment(), "Tremlow client group");
    EXPECT_TRUE(db.mimeTypeForName(groupType).inherits("text/plain"));
    EXPECT_EQ(db.mimeTypeForName(groupType).iconName(), "application-x-tremlow-group");
    for (const char* name : {"Class 7.SGR", "group without extension", "group with bom", "unix group"})
        EXPECT_EQ(db.mimeTypeForFile(Q(files / name)).name(), groupType) << name;
    for (const char* name : {"plural", "no extension", "other text"})
        EXPECT_NE(db.mimeTypeForFile(Q(files / name)).name(), groupType) << name;
}

// The installed program, started the way the menu entry says with the address a file manager
// gives for a project with spaces and non-ASCII letters, opens that project.
TEST_F(InstallTree, ProjectOpenedThroughTheMenuEntry)
{
    const fs::path folder = m_dir.Path() / "Klasse 7 – Ärger";
    fs::create_directories(folder);
    const QString project = Q(folder / "Класс 7Б.soi");
    ASSERT_TRUE(QFile::copy(Q(Share() / "tremlow/examples/school-class.soi"), project));

    QStringList command = DesktopValue("Exec").split(' ');
    ASSERT_EQ(command.size(), 2);
    ASSERT_EQ(command[1], "%f");
    command[1] = QUrl::fromLocalFile(project).toString(QUrl::FullyEncoded);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("PATH", Q(Prefix() / "bin") + ":" + env.value("PATH"));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("TREMLOW_NONINTERACTIVE", "1");
    const QString config = Q(m_dir.Path() / "config");
    env.insert("TREMLOW_CONFIG_DIR", config);

    // An opened project goes at once to the head of the recent projects in the settings file.
    QProcess tremlow;
    tremlow.setProcessEnvironment(env);
    tremlow.start(QStandardPaths::findExecutable(command[0], {Q(Prefix() / "bin")}), {command[1]});
    ASSERT_TRUE(tremlow.waitForStarted(10000));
    QString recent;
    QElapsedTimer clock;
    clock.start();
    while (recent.isEmpty() && clock.elapsed() < 30000 && tremlow.state() == QProcess::Running) {
        tremlow.waitForFinished(200);
        QFile settings(config + "/settings.json");
        if (settings.open(QIODevice::ReadOnly)) {
            const QJsonObject root = QJsonDocument::fromJson(settings.readAll()).object();
            recent = root.value("Software\\Tremlow\\LastProjects").toObject().value("1").toString();
        }
    }
    tremlow.kill();
    tremlow.waitForFinished();
    EXPECT_EQ(recent, project) << tremlow.readAllStandardError().toStdString();
}

} // namespace
