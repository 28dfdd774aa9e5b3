// tremlow: the desktop application. The first argument may name a project file to open.
#include <cstring>

#include "collectcommand.h"
#include "exportcommand.h"
#include "i18n/langconv.h"
#include "reportcommand.h"
#include "shell/programstart.h"

int main(int argc, char** argv)
{
    // "--language CODE" serves every command; it is taken out before they parse the rest.
    RequestLanguage(TakeLanguageOption(argc, argv));
    if (argc > 1 && std::strcmp(argv[1], "export") == 0)
        return RunExport(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "collect") == 0)
        return RunCollect(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "report") == 0)
        return RunReport(argc, argv);
    return RunTremlow(argc, argv);
}
