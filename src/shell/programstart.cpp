#include "shell/programstart.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>

#include <QApplication>
#include <QUrl>

#include "platform/guimessagesink.h"
#include "platform/modalseam.h"
#include "platform/progressbar.h"
#include "platform/qtlanguage.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "settings/regstore.h"
#include "shell/socmain_f.h"
#include "shell/splashform.h"
#include "util/error.h"
#include "util/messagesink.h"
#include "util/progress.h"
#include "util/service.h"

namespace {

// The application object; an error that escapes an event handler is shown to the user and the
// program goes on (the application's standard error report).
class TTremlowApplication final : public QApplication {
public:
    TTremlowApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            MessageSink().ShowText(e.what());
        }
        return false;
    }
};

// Installs the GUI's sinks for the program's lifetime and restores the previous ones at the end.
class TSinksInstalled final {
public:
    TSinksInstalled() = default;
    TSinksInstalled(const TSinksInstalled&) = delete;
    TSinksInstalled& operator=(const TSinksInstalled&) = delete;

private:
    TGuiMessageSink m_messages;
    TGuiProgressSink m_progress;
    TScopedService<IMessageSink> m_messagesInstalled{SetMessageSink, &m_messages};
    TScopedService<IProgressSink> m_progressInstalled{SetProgressSink, &m_progress};
};

void PrintUsage()
{
    std::cout << "usage: tremlow [PROJECT.soi]\n"
              << "       tremlow export PROJECT.soi --investigation ID --view VIEW [--kind 1|2|3] -o OUT\n"
              << "       tremlow collect PROJECT.soi --investigation ID [--listen ADDRESS] [--port N]\n"
              << "                       [--codes-out CODES.csv] [--until-all|--for MINUTES] [--keep-existing]\n\n"
              << "Tremlow " << TREMLOW_VERSION << ", sociometric research in small groups.\n"
              << "Opens the named project file at start when it exists. A client group file (.sgr)\n"
              << "named instead is imported into the project chosen at the start-up window.\n\n"
              << "  --language CODE  the language of the windows and reports (en, ru; default: the\n"
              << "                   setting, else the system's language when Tremlow has it, else en)\n"
              << "  --help           show this help\n"
              << "  --version        show the version\n\n"
              << "PROJECT may also be a file:// address. The language file language.dat and the help\n"
              << "folder are read from the folder of the executable, or from ../share/tremlow beside it\n"
              << "when Tremlow is installed. With TREMLOW_NONINTERACTIVE=1 a failure at start is written to stderr\n"
              << "instead of being shown in a box (for scripted and headless runs).\n\n"
              << "export draws one view of an investigation (graph, indexes, target or status) into OUT\n"
              << "without a display; the "
              << "format follows OUT's extension (.png, .jpg, .bmp, .svg, .pdf). See tremlow export --help.\n\n"
              << "collect serves a survey page on the classroom network without a display: pupils answer\n"
              << "the investigation's question with their personal codes (written to CODES.csv), then the\n"
              << "answers are taken in and the project is saved. See tremlow collect --help.\n";
}

// A failure before the main window runs: a plain information box, or stderr when no one can
// answer the box (TREMLOW_NONINTERACTIVE=1, used by scripted and headless runs).
void ReportStartFailure(const std::string& text)
{
    const char* nonInteractive = std::getenv("TREMLOW_NONINTERACTIVE");
    if (nonInteractive && std::strcmp(nonInteractive, "1") == 0) {
        std::cerr << text << '\n';
        return;
    }
    Modal().Information(nullptr, QStringLiteral("Tremlow"), QString::fromStdString(text));
}

} // namespace

QString ProjectPathFromArgument(const QString& argument)
{
    const QString trimmed = argument.trimmed();
    if (!trimmed.startsWith(QStringLiteral("file:"), Qt::CaseInsensitive))
        return trimmed;
    QUrl url(trimmed);
    // "file://localhost/..." is this machine; another host is no file Tremlow can open.
    if (url.host().compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0)
        url.setHost(QString());
    if (!url.isLocalFile() || !url.host().isEmpty())
        return trimmed;
    return url.toLocalFile();
}

int RunTremlow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "Tremlow " << TREMLOW_VERSION << '\n';
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage();
            return 0;
        }
    }

    // 1. The application, its title and the folder that holds language.dat and the help pages.
    TTremlowApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tremlow"));
    QApplication::setApplicationVersion(QStringLiteral(TREMLOW_VERSION));
    // Ties the windows to the installed menu entry (its icon and name on Wayland desktops).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.tremlow.Tremlow"));
    SetExecutableDir(QCoreApplication::applicationDirPath().toStdString());
    TSinksInstalled sinks;

    // 2. The message catalogue, before any window, read in the code page of the settings and in
    //    the language asked for, else the setting's, else the system's.
    TRegStore settings;
    TRegs::ApplyStartSettings(settings);
    try {
        SetLangConv(std::make_unique<TDlgLangConverter>(LanguageFilePath()));
    } catch (const TAppError& e) {
        ReportStartFailure(e.what());
        return 1;
    }
    InstallQtTranslation(Language());

    int exitCode = 0;
    std::unique_ptr<TSplashForm> splash;
    try {
        // 3. The splash window, painted at once.
        splash = std::make_unique<TSplashForm>();
        splash->ShowNow();

        // 4. Settings.
        Regs().Load(settings);

        // 5. The main window; its first showing runs the start-up action.
        auto mainWindow = std::make_unique<TSocMainForm>();
        if (argc > 1)
            mainWindow->SetCommandLineProject(ProjectPathFromArgument(QString::fromLocal8Bit(argv[1])));
        // Leaving the main window ends the program, even while the help window is open.
        QObject::connect(mainWindow.get(), &TSocMainForm::FormClosed, &app, &QCoreApplication::quit,
                         Qt::QueuedConnection);
        mainWindow->show();

        // 6. The splash window goes once the main window is up; 7. the message loop.
        splash.reset();
        exitCode = QApplication::exec();

        // 8. Settings are written once, at the end.
        mainWindow.reset();
        if (!Regs().Save())
            std::cerr << "Tremlow: the settings could not be written\n";
    } catch (const TAppError& e) {
        splash.reset();
        ReportStartFailure(e.what());
        exitCode = 1;
    }
    SetLangConv(nullptr);
    return exitCode;
}
