#include "support/core/clirun.h"

#include <cstdlib>

#include <sys/wait.h>

#include "support/core/tempdir.h"

namespace {

// The argument in single quotes for the shell, embedded quotes kept.
std::string ShellWord(const std::string& text)
{
    std::string out = "'";
    for (const char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

TCliRun RunCli(const TTempDir& dir, const std::vector<std::string>& args)
{
    std::string command = ShellWord(TREMLOW_CLI_PATH);
    for (const std::string& arg : args)
        command += ' ' + ShellWord(arg);
    const std::string out = dir.File("cli-stdout.txt");
    const std::string err = dir.File("cli-stderr.txt");
    command += " >" + ShellWord(out) + " 2>" + ShellWord(err);
    const int status = std::system(command.c_str());
    TCliRun run;
    if (status != -1 && WIFEXITED(status))
        run.code = WEXITSTATUS(status);
    run.out = ReadFileBytes(out);
    run.err = ReadFileBytes(err);
    return run;
}
