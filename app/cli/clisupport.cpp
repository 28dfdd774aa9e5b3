// What the subcommands of tremlow-cli share: their registry, their action hook, argument checks
// and loading a project with the message catalogue.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <iostream>

#include <sys/stat.h>
#include <unistd.h>

#include "cli/commands.h"
#include "i18n/langconv.h"
#include "settings/regs.h"
#include "i18n/storemessages.h"
#include "store/fileacc.h"
#include "store/projectlock.h"
#include "util/safefile.h"
#include "util/text.h"

std::vector<TCliCommand>& CliCommands()
{
    static std::vector<TCliCommand> commands;
    return commands;
}

namespace {

bool ParseIdentifier(const std::string& text, int32_t& id)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < INT32_MIN || value > INT32_MAX)
        return false;
    id = static_cast<int32_t>(value);
    return true;
}

} // namespace

void CliInstallCatalogue()
{
    if (HasLangConv())
        return;
    std::string exe(4096, '\0');
    const ssize_t n = ::readlink("/proc/self/exe", exe.data(), exe.size());
    if (n <= 0)
        return;
    exe.resize(static_cast<std::size_t>(n));
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos)
        return;
    SetExecutableDir(slash == 0 ? "/" : exe.substr(0, slash));
    TRegs::ApplyLanguage();
    try {
        SetLangConv(std::make_unique<TDlgLangConverter>(LanguageFilePath()));
    } catch (const std::exception&) {
        // No catalogue: the store reports failures with its built-in English text.
    }
}

int& CliExitCode()
{
    static int code = 0;
    return code;
}

void CliAction(CLI::App& command, std::function<int()> run)
{
    command.callback([run = std::move(run)] { CliExitCode() = run(); });
}

const CLI::Validator& CliIdentifier()
{
    static const CLI::Validator validator(
        [](const std::string& text) {
            int32_t id = 0;
            return ParseIdentifier(text, id) ? std::string()
                                             : CliCatalogueText("CLI_NOT_A_NUMBER", "not a whole number: %1", {text});
        },
        "ID");
    return validator;
}

const CLI::Validator& CliTableFile()
{
    static const CLI::Validator validator(
        [](const std::string& text) {
            const std::string suffix = ToLowerText(std::filesystem::path(text).extension().string());
            return suffix == ".csv" || suffix == ".xlsx"
                       ? std::string()
                       : CliCatalogueText("CLI_NOT_A_TABLE_FILE", "the file name must end in .csv or .xlsx: %1", {text});
        },
        "FILE");
    return validator;
}

int32_t CliIdentifierValue(const std::string& text)
{
    int32_t id = 0;
    ParseIdentifier(text, id);
    return id;
}

bool CliLoadProject(TFileAccess& store)
{
    CliInstallCatalogue();
    const std::string& file = store.FileName();
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 && errno == ENOENT) {
        std::cerr << ProjectNotFoundText(file) << '\n';
        return false;
    }
    if (const std::string copy = RecoveryCopyOf(file); !copy.empty())
        std::cerr << "tremlow-cli: " << RecoveryCopyText(file, copy) << ' '
                  << CliCatalogueText("CLI_RECOVER_HINT", "(%1 puts it back)", {"tremlow-cli recover " + file}) << '\n';
    return store.Load() || ReportStoreError(store.LastError());
}

bool CliSaveProject(TFileAccess& store)
{
    if (!store.Save())
        return ReportStoreError(store.LastError());
    if (store.SavedAsUtf8())
        std::cerr << "tremlow-cli: " << store.FileName() << ": " << SavedAsUtf8Text() << '\n';
    return true;
}

bool CliLockProject(TProjectLock& lock, const std::string& file)
{
    CliInstallCatalogue();
    if (!lock.Acquire(file, "tremlow-cli")) {
        std::cerr << "tremlow-cli: " << LockRefusedText(file, lock) << '\n';
        return false;
    }
    if (lock.TookOverStale())
        std::cerr << "tremlow-cli: " << file << ": " << StaleLockText(lock.Holder()) << '\n';
    return true;
}

bool CliOutputIsNotInput(const std::string& input, const std::string& output)
{
    if (IsSameFile(input, output)) {
        std::cerr << "tremlow-cli: "
                  << CliCatalogueText("CLI_OUTPUT_IS_INPUT",
                                      "%1: this is the input file %2; the output must go to another file",
                                      {output, input})
                  << '\n';
        return false;
    }
    return true;
}

std::string CliCatalogueText(const char* key, const char* fallback)
{
    CliInstallCatalogue();
    if (HasLangConv() && LangConv().HasText(key))
        return LangConv().GetText(key);
    return fallback;
}

std::string CliCatalogueText(const char* key, const char* fallback, std::initializer_list<std::string_view> args)
{
    return FillPlaceholders(CliCatalogueText(key, fallback), args);
}
