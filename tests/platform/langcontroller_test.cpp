#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include "platform/langcontroller.h"
#include "platform/qtlanguage.h"
#include "i18n/langconv.h"
#include "support/core/tempdir.h"

namespace {

// Points the executable folder at a temporary one holding a language file of the test's own.
class PlatformLangController : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDir = ExecutableDir();
        SetExecutableDir(m_dir.Path().string());
        WriteFileBytes(m_dir.File("language.dat"),
                       "[Dialogues]\r\nA=1\r\n"
                       "[SelectionForm]\r\n"
                       "SelectionForm_cap=Choices window\r\n"
                       "SelectionForm_hint=Enter who chose whom\r\n"
                       "SelectionForm_2_cap=wrong: the instance name is not a key\r\n"
                       "NameEdit_cap=wrong: edit boxes keep their text\r\n"
                       "NameEdit_hint=Full name of the client\r\n"
                       "NotesEdit_hint=Notes\r\n"
                       "CountSpin_hint=How many\r\n"
                       "LabelEmpty_cap=\r\n"
                       "LabelEmpty_hint=\r\n"
                       "okbutton_CAP=&OK\r\n"
                       "OKButton_hint=Close and keep the changes\r\n"
                       "GroupBoxKind_cap=Kind\r\n"
                       "TabSheetMain_cap=General\r\n"
                       "MenuProject_cap=&Project\r\n"
                       "MenuItemProjectOpen_cap=&Open...\r\n"
                       "MenuItemProjectOpen_hint=wrong: menu items have no hint\r\n"
                       "ImageLogo_cap=wrong: a picture has no caption\r\n"
                       "[AddClientForm]\r\nAddClientForm_cap=wrong: owned dialogs translate themselves\r\n");
    }
    void TearDown() override { SetExecutableDir(m_savedDir); }

    TTempDir m_dir;
    std::string m_savedDir;
};

TEST_F(PlatformLangController, InstanceNamesReadTheSectionBeforeTheirFirstUnderscore)
{
    QWidget window;
    window.setObjectName("SelectionForm_2");
    TLanguageController::Translate(window);
    EXPECT_EQ(window.windowTitle(), "Choices window");
    EXPECT_EQ(window.toolTip(), "Enter who chose whom");
}

TEST_F(PlatformLangController, EditBoxesKeepTheirTextAndGetTheirHint)
{
    QWidget window;
    window.setObjectName("SelectionForm");
    auto* name = new QLineEdit("Ivanova Maria", &window);
    name->setObjectName("NameEdit");
    auto* notes = new QPlainTextEdit("first line", &window);
    notes->setObjectName("NotesEdit");
    auto* count = new QSpinBox(&window);
    count->setObjectName("CountSpin");
    count->setValue(7);
    TLanguageController::Translate(window);
    EXPECT_EQ(name->text(), "Ivanova Maria");
    EXPECT_EQ(name->toolTip(), "Full name of the client");
    EXPECT_EQ(notes->toPlainText(), "first line");
    EXPECT_EQ(notes->toolTip(), "Notes");
    EXPECT_EQ(count->value(), 7);
    EXPECT_EQ(count->toolTip(), "How many");
}

TEST_F(PlatformLangController, CaptionsHintsMissingAndEmptyValues)
{
    QWidget window;
    window.setObjectName("SelectionForm");
    auto* ok = new QPushButton("layout text", &window);
    ok->setObjectName("OKButton");
    auto* missing = new QLabel("layout text", &window);
    missing->setObjectName("LabelMissing");
    auto* empty = new QLabel("layout text", &window);
    empty->setObjectName("LabelEmpty");
    auto* group = new QGroupBox(&window);
    group->setObjectName("GroupBoxKind");
    auto* nested = new QPushButton(group);
    nested->setObjectName("NestedButton");
    auto* unnamed = new QLabel("kept", &window);
    QPixmap picture(8, 8);
    picture.fill(Qt::red);
    auto* logo = new QLabel(&window);
    logo->setObjectName("ImageLogo");
    logo->setPixmap(picture);
    TLanguageController::Translate(window);

    const QString notDefined = "!!!---not defined---!!!";
    EXPECT_EQ(QString(TLanguageController::NotDefinedText()), notDefined);
    EXPECT_EQ(ok->text(), "&OK"); // keys of window sections ignore letter case
    EXPECT_EQ(ok->toolTip(), "Close and keep the changes");
    EXPECT_EQ(missing->text(), notDefined);
    EXPECT_EQ(missing->toolTip(), notDefined);
    EXPECT_EQ(empty->text(), "");
    EXPECT_EQ(empty->toolTip(), "");
    EXPECT_EQ(group->title(), "Kind");
    EXPECT_EQ(nested->text(), notDefined);
    EXPECT_EQ(unnamed->text(), "kept");
    EXPECT_FALSE(logo->pixmap().isNull());
}

TEST_F(PlatformLangController, MenusActionsAndTabPages)
{
    QMainWindow window;
    window.setObjectName("SelectionForm");
    QMenu* project = window.menuBar()->addMenu("Project");
    project->setObjectName("MenuProject");
    QAction* open = project->addAction("Open");
    open->setObjectName("MenuItemProjectOpen");
    open->setShortcut(QKeySequence("Ctrl+O"));
    open->setToolTip("tip from code");
    auto* tabs = new QTabWidget(&window);
    window.setCentralWidget(tabs);
    auto* page = new QWidget;
    page->setObjectName("TabSheetMain");
    tabs->addTab(page, "layout text");
    auto* dialog = new QDialog(&window);
    dialog->setObjectName("AddClientForm");
    dialog->setWindowTitle("own title");
    TLanguageController::Translate(window);

    EXPECT_EQ(project->title(), "&Project");
    EXPECT_EQ(open->text(), "&Open...");
    EXPECT_EQ(open->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(open->toolTip(), "tip from code");
    EXPECT_EQ(tabs->tabText(0), "General");
    const auto scrolls = tabs->findChildren<QAbstractButton*>();
    EXPECT_FALSE(scrolls.isEmpty());
    for (const auto* scroll : scrolls)
        EXPECT_NE(scroll->toolTip(), TLanguageController::NotDefinedText()) << "Qt's tab scroll button";
    EXPECT_EQ(dialog->windowTitle(), "own title");
}

TEST_F(PlatformLangController, WindowWithoutASectionStillOpens)
{
    QWidget window;
    window.setObjectName("UnknownForm_1");
    auto* button = new QPushButton("layout text", &window);
    button->setObjectName("CloseButton");
    TLanguageController::Translate(window);
    EXPECT_EQ(window.windowTitle(), TLanguageController::NotDefinedText());
    EXPECT_EQ(button->text(), TLanguageController::NotDefinedText());
}

// Qt's own captions (standard buttons) follow the chosen language, and go back to English.
TEST(PlatformQtLanguage, StandardButtonsSpeakTheChosenLanguage)
{
    const auto cancelText = [] {
        const QDialogButtonBox box(QDialogButtonBox::Cancel);
        return box.button(QDialogButtonBox::Cancel)->text();
    };
    ASSERT_TRUE(InstallQtTranslation("ru")) << "Qt's Russian translation (qt6-translations-l10n) is missing";
    EXPECT_EQ(cancelText(), QString::fromUtf8("Отмена"));
    EXPECT_FALSE(InstallQtTranslation(kDefaultLanguage));
    EXPECT_EQ(cancelText(), "Cancel");
}

} // namespace
