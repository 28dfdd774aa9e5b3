// The report window and the main window's report commands.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidgetItem>
#include <QtTest/QTest>

#include "shell/formreporter.h"
#include "shell/objectstree.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "support/core/recorders.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/sociogram/graphform.h"
#include "views/sociogram/graphiccontrol.h"

namespace {

template <typename T> T* Child(QWidget& parent, const char* name)
{
    T* child = parent.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

TEST(FormReporter, OutputChoiceSwitchesTheExtensionAndCreateNeedsAName)
{
    TFormReporter form;
    EXPECT_EQ(form.objectName(), "FormReporter");
    EXPECT_TRUE(Child<QRadioButton>(form, "RadioButtonIsPDF")->isEnabled());
    EXPECT_TRUE(Child<QRadioButton>(form, "RadioButtonIsText")->isChecked());
    auto* create = Child<QPushButton>(form, "ButtonCreate");
    auto* edit = Child<QLineEdit>(form, "EditFileName");
    EXPECT_FALSE(create->isEnabled());
    edit->setText("   ");
    EXPECT_FALSE(create->isEnabled());

    edit->setText("/home/ann/study.v2/a.txt.old.txt");
    EXPECT_TRUE(create->isEnabled());
    Child<QRadioButton>(form, "RadioButtonIsHTML")->click();
    EXPECT_EQ(form.FileName(), "/home/ann/study.v2/a.html");
    EXPECT_EQ(form.Format(), TReportFormat::Html);
    Child<QRadioButton>(form, "RadioButtonIsWord")->click();
    EXPECT_EQ(form.FileName(), "/home/ann/study.v2/a.docx");
    Child<QRadioButton>(form, "RadioButtonIsPDF")->click();
    EXPECT_EQ(form.FileName(), "/home/ann/study.v2/a.pdf");
    EXPECT_EQ(form.Format(), TReportFormat::Pdf);
    edit->setText("/home/ann/study.v2/plain");
    Child<QRadioButton>(form, "RadioButtonIsText")->click();
    EXPECT_EQ(form.FileName(), "/home/ann/study.v2/plain");

    const QString longName = "/tmp/" + QString(400, 'x') + ".txt";
    edit->setText(longName);
    EXPECT_EQ(form.FileName(), longName); // no cut at 255 characters
}

TEST(FormReporter, BrowseHelpAndClosingKeepTheirResults)
{
    TScriptedModalSeam seam;
    TFormReporter form;
    form.SetFileName("old.txt");
    seam.ExpectSaveFile("/tmp/new-report.txt");
    Child<QToolButton>(form, "BitBtnFileName")->click();
    EXPECT_EQ(form.FileName(), "/tmp/new-report.txt");
    seam.ExpectSaveFile(QString()); // cancelled: the name stays
    Child<QToolButton>(form, "BitBtnFileName")->click();
    EXPECT_EQ(form.FileName(), "/tmp/new-report.txt");

    EXPECT_EQ(form.Result(), TFormReporter::ResultNone);
    form.show();
    Child<QPushButton>(form, "ButtonHelp")->click();
    EXPECT_EQ(form.Result(), TFormReporter::ResultHelp);
    EXPECT_TRUE(form.isVisible());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_EQ(form.Result(), TFormReporter::ResultCancel);
    EXPECT_FALSE(form.isVisible());
}

TEST(FormReporter, CreateAsksBeforeReplacingAFileUnlessBrowseDidSo)
{
    TTempDir temp;
    const QString existing = QString::fromStdString(temp.File("old.html"));
    WriteFileBytes(existing.toStdString(), "kept");
    TScriptedModalSeam seam;
    TFormReporter form;
    form.show();
    Child<QRadioButton>(form, "RadioButtonIsHTML")->click();
    // The question is about the file written: the name as typed gets the format's extension.
    form.SetFileName(QString::fromStdString(temp.File("old")));
    QString asked;
    seam.ExpectDialog("DialogForm", [&asked](QDialog& box) {
        asked = box.findChild<QLabel*>("cap")->text();
        FindButton(box, "Button1")->click(); // No
    });
    Child<QPushButton>(form, "ButtonCreate")->click();
    EXPECT_TRUE(asked.startsWith(existing)) << asked.toStdString();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Result(), TFormReporter::ResultNone);
    EXPECT_EQ(ReadFileBytes(existing.toStdString()), "kept");

    seam.ExpectDialogButton("DialogForm", "Button0"); // Yes
    Child<QPushButton>(form, "ButtonCreate")->click();
    EXPECT_EQ(form.Result(), TFormReporter::ResultCreate);

    // The browse dialog asked about its file already; a new file is not asked about at all.
    for (const QString& name : {existing, QString::fromStdString(temp.File("new.html"))}) {
        TFormReporter again;
        again.SetFormat(TReportFormat::Html);
        seam.ExpectSaveFile(name);
        Child<QToolButton>(again, "BitBtnFileName")->click();
        Child<QPushButton>(again, "ButtonCreate")->click();
        EXPECT_EQ(again.Result(), TFormReporter::ResultCreate);
    }
    EXPECT_EQ(seam.dialogsShown, (QStringList{"DialogForm", "DialogForm"}));
}

// The main window with the sample project open and report settings of the test's own.
class ShellReports : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedReport = Regs().Report;
        Regs().Report = TReportRegs{};
        window.OpenProjectFile(QString::fromStdString(SampleProjectPath()));
        ASSERT_TRUE(window.HasProject());
    }
    void TearDown() override { Regs().Report = m_savedReport; }

    void Select(TNodeKind kind, const QString& name)
    {
        QTreeWidgetItem* node = NodeOf(window.Tree(), kind, name);
        ASSERT_NE(node, nullptr);
        window.Tree().setCurrentItem(node);
    }

    // Fills the report window: format button, file name, show flag; then Create.
    static TScriptedModalSeam::THandler Fill(const char* radio, const QString& file, bool show)
    {
        return [=](QDialog& dialog) {
            dialog.findChild<QRadioButton*>(radio)->click();
            dialog.findChild<QLineEdit*>("EditFileName")->setText(file);
            dialog.findChild<QCheckBox*>("CheckBoxShow")->setChecked(show);
            dialog.findChild<QPushButton*>("ButtonCreate")->click();
        };
    }

    TShellSettings settings;
    TRecordingProgress progress;
    TSocMainForm window;
    TTempDir temp;
    TReportRegs m_savedReport;
};

