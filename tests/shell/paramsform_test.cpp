#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTabWidget>

#include "platform/colorpickcombo.h"
#include "platform/fontcolor.h"
#include "settings/regs.h"
#include "settings/regstore.h"
#include "shell/objectstree.h"
#include "shell/paramsform.h"
#include "shell/socmain_f.h"
#include "shellfixture.h"
#include "store/fileacc.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "views/choices/selections.h"
#include "views/choices/selectionform.h"
#include "views/indexes/graphicchart.h"
#include "views/target/target.h"
#include "views/target/targetform.h"

namespace {

template <typename T> T* Child(QWidget& w, const char* name)
{
    T* child = w.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
}

std::string SettingsFile()
{
    EXPECT_TRUE(Regs().Save());
    std::ifstream in(TRegStore::DefaultFilePath(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SelectElement(TParamsForm& form, const char* combo, const char* key)
{
    auto* list = Child<QComboBox>(form, combo);
    const int index = list->findData(QString::fromLatin1(key));
    ASSERT_GE(index, 0) << key;
    list->setCurrentIndex(index);
}

void PickColor(TColorPickCombo& combo, const QColor& color)
{
    for (int i = 0; i < combo.count(); ++i) {
        if (combo.itemData(i).value<QColor>() == color) {
            combo.setCurrentIndex(i);
            Q_EMIT combo.activated(i);
            return;
        }
    }
    FAIL() << "colour not listed";
}

// Restores the settings object after each test.
class ParamsFormTest : public ::testing::Test {
protected:
    void SetUp() override { m_saved = Regs(); }
    void TearDown() override { Regs() = m_saved; }
    TRegs m_saved;
};

// Changes something on every page that stores it.
void ChangeEverything(TParamsForm& form)
{
    Child<QCheckBox>(form, "CheckBoxShowTutorial")->toggle();
    auto* refs = Child<QSpinBox>(form, "SpinEditNumberOfProjectRefs");
    refs->setValue(refs->value() == 7 ? 3 : 7);
    SelectElement(form, "ComboBoxTreeElement", "OPTIONS_TREE_NODE");
    Child<QCheckBox>(form, "CheckBoxTreeBold")->toggle();
    SelectElement(form, "ComboBoxChoicesElement", "OPTIONS_CHOICES_ELEM_CCELL");
    auto* width = Child<QSpinBox>(form, "SpinEditChoicesWidth");
    width->setValue(width->value() == 70 ? 60 : 70);
    SelectElement(form, "ComboBoxIndexesElement", "OPTIONS_INDEXES_ELEM_PRVAXEYTITLE");
    auto* title = Child<QLineEdit>(form, "EditIndexesValue");
    title->setText(title->text() + " (changed)");
    Q_EMIT title->textEdited(title->text());
    SelectElement(form, "ComboBoxGraphElement", "OPTIONS_GRAPH_ELEM_ARROW");
    auto* arrow = Child<QSpinBox>(form, "SpinEditGraphSize");
    arrow->setValue(arrow->value() == 4 ? 3 : 4);
    SelectElement(form, "ComboBoxTargetElement", "OPTIONS_TARGET_ELEM_LEGTEXT");
    Child<QCheckBox>(form, "CheckBoxTargetItalic")->toggle();
    // The status colour switches are not sample elements: they work whatever element is chosen.
    Child<QCheckBox>(form, "CheckBoxGraphStatusColors")->click();
    Child<QCheckBox>(form, "CheckBoxTargetStatusColors")->click();
    Child<QCheckBox>(form, "CheckBoxGraphTitleLine")->click();
    Child<QCheckBox>(form, "CheckBoxGraphPrintBackground")->click();
    Child<QPushButton>(form, "BitBtnAllOff")->click();
}

}  // namespace

TEST_F(ParamsFormTest, CancelStoresNothingAndOkStoresEverything)
{
    const std::string before = SettingsFile();
    {
        TParamsForm form(nullptr, nullptr);
        ChangeEverything(form);
        form.reject();
    }
    EXPECT_EQ(SettingsFile(), before);

    const TRegs old = Regs();
    {
        TParamsForm form(nullptr, nullptr);
        ChangeEverything(form);
        Child<QPushButton>(form, "OkBitBtn")->click();
    }
    EXPECT_NE(SettingsFile(), before);
    EXPECT_NE(Regs().Root.ShowTutorial, old.Root.ShowTutorial);
    EXPECT_NE(Regs().Root.NumOfLastOpenedProjects, old.Root.NumOfLastOpenedProjects);
    EXPECT_NE(Regs().Tree.NodeFont.Bold, old.Tree.NodeFont.Bold);
    EXPECT_NE(Regs().Choices.ColumnWidth, old.Choices.ColumnWidth);
    EXPECT_EQ(Regs().Choices.RowHeight, old.Choices.RowHeight);
    EXPECT_FALSE(Regs().Report.OffParts.empty());
    EXPECT_EQ(Regs().Indexes.PrivateAxeYTitle, old.Indexes.PrivateAxeYTitle + " (changed)");
    EXPECT_NE(Regs().Graph.ArrowWidth, old.Graph.ArrowWidth);
    EXPECT_NE(Regs().Target.LegendFont.Italic, old.Target.LegendFont.Italic);
    EXPECT_EQ(Regs().Target.LegendFont.Bold, old.Target.LegendFont.Bold);
    EXPECT_NE(Regs().Graph.StatusColors, old.Graph.StatusColors);
    EXPECT_NE(Regs().Target.StatusColors, old.Target.StatusColors);
    EXPECT_NE(Regs().Graph.TitleLine, old.Graph.TitleLine);
    EXPECT_NE(Regs().Graph.PrintBackground, old.Graph.PrintBackground);

    // A second opening shows what was stored.
    TParamsForm again(nullptr, nullptr);
    EXPECT_EQ(Child<QSpinBox>(again, "SpinEditNumberOfProjectRefs")->value(),
              Regs().Root.NumOfLastOpenedProjects);
    EXPECT_EQ(Child<QCheckBox>(again, "CheckBoxGraphStatusColors")->isChecked(), Regs().Graph.StatusColors);
    EXPECT_EQ(Child<QCheckBox>(again, "CheckBoxTargetStatusColors")->isChecked(), Regs().Target.StatusColors);
}

TEST_F(ParamsFormTest, EachElementEnablesOnlyTheControlsItUses)
{
    TParamsForm form(nullptr, nullptr);
    struct TCase {
        const char* key;
        bool font, size, color, width, direction, value;
    };
    const TCase cases[] = {
        {"OPTIONS_CHOICES_ELEM_ARROW", false, true, true, false, true, false},
        {"OPTIONS_CHOICES_ELEM_ACELL", false, false, true, false, false, false},
        {"OPTIONS_CHOICES_ELEM_CCELL", false, false, true, true, false, false},
        {"OPTIONS_CHOICES_ELEM_NALINE", false, true, true, false, false, false},
        {"OPTIONS_CHOICES_ELEM_PSYMB", true, true, true, false, false, true},
        {"OPTIONS_CHOICES_ELEM_TEXT", true, true, true, false, false, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.key);
        SelectElement(form, "ComboBoxChoicesElement", c.key);
        EXPECT_EQ(Child<QFontComboBox>(form, "FontComboBoxChoices")->isEnabled(), c.font);
        EXPECT_EQ(Child<QCheckBox>(form, "CheckBoxChoicesBold")->isEnabled(), c.font);
        EXPECT_EQ(Child<QSpinBox>(form, "SpinEditChoicesSize")->isEnabled(), c.size);
        EXPECT_EQ(Child<TColorPickCombo>(form, "ColorPickComboChoices")->isEnabled(), c.color);
        EXPECT_EQ(Child<QSpinBox>(form, "SpinEditChoicesWidth")->isEnabled(), c.width);
        EXPECT_EQ(Child<QSpinBox>(form, "SpinEditChoicesHeight")->isEnabled(), c.width);
        EXPECT_EQ(Child<QComboBox>(form, "ComboBoxChoicesDirection")->isEnabled(), c.direction);
        EXPECT_EQ(Child<QLineEdit>(form, "EditChoicesValue")->isEnabled(), c.value);
        // A control the element does not use shows no value; one it uses shows the element's.
        EXPECT_EQ(Child<QSpinBox>(form, "SpinEditChoicesWidth")->text().isEmpty(), !c.width);
        EXPECT_EQ(Child<QComboBox>(form, "ComboBoxChoicesDirection")->currentIndex() < 0, !c.direction);
    }
    SelectElement(form, "ComboBoxTreeElement", "OPTIONS_TREE_BGRND");
    EXPECT_FALSE(Child<QFontComboBox>(form, "FontComboBoxTree")->isEnabled());
    EXPECT_TRUE(Child<TColorPickCombo>(form, "ColorPickComboTree")->isEnabled());
}

TEST_F(ParamsFormTest, ChartSociogramAndTargetElementsEnableTheirControls)
{
    TParamsForm form(nullptr, nullptr);
    struct TCase {
        const char* page;
        const char* key;
        bool font, size, color, value;
    };
    const TCase cases[] = {
        {"Indexes", "OPTIONS_INDEXES_ELEM_BGRND", false, false, true, false},
        {"Indexes", "OPTIONS_INDEXES_ELEM_GRPTITLE", true, true, true, true},
        {"Indexes", "OPTIONS_INDEXES_ELEM_PRVAXEXTITLE", true, true, true, true},
        {"Indexes", "OPTIONS_INDEXES_ELEM_GRPCHARTGRID", false, false, true, false},
        {"Indexes", "OPTIONS_INDEXES_ELEM_PRVDATLABEL", true, true, true, false},
        {"Indexes", "OPTIONS_INDEXES_ELEM_PRVLEGEND_BGRND", false, false, true, false},
        {"Graph", "OPTIONS_GRAPH_ELEM_BGRND", false, false, true, false},
        {"Graph", "OPTIONS_GRAPH_ELEM_ARR_NEG", false, true, true, false},
        {"Graph", "OPTIONS_GRAPH_ELEM_GRCOMPBGRND", false, false, true, false},
        {"Graph", "OPTIONS_GRAPH_ELEM_GRCOMPLINE", false, true, true, false},
        {"Graph", "OPTIONS_GRAPH_ELEM_GRCOMPTEXT", true, true, true, false},
        {"Target", "OPTIONS_TARGET_ELEM_LEGBGRND", false, false, true, false},
        {"Target", "OPTIONS_TARGET_ELEM_LEGBORDER", false, true, true, false},
        {"Target", "OPTIONS_TARGET_ELEM_LEGTEXT", true, true, true, false},
        {"Target", "OPTIONS_TARGET_ELEM_ARLINE", false, false, true, false},
        {"Target", "OPTIONS_TARGET_ELEM_RINGTEXT", true, true, true, false},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.key);
        const std::string page = c.page;
        SelectElement(form, ("ComboBox" + page + "Element").c_str(), c.key);
        EXPECT_EQ(Child<QFontComboBox>(form, ("FontComboBox" + page).c_str())->isEnabled(), c.font);
        EXPECT_EQ(Child<QCheckBox>(form, ("CheckBox" + page + "Italic").c_str())->isEnabled(), c.font);
        EXPECT_EQ(Child<QSpinBox>(form, ("SpinEdit" + page + "Size").c_str())->isEnabled(), c.size);
        EXPECT_EQ(Child<TColorPickCombo>(form, ("ColorPickCombo" + page).c_str())->isEnabled(), c.color);
        auto* value = form.findChild<QLineEdit*>(QString::fromStdString("Edit" + page + "Value"));
        EXPECT_EQ(value != nullptr && value->isEnabled(), c.value);
    }
}

TEST_F(ParamsFormTest, TitleBoxShowsAndEditsTheChartTitle)
{
    Regs().Indexes.GroupTitle = "Group indices";
    Regs().Indexes.PrivateTitle = "Members";
    TParamsForm form(nullptr, nullptr);
    auto* value = Child<QLineEdit>(form, "EditIndexesValue");
    SelectElement(form, "ComboBoxIndexesElement", "OPTIONS_INDEXES_ELEM_PRVTITLE");
    EXPECT_EQ(value->text(), "Members");
    value->setText("Who is chosen");
    Q_EMIT value->textEdited(value->text());
    EXPECT_EQ(Child<TGraphicChart>(form, "GraphicChartPrivateIndexes")->Title(), "Who is chosen");
    EXPECT_EQ(Child<TGraphicChart>(form, "GraphicChartGroupIndexes")->Title(), "Group indices");
    // Another element shows its own text, and coming back shows the edited one.
    SelectElement(form, "ComboBoxIndexesElement", "OPTIONS_INDEXES_ELEM_GRPTITLE");
    EXPECT_EQ(value->text(), "Group indices");
    SelectElement(form, "ComboBoxIndexesElement", "OPTIONS_INDEXES_ELEM_PRVTITLE");
    EXPECT_EQ(value->text(), "Who is chosen");
    EXPECT_EQ(Regs().Indexes.PrivateTitle, "Members");
    form.Store();
    EXPECT_EQ(Regs().Indexes.PrivateTitle, "Who is chosen");
    EXPECT_EQ(Regs().Indexes.GroupTitle, "Group indices");
}

TEST_F(ParamsFormTest, SymbolIsFirstCharacterOrBlank)
{
    EXPECT_EQ(TParamsForm::SymbolOf(""), " ");
    EXPECT_EQ(TParamsForm::SymbolOf("xyz"), "x");
    EXPECT_EQ(TParamsForm::SymbolOf(QString::fromUtf8("\xC3\xA9t\xC3\xA9")), "\xC3\xA9");
    EXPECT_EQ(TParamsForm::SymbolOf(QString::fromUtf8("\xF0\x9F\x98\x80!")), "\xF0\x9F\x98\x80");

    TParamsForm form(nullptr, nullptr);
    SelectElement(form, "ComboBoxChoicesElement", "OPTIONS_CHOICES_ELEM_PSYMB");
    auto* value = Child<QLineEdit>(form, "EditChoicesValue");
    value->setText("");
    Q_EMIT value->textEdited("");
    form.Store();
    EXPECT_EQ(Regs().Choices.SymbolFor, " ");
}

TEST_F(ParamsFormTest, BoldLeavesUnderlineAndStrikeoutAlone)
{
    Regs().Tree.NodeFont = {.Color = 0, .Name = "DejaVu Sans", .Size = 10, .Charset = 204,
                            .Bold = false, .Italic = false, .Underline = true, .Strikeout = true};
    TParamsForm form(nullptr, nullptr);
    SelectElement(form, "ComboBoxTreeElement", "OPTIONS_TREE_NODE");
    Child<QCheckBox>(form, "CheckBoxTreeBold")->setChecked(true);
    form.Store();
    const TFontRecord& font = Regs().Tree.NodeFont;
    EXPECT_TRUE(font.Bold);
    EXPECT_FALSE(font.Italic);
    EXPECT_TRUE(font.Underline);
    EXPECT_TRUE(font.Strikeout);
    EXPECT_EQ(font.Size, 10);
}

TEST_F(ParamsFormTest, SampleRepaintsWhenAColourChanges)
{
    Regs().Tree.BackColor = 0xFFFFFF;
    Regs().Choices.CommonColor = 0xFFFFFF;
    Regs().Indexes.GroupChartBackColor = 0xFFFFFF;
    Regs().Indexes.PrivateLegendBackColor = 0xFFFFFF;
    Regs().Graph.PanelBackColor = 0xFFFFFF;
    Regs().Graph.CompBackColor = 0xFFFFFF;
    Regs().Graph.ArrowColorPositive = 0;
    Regs().Graph.ArrowWidthPositive = 1;
    Regs().Target.RingColor = 0xFFFFFF;
    Regs().Target.RingWidth = Regs().Target.ActiveRingWidth = 20;
    Regs().Target.LegendBackground = 0xFFFFFF;
    TParamsForm form(nullptr, nullptr);
    SelectElement(form, "ComboBoxTreeElement", "OPTIONS_TREE_BGRND");
    PickColor(*Child<TColorPickCombo>(form, "ColorPickComboTree"), QColor(255, 255, 0));
    auto* tree = Child<TObjectsTree>(form, "ObjectsTree");
    EXPECT_EQ(tree->palette().color(QPalette::Base), QColor(255, 255, 0));

    auto* grid = Child<TSelections>(form, "Choices");
    grid->resize(400, 300);
    const QImage before = grid->grab().toImage();
    SelectElement(form, "ComboBoxChoicesElement", "OPTIONS_CHOICES_ELEM_CCELL");
    PickColor(*Child<TColorPickCombo>(form, "ColorPickComboChoices"), QColor(0, 0, 255));
    EXPECT_NE(grid->grab().toImage(), before);

    // Each of the other samples changes with one colour of its own.
    struct TCase {
        const char* sample;
        const char* elements;
        const char* key;
        const char* colors;
    };
    const TCase cases[] = {
        {"GraphicChartGroupIndexes", "ComboBoxIndexesElement", "OPTIONS_INDEXES_ELEM_GRPCHARTCOLOR",
         "ColorPickComboIndexes"},
        {"GraphicChartPrivateIndexes", "ComboBoxIndexesElement", "OPTIONS_INDEXES_ELEM_PRVLEGEND_BGRND",
         "ColorPickComboIndexes"},
        {"SocioPanel", "ComboBoxGraphElement", "OPTIONS_GRAPH_ELEM_ARR_POS", "ColorPickComboGraph"},
        {"SocioGraphicControl1", "ComboBoxGraphElement", "OPTIONS_GRAPH_ELEM_GRCOMPBGRND", "ColorPickComboGraph"},
        {"Target", "ComboBoxTargetElement", "OPTIONS_TARGET_ELEM_NARING", "ColorPickComboTarget"},
        {"StringsListTargetLegend", "ComboBoxTargetElement", "OPTIONS_TARGET_ELEM_LEGBGRND", "ColorPickComboTarget"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.key);
        auto* sample = Child<QWidget>(form, c.sample);
        const QImage sampleBefore = sample->grab().toImage();
        SelectElement(form, c.elements, c.key);
        PickColor(*Child<TColorPickCombo>(form, c.colors), QColor(0, 0, 255));
        EXPECT_NE(sample->grab().toImage(), sampleBefore);
    }
    auto* width = Child<QSpinBox>(form, "SpinEditGraphSize");
    SelectElement(form, "ComboBoxGraphElement", "OPTIONS_GRAPH_ELEM_ARR_POS");
    auto* panel = Child<QWidget>(form, "SocioPanel");
    const QImage thin = panel->grab().toImage();
    width->setValue(5);
    EXPECT_NE(panel->grab().toImage(), thin);

    form.Store();
    EXPECT_EQ(Regs().Choices.CommonColor, FromQColor(QColor(0, 0, 255)));
    const uint32_t blue = FromQColor(QColor(0, 0, 255));
    EXPECT_EQ(Regs().Indexes.GroupChartBackColor, blue);
    EXPECT_EQ(Regs().Indexes.PrivateLegendBackColor, blue);
    EXPECT_EQ(Regs().Graph.ArrowColorPositive, blue);
    EXPECT_EQ(Regs().Graph.CompBackColor, blue);
    EXPECT_EQ(Regs().Graph.ArrowWidthPositive, 5);
    EXPECT_EQ(Regs().Target.RingColor, blue);
    EXPECT_EQ(Regs().Target.LegendBackground, blue);
}

TEST_F(ParamsFormTest, LoginFlagTravelsThroughTheProjectFile)
{
    {
        TParamsForm form(nullptr, nullptr);
        EXPECT_FALSE(Child<QCheckBox>(form, "CheckBoxIsLogining")->isEnabled());
        EXPECT_FALSE(Child<QCheckBox>(form, "CheckBoxIsLogining")->isChecked());
    }
    TTempDir dir;
    const std::string path = dir.File("p.soi");
    std::filesystem::copy_file(SampleProjectPath(), path);
    {
        TFileAccess store(path);
        ASSERT_TRUE(store.Load());
        ASSERT_FALSE(store.LoginRequired());
        TParamsForm form(nullptr, &store);
        Child<QCheckBox>(form, "CheckBoxIsLogining")->setChecked(true);
        form.Store();
        EXPECT_TRUE(store.IsModified());
        ASSERT_TRUE(store.Save());
    }
    TFileAccess reread(path);
    ASSERT_TRUE(reread.Load());
    EXPECT_TRUE(reread.LoginRequired());
}

TEST_F(ParamsFormTest, ZeroRecentEntriesHidesOpenAgainAfterOk)
{
    TShellSettings quiet;
    TSocMainForm window;
    Regs().AddRecentProject(SampleProjectPath());
    TScriptedModalSeam seam;
    seam.ExpectDialog("ParamsForm", [](QDialog& dialog) {
        dialog.findChild<QSpinBox*>("SpinEditNumberOfProjectRefs")->setValue(0);
        dialog.findChild<QPushButton*>("OkBitBtn")->click();
    });
    window.findChild<QAction*>("ParametersMenuItem")->trigger();
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_EQ(Regs().Root.NumOfLastOpenedProjects, 0);
    auto* menu = window.findChild<QMenu*>("MenuItemOpenAgain");
    ASSERT_NE(menu, nullptr);
    EXPECT_FALSE(menu->menuAction()->isVisible());
}

TEST_F(ParamsFormTest, EveryPageShowsItsCaptionAndDraws)
{
    TRegStore empty(TTempDir().File("none.ini"));
    Regs().Load(empty);
    TParamsForm form(nullptr, nullptr);
    auto* pages = Child<QTabWidget>(form, "PageControlParams");
    EXPECT_EQ(pages->currentIndex(), 0);
    ASSERT_EQ(pages->count(), 7);
    for (const QWidget* w : form.findChildren<QWidget*>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith("qt_")) {
            EXPECT_FALSE(w->toolTip().contains("not defined")) << w->objectName().toStdString();
        }
    }
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        EXPECT_FALSE(pages->tabText(i).contains("not defined")) << i;
        const QImage picture = form.grab().toImage();
        EXPECT_FALSE(picture.isNull());
        if (const char* folder = std::getenv("TREMLOW_SHOT_DIR"))
            picture.save(QString::fromLocal8Bit(folder) + QStringLiteral("/params%1.png").arg(i));
    }
}

