#include <gtest/gtest.h>

#include "platform/guimessagesink.h"
#include "platform/modalseam.h"
#include "platform/progressbar.h"
#include "support/ui/scriptedseam.h"

namespace {

// Notes each information box and whether the progress window was on screen while it showed.
class TWatchingSeam final : public TModalSeam {
public:
    TWatchingSeam() : m_previous(SetModalSeam(this)) {}
    ~TWatchingSeam() override { SetModalSeam(m_previous); }

    int Exec(QDialog&) override { return 0; }
    void Information(QWidget*, const QString& t, const QString& text) override
    {
        title = t;
        texts << text;
        TThreadProgressBar* display = TThreadProgressBar::Current();
        progressShown = display && display->Form()->isVisible();
    }
    QString OpenFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    bool OpenUrl(const QString&) override { return false; }

    QString title;
    QStringList texts;
    bool progressShown = true;

private:
    TModalSeam* m_previous;
};

TEST(PlatformGuiMessageSink, ShowsTheTextTitledFromTheCatalogueAboveTheProgressWindow)
{
    TWatchingSeam seam;
    TGuiMessageSink sink;
    TThreadProgressBar display;
    display.SetValue(30);
    sink.ShowText("The project file is damaged.");
    EXPECT_EQ(seam.texts, QStringList{"The project file is damaged."});
    EXPECT_EQ(seam.title, "Tremlow");
    EXPECT_FALSE(seam.progressShown);
    EXPECT_TRUE(display.Form()->isVisible());
    EXPECT_EQ(display.Value(), 30);
}

} // namespace