TEST_F(ShellReports, PickedObjectIsReportedInTheChosenFormatAndTheChoicesAreKept)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("SelObjectForm", [](QDialog& pick) {
        auto* combo = pick.findChild<QComboBox*>("ComboBox");
        combo->setCurrentIndex(combo->findText("Chess club: homework help"));
        pick.findChild<QPushButton*>("OKButton")->click();
    });
    seam.ExpectDialog("FormReporter", Fill("RadioButtonIsHTML", QString::fromStdString(temp.File("chess")), true));
    window.findChild<QAction*>("ReportInvestigationMenuItem")->trigger();
    EXPECT_TRUE(seam.informations.isEmpty()) << seam.informations.join("\n").toStdString();

    const std::string html = ReadFileBytes(temp.File("chess.html"));
    EXPECT_NE(html.find("Chess club: homework help"), std::string::npos);
    // The Report Master draws the pictures with the views: sociogram, target and both charts.
    std::size_t pictures = 0;
    for (std::size_t at = html.find("<svg"); at != std::string::npos; at = html.find("<svg", at + 1))
        ++pictures;
    EXPECT_EQ(pictures, 4u);
    ASSERT_EQ(seam.openedUrls.size(), 1);
    EXPECT_TRUE(seam.openedUrls[0].endsWith("chess.html"));
    EXPECT_EQ(Regs().Report.ReportType, 1);
    EXPECT_TRUE(Regs().Report.IsShowReport);
    EXPECT_EQ(Regs().Report.FileName, temp.File("chess"));
}

TEST_F(ShellReports, AReportNoProgramCanOpenIsWrittenAndTheUserIsTold)
{
    TScriptedModalSeam seam;
    seam.urlOpens = false;
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    seam.ExpectDialog("FormReporter", Fill("RadioButtonIsText", QString::fromStdString(temp.File("shown")), true));
    window.findChild<QAction*>("ReportNodeMenuItem")->trigger();
    EXPECT_NE(ReadFileBytes(temp.File("shown.txt")).find("Desk neighbours, September"), std::string::npos);
    ASSERT_EQ(seam.openedUrls.size(), 1);
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_TRUE(seam.informations[0].startsWith(CatText("REPORT_NOT_OPENED")));
    EXPECT_TRUE(seam.informations[0].endsWith(QString::fromStdString(temp.File("shown.txt"))));

    // Blanks are opened the same way.
    seam.ExpectDialog("FormReporter", Fill("RadioButtonIsHTML", QString::fromStdString(temp.File("card")), true));
    window.findChild<QAction*>("MenuItemCard")->trigger();
    EXPECT_TRUE(std::filesystem::exists(temp.File("card.html")));
    EXPECT_EQ(seam.informations.size(), 2);
}