TEST_F(ParamsFormTest, TargetStoresItsColoursAndOneLineAndRingWidth)
{
    Regs().Target.RingLineWidth = 1;
    Regs().Target.ActiveRingLineWidth = 3;
    Regs().Target.RingWidth = 20;
    Regs().Target.ActiveRingWidth = 30;
    Regs().Target.RingColor = 0xFFFFFF;
    TParamsForm form(nullptr, nullptr);
    SelectElement(form, "ComboBoxTargetElement", "OPTIONS_TARGET_ELEM_NARING");
    EXPECT_FALSE(Child<QSpinBox>(form, "SpinEditTargetSize")->isEnabled());
    PickColor(*Child<TColorPickCombo>(form, "ColorPickComboTarget"), QColor(0, 128, 0));
    SelectElement(form, "ComboBoxTargetElement", "OPTIONS_TARGET_ELEM_LEGBORDER");
    auto* size = Child<QSpinBox>(form, "SpinEditTargetSize");
    EXPECT_TRUE(size->isEnabled());
    EXPECT_GE(size->minimum(), 1);
    EXPECT_LE(size->maximum(), 10);
    size->setValue(4);
    form.Store();
    const TTargetRegs& r = Regs().Target;
    EXPECT_EQ(r.RingColor, FromQColor(QColor(0, 128, 0)));
    EXPECT_EQ(r.LegendLineWidth, 4);
    EXPECT_EQ(r.RingLineWidth, r.ActiveRingLineWidth);
    EXPECT_EQ(r.RingWidth, r.ActiveRingWidth);
    EXPECT_EQ(r.ActiveRingWidth, 30);
}

