// The collection window: answers go into the investigation only at Stop or when the closing
// question is answered Yes, and pupils with earlier choices keep them unless the teacher agrees.
#include <cstdlib>

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "shell/surveyform.h"
#include "shell/shellfixture.h"
#include "store/fileacc.h"
#include "support/ui/scriptedseam.h"
#include "survey/surveyintake.h"
#include "surveyweb/surveyserver.h"

namespace {

std::vector<TChoice> GivenBy(const std::vector<TChoice>& choices, int32_t fromId)
{
    std::vector<TChoice> given;
    for (const TChoice& c : choices) {
        if (c.FromId == fromId)
            given.push_back(c);
    }
    return given;
}

} // namespace

TEST(SurveyForm, StopTakesTheAnswersInAndAsksBeforeReplacingEarlierChoices)
{
    TFileAccess store(SampleProjectPath());
    ASSERT_TRUE(store.Load());
    const TStoredChoices before = StoredChoicesOf(store, 1);
    ASSERT_FALSE(GivenBy(before.Positive, 1).empty()); // Alice chose in the sample already

    {
        TScriptedModalSeam seam;
        TSurveyForm form(store, 1);
        TSurveyCollection& collection = form.Collection();
        ASSERT_EQ(collection.Submit(collection.CodeOf(1), {2, 3}, {4}).Status, TSubmitStatus::Accepted);
        ASSERT_EQ(collection.Submit(collection.CodeOf(5), {6}, {}).Status, TSubmitStatus::Accepted);
        form.RefreshPupils();
        EXPECT_EQ(form.findChild<QLabel*>("ProgressLabel")->text(), CatText("SURVEY_PROGRESS").arg(2).arg(16));
        if (const char* dir = std::getenv("TREMLOW_SCREENSHOT_DIR")) {
            form.show();
            form.grab().save(QString::fromLocal8Bit(dir) + "/survey-window.png");
        }
        seam.ExpectDialogButton("DialogForm", "Button1"); // No: earlier choices stay
        form.findChild<QPushButton*>("StopButton")->click();
        ASSERT_TRUE(form.TookAnswers());
        EXPECT_FALSE(form.Server().IsListening());
    }
    const TStoredChoices kept = StoredChoicesOf(store, 1);
    EXPECT_EQ(GivenBy(kept.Positive, 1), GivenBy(before.Positive, 1));
    EXPECT_EQ(GivenBy(kept.Negative, 1), GivenBy(before.Negative, 1));
    EXPECT_TRUE(store.IsModified());

    {
        TScriptedModalSeam seam;
        TSurveyForm form(store, 1);
        TSurveyCollection& collection = form.Collection();
        ASSERT_EQ(collection.Submit(collection.CodeOf(1), {2, 3}, {4}).Status, TSubmitStatus::Accepted);
        seam.ExpectDialogButton("DialogForm", "Button0"); // Yes: replace
        form.findChild<QPushButton*>("StopButton")->click();
    }
    const TStoredChoices replaced = StoredChoicesOf(store, 1);
    EXPECT_EQ(GivenBy(replaced.Positive, 1), (std::vector<TChoice>{{1, 2}, {1, 3}}));
    EXPECT_EQ(GivenBy(replaced.Negative, 1), (std::vector<TChoice>{{1, 4}}));

    // Closing the window offers the answers first; No discards them.
    {
        TScriptedModalSeam seam;
        TSurveyForm form(store, 1);
        TSurveyCollection& collection = form.Collection();
        ASSERT_EQ(collection.Submit(collection.CodeOf(7), {1}, {}).Status, TSubmitStatus::Accepted);
        seam.ExpectDialogButton("DialogForm", "Button1");
        form.reject();
        EXPECT_FALSE(form.TookAnswers());
    }
    EXPECT_EQ(StoredChoicesOf(store, 1), replaced);
}
