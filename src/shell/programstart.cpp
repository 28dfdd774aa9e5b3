#include "shell/programstart.h"

#include <cstring>
#include <iostream>

#include <QApplication>
#include <QMainWindow>

int RunTremlow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::cout << "Tremlow " << TREMLOW_VERSION << '\n';
            return 0;
        }
    }
    QApplication app(argc, argv);
    QMainWindow window;
    window.setObjectName("SocMainForm");
    window.show();
    return app.exec();
}