TEST_F(ShellReports, CurrentNodeAndBlanksNeedNoPickWindow)
{
    TScriptedModalSeam seam;
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    seam.ExpectDialog("FormReporter", Fill("RadioButtonIsText", QString::fromStdString(temp.File("m.txt")), false));
    window.findChild<QAction*>("MenuItemMatrix")->trigger();
    EXPECT_NE(ReadFileBytes(temp.File("m.txt")).find("SOCIOMATRIX"), std::string::npos);

    // The report's pictures come from windows made offscreen: the open window's kind stays as it was.
    window.findChild<QAction*>("GraphMenuItem")->trigger();
    QCoreApplication::processEvents();
    window.findChild<QAction*>("NegativeMenuItem")->trigger();
    seam.ExpectDialog("FormReporter", Fill("RadioButtonIsWord", QString::fromStdString(temp.File("inv")), false));
    window.findChild<QAction*>("ReportNodeMenuItem")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.findChild<QAction*>("NegativeMenuItem")->isChecked());
    EXPECT_EQ(ReadFileBytes(temp.File("inv.docx")).substr(0, 2), "PK");
    EXPECT_TRUE(seam.openedUrls.isEmpty());
    EXPECT_EQ(seam.dialogsShown, (QStringList{"FormReporter", "FormReporter"}));
}

TEST_F(ShellReports, TheSociogramShowsTheFiguresWhereTheOpenWindowHasThem)
{
    TScriptedModalSeam seam;
    Select(TNodeKind::Investigation, "Desk neighbours, September");
    window.findChild<QAction*>("GraphMenuItem")->trigger();
    QCoreApplication::processEvents();
    auto* graph = window.findChild<TGraphForm*>();
    ASSERT_NE(graph, nullptr);
    // The first picture of the HTML report is the sociogram.
    const auto sociogram = [&](const std::string& name) {
        seam.ExpectDialog("FormReporter", Fill("RadioButtonIsHTML", QString::fromStdString(temp.File(name)), false));
        window.findChild<QAction*>("ReportNodeMenuItem")->trigger();
        const std::string html = ReadFileBytes(temp.File(name + ".html"));
        const std::size_t at = html.find("<svg");
        return at == std::string::npos ? std::string() : html.substr(at, html.find("</svg>", at) - at);
    };
    const std::string before = sociogram("before");
    ASSERT_FALSE(before.empty());
    QWidget* figure = graph->Nodes()[0];
    figure->move(figure->x() + 40, figure->y() + 30);
    EXPECT_TRUE(sociogram("after") != before) << "the report drew the figures where the project stored them";
}

TEST_F(ShellReports, CancelWritesNothingAndFailuresAreShown)
{
    TScriptedModalSeam seam;
    seam.ExpectDialogButton("SelObjectForm", "ExitButton");
    window.findChild<QAction*>("ReportClientMenuItem")->trigger();
    EXPECT_EQ(seam.dialogsShown, QStringList{"SelObjectForm"});

    Select(TNodeKind::ClientGroup, "Chess club");
    seam.ExpectDialog("FormReporter", [&](QDialog& dialog) {
        dialog.findChild<QLineEdit*>("EditFileName")->setText(QString::fromStdString(temp.File("kept.txt")));
        dialog.reject();
    });
    window.findChild<QAction*>("ReportNodeMenuItem")->trigger();
    EXPECT_FALSE(std::filesystem::exists(temp.File("kept.txt")));
    EXPECT_EQ(Regs().Report.FileName, temp.File("kept.txt")); // the typed name is not lost

    // A failed write says why and brings the window back as it was left; a good name then writes.
    seam.ExpectDialog("FormReporter", Fill("RadioButtonIsHTML", QString::fromStdString(temp.File("no/dir/x")), false));
    seam.ExpectDialog("FormReporter", [&](QDialog& dialog) {
        EXPECT_TRUE(dialog.findChild<QRadioButton*>("RadioButtonIsHTML")->isChecked());
        EXPECT_EQ(dialog.findChild<QLineEdit*>("EditFileName")->text(),
                  QString::fromStdString(temp.File("no/dir/x")));
        dialog.findChild<QLineEdit*>("EditFileName")->setText(QString::fromStdString(temp.File("x")));
        dialog.findChild<QPushButton*>("ButtonCreate")->click();
    });
    window.findChild<QAction*>("ReportNodeMenuItem")->trigger();
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_TRUE(seam.informations[0].startsWith(CatText("REPORT_WRITE_ERROR")));
    EXPECT_NE(ReadFileBytes(temp.File("x.html")).find("Chess club"), std::string::npos);
    EXPECT_TRUE(seam.AllConsumed());

    // Escape on the window brought back ends the command.
    seam.ExpectDialog("FormReporter", Fill("RadioButtonIsText", QString::fromStdString(temp.File("no/dir/y")), false));
    seam.ExpectDialog("FormReporter", [](QDialog& dialog) { dialog.reject(); });
    window.findChild<QAction*>("ReportNodeMenuItem")->trigger();
    EXPECT_EQ(seam.informations.size(), 2);
    EXPECT_TRUE(seam.AllConsumed());
}

} // namespace
