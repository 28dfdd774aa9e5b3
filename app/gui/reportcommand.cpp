#include "reportcommand.h"

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include <QApplication>

#include "exportcommand.h"
#include "headless.h"
#include "i18n/langconv.h"
#include "platform/pdfreport.h"
#include "reports/htmlbuilder.h"
#include "reports/textbuilder.h"
#include "reports/wordbuilder.h"
#include "settings/regs.h"
#include "store/fileacc.h"
#include "views/viewpictures.h"

namespace {

std::unique_ptr<TReporter> MakeBuilder(const std::string& format, const TReportTarget& target, const std::string& out)
{
    if (format == "html")
        return std::make_unique<THTMLBuilder>(target, false, out);
    if (format == "word")
        return std::make_unique<TWordBuilder>(target, false, out);
    if (format == "pdf")
        return std::make_unique<TPdfBuilder>(target, false, out);
    return std::make_unique<TTextBuilder>(target, false, out);
}

} // namespace

int RunReport(int argc, char** argv)
{
    CLI::App cli("Writes a report or a blank questionnaire as text, HTML, a Word document or PDF.", "tremlow report");
    std::string project;
    std::string kind;
    int id = 0;
    int group = kNoGroupId;
    std::vector<int> with;
    std::string format;
    std::string output;
    cli.add_option("project", project, "project file (.soi)")->required();
    cli.add_option("--kind", kind, "what to write")
        ->required()
        ->check(CLI::IsMember({"client", "client-group", "criterion", "criteria-group", "investigation",
                               "comparison", "sociocard", "sociomatrix"}));
    cli.add_option("--id", id, "identifier of the object (the investigation of a blank)")->required();
    cli.add_option("--group", group, "client group of the client, criteria group of the criterion");
    cli.add_option("--with", with, "for a comparison: the later investigations compared with --id, in order");
    cli.add_option("--format", format, "output format")->required()->check(CLI::IsMember({"text", "html", "word", "pdf"}));
    cli.add_option("-o,--output", output, "file to write")->required();
    cli.footer("An investigation report holds the sociogram, the target diagram and the two index charts as the "
               "windows draw them (when the report settings have those parts on); a text report writes them as PNG "
               "files beside it, named in the text.");
    cli.callback([&] {
        if (kind == "comparison" && with.empty())
            throw CLI::ValidationError("--with", "a comparison report needs --with");
    });
    if (const std::optional<int> ended = ParseHeadlessCommand(cli, argc, argv))
        return *ended;

    // No display is needed: PDF pages are laid out offscreen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietDesktopMessages);
    QApplication app(argc, argv);
    // A report is words: it needs the catalogue.
    if (const std::string failure = InstallHeadlessCatalogue(QCoreApplication::applicationDirPath().toStdString());
        !failure.empty()) {
        std::cerr << "tremlow report: no language file: " << failure << '\n';
        return 1;
    }
    Regs().Load(); // the order and selection of the investigation report's parts
    TFileAccess store;
    if (!LoadHeadlessProject(store, "report", project, -1))
        return 1;
    // The two blanks are on an investigation.
    const TReportKind reportKind = ReportKindOfName(kind).value_or(TReportKind::Investigation);
    TReportTarget target{reportKind, id, group};
    target.With.assign(with.begin(), with.end());
    std::unique_ptr<TReporter> builder = MakeBuilder(format, target, output);
    builder->SetStore(store);
    // The investigation report's pictures are drawn by the views, offscreen.
    TViewPictures pictures(store);
    builder->SetPictures(&pictures);
    try {
        if (kind == "sociocard")
            builder->Sociocard();
        else if (kind == "sociomatrix")
            builder->Sociomatrix();
        else
            builder->Generate();
    } catch (const std::exception& e) {
        std::cerr << "tremlow report: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
