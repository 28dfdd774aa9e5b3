#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
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

    // A second opening shows what was stored.
    TParamsForm again(nullptr, nullptr);
    EXPECT_EQ(Child<QSpinBox>(again, "SpinEditNumberOfProjectRefs")->value(),
              Regs().Root.NumOfLastOpenedProjects);
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
    }
    SelectElement(form, "ComboBoxTreeElement", "OPTIONS_TREE_BGRND");
    EXPECT_FALSE(Child<QFontComboBox>(form, "FontComboBoxTree")->isEnabled());
    EXPECT_TRUE(Child<TColorPickCombo>(form, "ColorPickComboTree")->isEnabled());
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
    form.Store();
    EXPECT_EQ(Regs().Choices.CommonColor, FromQColor(QColor(0, 0, 255)));
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
    form.resize(760, 460);
    auto* pages = Child<QTabWidget>(form, "PageControlParams");
    EXPECT_EQ(pages->currentIndex(), 0);
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        EXPECT_FALSE(pages->tabText(i).contains("not defined")) << i;
        const QImage picture = form.grab().toImage();
        EXPECT_FALSE(picture.isNull());
        if (const char* folder = std::getenv("TREMLOW_SHOT_DIR"))
            picture.save(QString::fromLocal8Bit(folder) + QStringLiteral("/params%1.png").arg(i));
    }
}
