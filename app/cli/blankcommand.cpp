// tremlow-cli blank: the blank sociocard or sociomatrix of an investigation.
#include <memory>
#include <string>

#include "cli/commands.h"
#include "cli/reportoutput.h"

namespace {

struct TBlankOptions {
    std::string file;
    std::string investigation;
    std::string form;
    std::string format;
    std::string out;
};

void DeclareBlank(CLI::App& command)
{
    auto options = std::make_shared<TBlankOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_option("--investigation", options->investigation, "identifier of the investigation")
        ->required()
        ->check(CliIdentifier());
    command.add_option("--form", options->form, "which blank questionnaire")
        ->required()
        ->check(CLI::IsMember({"sociocard", "sociomatrix"}));
    command.add_option("--format", options->format, "output format")
        ->required()
        ->check(CLI::IsMember(kCliReportFormats));
    command.add_option("-o,--output", options->out, "file to write; an existing file is replaced (never the project)")->required();
    CliAction(command, [options] {
        const TReportTarget target{TReportKind::Investigation, CliIdentifierValue(options->investigation), kNoGroupId};
        const bool matrix = options->form == "sociomatrix";
        return CliWriteReport(options->file, options->format, target, options->out, [matrix](TReporter& r) {
            if (matrix)
                r.Sociomatrix();
            else
                r.Sociocard();
        });
    });
}

const TCliRegistrar g_blank({"blank", "write the blank sociocard or sociomatrix of an investigation", DeclareBlank});

} // namespace
