#include "exportcommand.h"

#include <iostream>
#include <memory>
#include <string>

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "platform/picturefile.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "views/viewform.h"
#include "views/viewregistry.h"

namespace {

// Sends the store's load failure text to stderr instead of a message box.
void Fail(const std::string& text)
{
    std::cerr << "tremlow export: " << text << '\n';
}

} // namespace

void QuietDesktopMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    std::cerr << qPrintable(qFormatLogMessage(type, context, message)) << '\n';
}

namespace {

std::string ViewNames()
{
    std::string names;
    for (const TViewEntry& entry : ViewEntries())
        names += (names.empty() ? "" : "|") + std::string(entry.Name);
    return names.empty() ? "none" : names;
}

} // namespace

int RunExport(int argc, char** argv)
{
    CLI::App cli("Draws one view of an investigation into a picture file (.png, .jpg, .jpeg, .bmp, .svg, .pdf).",
                 "tremlow export");
    std::string project;
    int investId = 0;
    std::string view;
    int kind = 1;
    std::string output;
    cli.add_option("project", project, "project file (.soi)")->required();
    cli.add_option("--investigation", investId, "investigation identifier")->required();
    cli.add_option("--view", view, "view to draw: " + ViewNames())->required();
    cli.add_option("--kind", kind, "choice kind: 1 positive, 2 negative, 3 any")->check(CLI::Range(1, 3));
    cli.add_option("-o,--output", output, "picture file to write")->required();
    bool statusColours = false;
    cli.add_flag("--status-colours,--status-colors", statusColours,
                 "colour the members by status group, with a legend (sociogram and target)");
    try {
        // argv[1] is the word "export".
        cli.parse(argc - 1, argv + 1);
    } catch (const CLI::CallForHelp& e) {
        return cli.exit(e);
    } catch (const CLI::ParseError& e) {
        cli.exit(e);
        return 2;
    }

    const auto format = PictureFormatOfName(QString::fromStdString(output));
    if (!format) {
        std::cerr << "tremlow export: the output name must end in .png, .jpg, .jpeg, .bmp, .svg or .pdf: "
                  << output << '\n';
        return 2;
    }

    // No display is needed: the view is drawn offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietDesktopMessages);
    QApplication app(argc, argv);
    SetExecutableDir(QCoreApplication::applicationDirPath().toStdString());
    try {
        SetLangConv(std::make_unique<TDlgLangConverter>(LanguageFilePath()));
    } catch (const std::exception&) {
        // Without a catalogue the messages are their keys; drawing still works.
    }
    const TViewEntry* entry = FindViewByName(QString::fromStdString(view));
    if (!entry) {
        std::cerr << "tremlow export: unknown view \"" << view << "\" (known: " << ViewNames() << ")\n";
        return 2;
    }
    // Settings are only read: colours, widths and fonts of the views.
    Regs().Load();
    if (statusColours) {
        Regs().Graph.StatusColors = true;
        Regs().Target.StatusColors = true;
    }

    if (!QFileInfo::exists(QString::fromStdString(project))) {
        Fail("the project file does not exist: " + project);
        return 1;
    }
    TFileAccess store(project);
    if (!store.Load()) {
        Fail("the project file could not be read: " + project);
        return 1;
    }
    if (!store.Investigations().FindById(investId)) {
        Fail("the project has no investigation with the identifier " + std::to_string(investId));
        return 1;
    }
    const QString title = QString::fromStdString(store.Investigations().GetName());

    std::unique_ptr<TVisualChildForm> form;
    try {
        form.reset(entry->Create(store, investId, title));
        form->SetChoiceKind(kind);
    } catch (const std::exception& e) {
        Fail(e.what());
        return 1;
    }
    QString reason;
    if (!WritePicture(QString::fromStdString(output), *format, form->PictureSize(), form->Drawing(), &reason)) {
        Fail("cannot write " + QDir::toNativeSeparators(QString::fromStdString(output)).toStdString() + ": " +
             reason.toStdString());
        return 1;
    }
    return 0;
}
