// tremlow: the desktop application. The first argument may name a project file to open.
#include <cstring>

#include "exportcommand.h"
#include "reportcommand.h"
#include "shell/programstart.h"

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "export") == 0)
        return RunExport(argc, argv);
    if (argc > 1 && std::strcmp(argv[1], "report") == 0)
        return RunReport(argc, argv);
    return RunTremlow(argc, argv);
}
