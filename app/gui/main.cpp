// tremlow: the desktop application. The first argument may name a project file to open.
#include "shell/programstart.h"

int main(int argc, char** argv)
{
    return RunTremlow(argc, argv);
}