TEST_F(ParamsFormTest, OpenChoicesAndTargetWindowsTakeTheNewLookAfterOk)
{
    TShellSettings quiet;
    TSocMainForm window;
    window.OpenProjectFile(QString::fromStdString(SampleProjectPath()));
    ASSERT_TRUE(window.HasProject());
    TScriptedModalSeam seam;
    window.Tree().setCurrentItem(NodeOf(window.Tree(), TNodeKind::Investigation, "Desk neighbours, September"));
    window.findChild<QAction*>("ChoicesMenuItem")->trigger();
    window.findChild<QAction*>("TargetMenuItem")->trigger();
    QCoreApplication::processEvents();
    auto* choices = window.MdiArea().findChild<TSelectionForm*>();
    auto* target = window.MdiArea().findChild<TTargetForm*>();
    ASSERT_NE(choices, nullptr);
    ASSERT_NE(target, nullptr);
    auto marks = [&] {
        int count = 0;
        for (int r = 0; r <= choices->Selects().CellCount(); ++r)
            count += choices->Selects().CountInRow(r, stFor) + 10 * choices->Selects().CountInRow(r, stAgainst);
        return count;
    };
    const int marksBefore = marks();
    ASSERT_GT(marksBefore, 0);
    const int width = Regs().Choices.ColumnWidth == 70 ? 60 : 70;

    seam.ExpectDialog("ParamsForm", [width](QDialog& dialog) {
        auto& form = static_cast<TParamsForm&>(dialog);
        SelectElement(form, "ComboBoxChoicesElement", "OPTIONS_CHOICES_ELEM_CCELL");
        Child<QSpinBox>(form, "SpinEditChoicesWidth")->setValue(width);
        SelectElement(form, "ComboBoxTargetElement", "OPTIONS_TARGET_ELEM_NARING");
        PickColor(*Child<TColorPickCombo>(form, "ColorPickComboTarget"), QColor(0, 128, 0));
        Child<QPushButton>(form, "OkBitBtn")->click();
    });
    window.findChild<QAction*>("ParametersMenuItem")->trigger();
    EXPECT_TRUE(seam.AllConsumed());
    EXPECT_EQ(choices->Selects().ColumnWidth(), width);
    // The marks stay, and taking the look is no change of the choices.
    EXPECT_EQ(marks(), marksBefore);
    EXPECT_FALSE(choices->IsModified());
    EXPECT_EQ(target->findChild<TTarget*>("Target")->NotActiveRingColor(), QColor(0, 128, 0));
}

TEST_F(ParamsFormTest, IndexesPageFitsWithoutScrollingAtTheDefaultSize)
{
    TRegStore empty(TTempDir().File("none.ini"));
    Regs().Load(empty);
    TParamsForm form(nullptr, nullptr);
    form.show();
    auto* pages = Child<QTabWidget>(form, "PageControlParams");
    pages->setCurrentWidget(Child<QWidget>(form, "TabSheetIndexes"));
    QCoreApplication::processEvents();
    auto* scroll = Child<QScrollArea>(form, "ScrollBoxIndexesSample");
    EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
    if (const char* folder = std::getenv("TREMLOW_SHOT_DIR"))
        form.grab().save(QString::fromLocal8Bit(folder) + QStringLiteral("/params-indexes-shown.png"));
}
