#include <gtest/gtest.h>

#include "i18n/langconv.h"
#include "platform/helpviewer.h"
#include "shell/findform.h"

namespace {

// A window takes its texts, and Help its pages, from the language chosen at the start.
TEST(Languages, WindowsAndHelpSpeakTheChosenLanguage)
{
    SetExecutableDir(TREMLOW_RUNTIME_DIR);
    SetLanguage("ru");
    const TFindForm russian;
    EXPECT_EQ(russian.windowTitle().toStdString(), "Поиск");
    EXPECT_TRUE(HelpPagePath(THelpTopic::Contents).endsWith("/languages/ru/help/index.html"));

    SetLanguage(kDefaultLanguage);
    const TFindForm english;
    EXPECT_EQ(english.windowTitle().toStdString(), "Find");
    EXPECT_TRUE(HelpPagePath(THelpTopic::Contents).endsWith("/help/index.html"));
    EXPECT_FALSE(HelpPagePath(THelpTopic::Contents).contains("/languages/"));
}

} // namespace
