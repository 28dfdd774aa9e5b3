#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QDir>
#include <QRegularExpression>
#include <QTextBrowser>

#include "platform/helpviewer.h"
#include "i18n/langconv.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"

namespace {

QTextBrowser* Browser()
{
    return HelpWindow() ? HelpWindow()->findChild<QTextBrowser*>("HelpBrowser") : nullptr;
}

TEST(PlatformHelpViewer, TopicPagesAndTheContentsFallback)
{
    const QString folder = QString::fromStdString(ExecutableDir()) + "/help/";
    EXPECT_EQ(HelpPagePath(THelpTopic::MainWindow), folder + "51.html");
    EXPECT_EQ(HelpPagePath(static_cast<THelpTopic>(99999)), folder + "index.html");
    EXPECT_EQ(HelpPagePath(THelpTopic::Contents), folder + "index.html");
    EXPECT_TRUE(QFile::exists(HelpPagePath(THelpTopic::MainWindow)));
    // The save question and the exit question have pages of their own.
    EXPECT_EQ(HelpPagePath(THelpTopic::SaveQuestion), folder + "502.html");
    EXPECT_EQ(HelpPagePath(THelpTopic::ExitQuestion), folder + "507.html");
    EXPECT_TRUE(QFile::exists(HelpPagePath(THelpTopic::Contents)));
}

// Installed, the pages lie in <prefix>/share/tremlow/help beside the language file.
TEST(PlatformHelpViewer, InstalledPagesAreReadFromShare)
{
    TTempDir prefix;
    const QString share = QString::fromStdString(prefix.File("share")) + "/tremlow";
    ASSERT_TRUE(QDir().mkpath(share + "/help"));
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(prefix.File("bin"))));
    WriteFileBytes((share + "/language.dat").toStdString(), "[Dialogues]\n");
    WriteFileBytes((share + "/help/51.html").toStdString(), "<p>main window</p>");
    const std::string savedDir = ExecutableDir();
    SetExecutableDir(prefix.File("bin"));
    EXPECT_EQ(HelpPagePath(THelpTopic::MainWindow), share + "/help/51.html");
    EXPECT_EQ(HelpPagePath(THelpTopic::Starting), share + "/help/index.html");
    SetExecutableDir(savedDir);
}

TEST(PlatformHelpViewer, OneWindowFollowsLinksBetweenPages)
{
    ShowHelpTopic(static_cast<THelpTopic>(99999));
    QWidget* window = HelpWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Tremlow Help");
    QTextBrowser* browser = Browser();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("/help/index.html"));
    EXPECT_TRUE(browser->toPlainText().contains("Tremlow Help"));

    TScriptedModalSeam seam;
    Q_EMIT browser->anchorClicked(QUrl("51.html#tutorial"));
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("/help/51.html"));
    EXPECT_TRUE(browser->toPlainText().contains("Tutorial"));
    Q_EMIT browser->anchorClicked(QUrl("https://tremlow.org/support"));
    EXPECT_EQ(seam.openedUrls, QStringList{"https://tremlow.org/support"});
    Q_EMIT browser->anchorClicked(QUrl("no-such-page.html"));
    EXPECT_TRUE(browser->source().toLocalFile().endsWith("/help/index.html"));

    ShowHelpTopic(THelpTopic::MainWindow);
    EXPECT_EQ(HelpWindow(), window);
    EXPECT_TRUE(Browser()->source().toLocalFile().endsWith("/help/51.html"));
    window->close();
}

TEST(PlatformHelpViewer, StaysUsableBesideAModalDialogAndOutlivesIt)
{
    {
        QDialog box;
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        ShowHelpTopic(THelpTopic::MainWindow);
        ASSERT_NE(HelpWindow(), nullptr);
        EXPECT_EQ(HelpWindow()->parentWidget(), &box);
        EXPECT_TRUE(HelpWindow()->isWindow());
        box.hide();
        EXPECT_EQ(HelpWindow()->parentWidget(), nullptr);
    }
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_TRUE(HelpWindow()->isVisible());
    HelpWindow()->close();
}

TEST(PlatformHelpViewer, OpensBesideItsDialogOnTheScreenAndEscapeClosesIt)
{
    if (HelpWindow())
        HelpWindow()->close();
    QCoreApplication::processEvents();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // A dialog at the screen's left edge: the help goes to its right; at the right edge, to its left.
    for (const bool atLeft : {true, false}) {
        SCOPED_TRACE(atLeft ? "dialog on the left" : "dialog on the right");
        QDialog box;
        box.setWindowModality(Qt::ApplicationModal);
        box.resize(300, 200);
        box.move(atLeft ? area.left() : area.right() - 300, area.top() + 40);
        box.show();
        ShowHelpTopic(THelpTopic::ClientGroup);
        QWidget* help = HelpWindow();
        ASSERT_NE(help, nullptr);
        const QRect place = help->geometry();
        EXPECT_TRUE(area.contains(place)) << "the whole window and its title bar on the screen";
        EXPECT_GE(place.top(), area.top() + 20) << "room for the title bar above it";
        if (atLeft)
            EXPECT_GT(place.left(), box.frameGeometry().right());
        else
            EXPECT_LT(place.right(), box.frameGeometry().left());
        QTest::keyClick(help, Qt::Key_Escape);
        QCoreApplication::processEvents();
        EXPECT_TRUE(HelpWindow() == nullptr || !HelpWindow()->isVisible());
        EXPECT_TRUE(box.isVisible()) << "Escape in the help leaves the dialog open";
    }
}

TEST(PlatformHelpViewer, ContentsLinksEveryPageAndPagesUseNoExternalResources)
{
    const QDir help(QString(TREMLOW_SOURCE_DATA_DIR) + "/languages/en/help");
    const QString index = QString::fromStdString(ReadFileBytes(help.filePath("index.html").toStdString()));
    const QStringList pages = help.entryList({"*.html"}, QDir::Files);
    ASSERT_FALSE(pages.isEmpty());
    const QRegularExpression external(R"re((src|href)\s*=\s*"(?!https?://tremlow\.org)[a-z]+://)re");
    for (const QString& page : pages) {
        if (page != "index.html") {
            EXPECT_TRUE(index.contains("href=\"" + page)) << page.toStdString() << " is not in the contents";
        }
        const QString text = QString::fromStdString(ReadFileBytes(help.filePath(page).toStdString()));
        EXPECT_FALSE(text.contains(QRegularExpression(R"(<(script|link|img)\b)"))) << page.toStdString();
        EXPECT_FALSE(text.contains(external)) << page.toStdString();
    }
}

} // namespace
