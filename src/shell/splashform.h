#pragma once

#include <QWidget>

// The window shown while the program starts: product name, version and rights notice on a white
// panel, borderless and on top, centred on the screen.
class TSplashForm final : public QWidget {
    Q_OBJECT
public:
    explicit TSplashForm(QWidget* parent = nullptr);

    // Shows the window and paints it at once, before the start goes on.
    void ShowNow();
};

// The strings of the executable's version information shown by the splash window.
QString ProductName();
QString ProductVersion();
QString RightsNotice();
