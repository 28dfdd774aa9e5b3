#include "exportcommand.h"
#include "headless.h"

#include <iostream>
#include <memory>
#include <vector>
#include <string>

#include <CLI/CLI.hpp>

#include <QApplication>
#include <QDir>

#include "platform/picturefile.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "util/error.h"
#include "util/safefile.h"
#include "views/compare/compareform.h"
#include "views/sociogram/graphform.h"
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
    cli.add_option("--view", view, "view to draw: " + ViewNames() + "|compare")->required();
    std::vector<int> withIds;
    cli.add_option("--with", withIds,
                   "with --view compare: the later investigations; draws the sociogram of change of the first pair");
    cli.add_option("--kind", kind, "choice kind: 1 positive, 2 negative, 3 any")->check(CLI::Range(1, 3));
    cli.add_option("-o,--output", output, "picture file to write, or .graphml for the sociogram as drawn")->required();
    std::string layout;
    cli.add_option("--layout", layout, "arrange the sociogram first: grid|target|force|circle (the project is not changed)")
        ->check(CLI::IsMember({"grid", "target", "force", "circle"}));
    bool halves = false;
    cli.add_flag("--halves", halves, "target layout: boys in the left half, girls in the right");
    bool titleLine = false;
    cli.add_flag("--title", titleLine, "sociogram: a title line with the investigation, criterion, choices and date");
    cli.footer("tremlow export does not ask for the login of a project that requires one: anyone who can read "
               "a project file can draw its views, so protect project files by their file permissions.\n");
    bool statusColours = false;
    cli.add_flag("--status-colours,--status-colors", statusColours,
                 "colour the members by status group, with a legend (sociogram and target)");
    if (const std::optional<int> ended = ParseHeadlessCommand(cli, argc, argv))
        return *ended;

    const bool graphMl = QFileInfo(QString::fromStdString(output)).suffix().compare(QLatin1String("graphml"),
                                                                                      Qt::CaseInsensitive) == 0;
    const auto format = PictureFormatOfName(QString::fromStdString(output));
    if (!format && !graphMl) {
        std::cerr << "tremlow export: the output name must end in .png, .jpg, .jpeg, .bmp, .svg, .pdf or .graphml: "
                  << output << '\n';
        return 2;
    }

    // No display is needed: the view is drawn offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietDesktopMessages);
    QApplication app(argc, argv);
    // Without a catalogue the messages are their keys; drawing still works.
    InstallHeadlessCatalogue(QCoreApplication::applicationDirPath().toStdString());
    const bool compare = view == "compare";
    const TViewEntry* entry = FindViewByName(QString::fromStdString(view));
    if (compare && withIds.empty()) {
        std::cerr << "tremlow export: --view compare needs --with\n";
        return 2;
    }
    if (!entry && !compare) {
        std::cerr << "tremlow export: unknown view \"" << view << "\" (known: " << ViewNames() << ")\n";
        return 2;
    }
    // Settings are only read: colours, widths and fonts of the views.
    Regs().Load();
    if (statusColours) {
        Regs().Graph.StatusColors = true;
        Regs().Target.StatusColors = true;
    }

    if (IsSameFile(project, output)) {
        Fail("the output " + output + " is the project file itself; write the picture to another file");
        return 1;
    }
    TFileAccess store;
    if (!LoadHeadlessProject(store, "export", project, investId))
        return 1;
    const QString title = QString::fromStdString(store.Investigations().GetName());

    std::unique_ptr<TVisualChildForm> form;
    try {
        if (compare) {
            auto* comparison = new TCompareForm(store, investId, {withIds.begin(), withIds.end()}, title);
            form.reset(comparison);
            comparison->ShowSociogram(0);
        } else {
            form.reset(entry->Create(store, investId, title));
            form->SetChoiceKind(kind);
        }
    } catch (const std::exception& e) {
        Fail(e.what());
        return 1;
    }
    auto* graph = dynamic_cast<TGraphForm*>(form.get());
    if ((!layout.empty() || graphMl || titleLine) && !graph) {
        std::cerr << "tremlow export: --layout, --title and .graphml need the sociogram view\n";
        return 2;
    }
    if (titleLine)
        graph->SetTitleLineShown(true);
    if (!layout.empty()) {
        TLayoutKind layoutKind = TLayoutKind::Grid;
        LayoutOfName(layout, layoutKind);
        graph->SetSexHalves(halves);
        graph->ArrangeBy(layoutKind);
    }
    if (graphMl) {
        std::string error;
        if (!ReplaceFile(output, graph->ViewGraphMl(), error)) {
            Fail(error);
            return 1;
        }
        return 0;
    }
    QString reason;
    if (!WritePicture(QString::fromStdString(output), *format, form->PictureSize(), form->Drawing(), &reason)) {
        Fail("cannot write " + QDir::toNativeSeparators(QString::fromStdString(output)).toStdString() + ": " +
             reason.toStdString());
        return 1;
    }
    return 0;
}
