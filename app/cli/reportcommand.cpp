// tremlow-cli report: a report on one object of a project as text, HTML or a Word document.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/reportoutput.h"

namespace {

struct TReportOptions {
    std::string file;
    std::string kind;
    std::string id;
    std::string group;
    std::string format;
    std::string out;
    std::vector<std::string> with;
};

int Report(const TReportOptions& options)
{
    const TReportKind kind = ReportKindOfName(options.kind).value(); // checked by the option
    const bool grouped = kind == TReportKind::Client || kind == TReportKind::Criterion;
    TReportTarget target{kind, CliIdentifierValue(options.id),
                         grouped ? CliIdentifierValue(options.group) : kNoGroupId};
    for (const std::string& id : options.with)
        target.With.push_back(CliIdentifierValue(id));
    return CliWriteReport(options.file, options.format, target, options.out, [](TReporter& r) { r.Generate(); });
}

void DeclareReport(CLI::App& command)
{
    auto options = std::make_shared<TReportOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("--kind", options->kind, "what the report is on")
        ->required()
        ->check(CLI::IsMember({"client", "client-group", "criterion", "criteria-group", "investigation", "comparison"}));
    command.add_option("--id", options->id, "identifier of the object")->required()->check(CliIdentifier());
    command.add_option("--group", options->group,
                       "client group of the client, criteria group of the criterion (needed for those two)")
        ->check(CliIdentifier());
    command.add_option("--with", options->with,
                       "for a comparison: the later investigations compared with --id, in order (repeatable)")
        ->check(CliIdentifier());
    command.add_option("--format", options->format, "output format")
        ->required()
        ->check(CLI::IsMember(kCliReportFormats));
    command.add_option("-o,--output", options->out, "file to write; an existing file is replaced (never the project)")->required();
    command.footer("The investigation report written here has no pictures: the sociogram, the target diagram and "
                   "the index charts are drawn by the program's windows, so `tremlow report` (the GUI program, "
                   "which needs no display) writes them.");
    CliAction(command, [options] {
        // A client or a criterion is known only with its group; a missing one is bad usage.
        const bool grouped = options->kind == "client" || options->kind == "criterion";
        if (grouped && options->group.empty())
            throw CLI::ValidationError("--group", "a " + options->kind + " report needs --group");
        if (options->kind == "comparison" && options->with.empty())
            throw CLI::ValidationError("--with", "a comparison report needs --with");
        return Report(*options);
    });
}

const TCliRegistrar g_report({"report",
                              "write a report on a client, client group, criterion, criteria group or "
                              "investigation, or a comparison of investigations, as text, HTML or a Word document",
                              DeclareReport});

} // namespace
