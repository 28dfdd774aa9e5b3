#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>

#include "analysis/investigationobj.h"
#include "analysis/projectbuilder.h"
#include "views/notify.h"
#include "i18n/langconv.h"
#include "support/core/tempdir.h"
#include "support/ui/notifyrecorder.h"
#include "support/ui/scriptedseam.h"
#include "util/error.h"
#include "views/viewform.h"

namespace {

// A view that records which of its operations ran, in order.
class TRecordingView final : public TVisualChildForm {
public:
    TRecordingView(TFileAccess& store, int investId) : TVisualChildForm("GraphForm", store, investId, "Week 1")
    {
        Start("GRAPH_FORM_CAPTION");
    }
    void SaveState() override { calls.push_back("save"); }
    void LoadState() override { calls.push_back("load"); }
    void Build() override { calls.push_back("build"); }
    void Initialize() override
    {
        calls.push_back("init");
        Build();
        LoadState();
    }
    void Refresh() override { calls.push_back("refresh " + std::to_string(ChoiceKind())); }
    void CaptureState() override { calls.push_back("capture " + std::to_string(ChoiceKind())); }
    void ApplySettings() override { calls.push_back("settings"); }
    QSize PictureSize() const override { return {40, 30}; }
    void PaintPicture(QPainter& painter) override { painter.fillRect(0, 0, 40, 30, Qt::red); }
    void AskFor(int kind) { RequestChoiceKind(kind); }

    std::vector<std::string> calls;
};

class ViewFormTest : public ::testing::Test {
protected:
    void SetUp() override { project.Members(5, 2, {21, 22, 23}); }
    TProjectBuilder project;
};

} // namespace

TEST_F(ViewFormTest, OpeningRunsTheOperationsInOrderAndAnnouncesTheWindow)
{
    TNotifyRecorder log;
    TRecordingView view(project.store, 5);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"init", "build", "load", "settings", "refresh 1"}));
    EXPECT_EQ(view.ChoiceKind(), 1);
    EXPECT_EQ(view.windowTitle(), QString::fromStdString(LangConv().GetText("GRAPH_FORM_CAPTION")) + " (Week 1)");
    EXPECT_EQ(view.Model().ClientCount(), 3);
    EXPECT_TRUE(log.codes.empty()); // posted, not sent
    QCoreApplication::processEvents();
    EXPECT_EQ(log.codes, std::vector<TNotifyCode>{TNotifyCode::ViewCreated});
}

TEST_F(ViewFormTest, FewerThanTwoMembersRefuseTheWindow)
{
    TProjectBuilder small;
    small.Members(8, 4, {41});
    try {
        TRecordingView view(small.store, 8);
        FAIL() << "a one-member investigation opened";
    } catch (const TAppError& error) {
        EXPECT_EQ(std::string(error.what()), LangConv().GetText("LESS_2_CLIENTS"));
    }
}

TEST_F(ViewFormTest, KindChangesCaptureTheKindLeftAndRequestsGoToTheMainWindow)
{
    TNotifyRecorder log;
    TRecordingView view(project.store, 5);
    QCoreApplication::processEvents();
    view.calls.clear();
    log.codes.clear();

    view.SetChoiceKind(2);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"capture 1", "refresh 2"}));
    view.SetChoiceKind(9);
    EXPECT_EQ(view.ChoiceKind(), 2);

    view.AskFor(2);
    view.AskFor(1);
    view.AskFor(3);
    view.AskFor(2);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.codes, (std::vector<TNotifyCode>{TNotifyCode::WantPositive, TNotifyCode::WantAny}));
}

TEST_F(ViewFormTest, ClosingSavesTheStateAndAnnouncesIt)
{
    TNotifyRecorder log;
    TRecordingView view(project.store, 5);
    view.show();
    QCoreApplication::processEvents();
    log.codes.clear();
    view.calls.clear();
    view.close();
    EXPECT_EQ(view.calls, std::vector<std::string>{"save"});
    QCoreApplication::processEvents();
    EXPECT_EQ(log.codes, std::vector<TNotifyCode>{TNotifyCode::ChildClosing});
}

TEST_F(ViewFormTest, ProjectChangedUnderneathIsNoticed)
{
    TRecordingView view(project.store, 5);
    EXPECT_TRUE(view.ProjectUnchanged());
    project.store.Clients().Add(24, 2, "M24", true, 0);
    EXPECT_FALSE(view.ProjectUnchanged());
    ASSERT_TRUE(project.store.DeleteClient(24, 2));
    EXPECT_TRUE(view.ProjectUnchanged());
    ASSERT_TRUE(project.store.DeleteInvestigation(5));
    EXPECT_FALSE(view.ProjectUnchanged());
}

TEST_F(ViewFormTest, PictureGoesToClipboardAndFile)
{
    TRecordingView view(project.store, 5);
    view.CopyPicture();
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(40, 30));
    EXPECT_EQ(copied.pixelColor(5, 5), QColor(Qt::red));

    TTempDir dir;
    TScriptedModalSeam seam;
    const QString path = QString::fromStdString(dir.Path().string()) + "/view";
    seam.ExpectSaveFile(path, "*.jpg");
    EXPECT_EQ(view.SavePicture(), path + ".jpg");
    EXPECT_EQ(QImage(path + ".jpg").size(), QSize(40, 30));
}
