#include "headless.h"

#include <filesystem>
#include <iostream>
#include <memory>

#include <CLI/CLI.hpp>

#include "i18n/langconv.h"
#include "i18n/storemessages.h"
#include "settings/regs.h"
#include "store/fileacc.h"

std::optional<int> ParseHeadlessCommand(CLI::App& cli, int argc, char** argv)
{
    try {
        // argv[1] is the command word.
        cli.parse(argc - 1, argv + 1);
    } catch (const CLI::CallForHelp& e) {
        return cli.exit(e);
    } catch (const CLI::ParseError& e) {
        cli.exit(e);
        return 2;
    }
    return std::nullopt;
}

std::string InstallHeadlessCatalogue(const std::string& executableDir)
{
    SetExecutableDir(executableDir);
    TRegs::ApplyLanguage();
    try {
        SetLangConv(std::make_unique<TDlgLangConverter>(LanguageFilePath()));
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

bool LoadHeadlessProject(TFileAccess& store, const std::string& command, const std::string& project, int investId)
{
    const auto fail = [&](const std::string& text) {
        std::cerr << "tremlow " << command << ": " << text << '\n';
        return false;
    };
    if (!std::filesystem::exists(project))
        return fail(ProjectNotFoundText(project));
    store.SetFileName(project);
    if (!store.Load())
        return fail(StoreErrorText(store.LastError()));
    if (investId >= 0 && !store.Investigations().FindById(investId))
        return fail("the project has no investigation with the identifier " + std::to_string(investId));
    return true;
}
