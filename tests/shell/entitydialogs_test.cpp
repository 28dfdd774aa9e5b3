#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>

#include "platform/helpviewer.h"
#include "platform/langcontroller.h"
#include "i18n/langconv.h"
#include "shell/addclientform.h"
#include "shell/addclientsgroupform.h"
#include "shell/addcriteriesgroupform.h"
#include "shell/addcriteryform.h"
#include "shell/addinvestform.h"
#include "shell/entityflows.h"
#include "shell/findform.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "shellfixture.h"
#include "support/core/tempdir.h"
#include "support/ui/scriptedseam.h"
#include "util/text.h"

namespace {

QString Text(const char* key)
{
    return QString::fromStdString(LangConv().GetText(key));
}

template <typename T>
T* Child(QDialog& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << "no component " << name;
    return child;
}

void Confirm(QDialog& dialog)
{
    QAbstractButton* ok = FindButton(dialog, QStringLiteral("OKButton"));
    ASSERT_NE(ok, nullptr);
    ASSERT_TRUE(ok->isEnabled());
    ok->click();
}

QDate ProjectDate(double days)
{
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(days));
}

double Days(const QDate& date)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(date));
}

// A project in a temporary folder, filled through the store's tables.
class EntityDialogsTest : public ::testing::Test {
protected:
    EntityDialogsTest() : store(dir.File("project.soi")) {}

    void AddGroupWithClients(int groupId, const std::string& name, const std::vector<std::string>& clients)
    {
        store.ClientGroups().Add(groupId, name);
        int id = 1;
        for (const std::string& client : clients)
            store.Clients().Add(id++, groupId, client, true, 30000);
    }
    void AddCriteriaGroup(int groupId, const std::string& name, const std::vector<std::string>& criteria)
    {
        store.CriteriaGroups().Add(groupId, name);
        int id = 1;
        for (const std::string& criterion : criteria)
            store.Criteria().Add(id++, groupId, criterion);
    }

    TTempDir dir;
    TFileAccess store;
};

// The four dialogs made of a name and a description, driven the same way.
struct TSimpleEntityCase {
    const char* form;
    const char* nameEdit;
    const char* memo;
    const char* addTitleKey;
    const char* changeTitleKey;
    const char* nameKey;
    std::function<TEntityResult(TFileAccess&, int)> create;  // new Id
    std::function<TEntityResult(TFileAccess&, int)> change;  // Id
    // Name and description of the record (id), or false when it is missing.
    std::function<bool(TFileAccess&, int, std::string&, std::string&)> read;
};

std::vector<TSimpleEntityCase> SimpleCases()
{
    return {
        {"AddClientsGroupForm", "ClientsGroupEdit", "GroupExpandedMemo", "FORM_TITLE_ADD_CLIENTS_GROUP",
         "FORM_TITLE_CHANGE_CLIENTS_GROUP", "CLIENTGROUP_NAME",
         [](TFileAccess& s, int id) { return CreateClientGroup(nullptr, s, id); },
         [](TFileAccess& s, int id) { return ChangeClientGroup(nullptr, s, id); },
         [](TFileAccess& s, int id, std::string& name, std::string& description) {
             if (!s.ClientGroups().FindById(id))
                 return false;
             name = s.ClientGroups().GetName();
             description = s.ClientGroups().GetDescription();
             return true;
         }},
        {"AddCriteriesGroupForm", "CriteriesGroupEdit", "CriteriesGroupExpandedMemo",
         "FORM_TITLE_ADD_CRITERIES_GROUP", "FORM_TITLE_CHANGE_CRITERIES_GROUP", "CRITERYGROUP_NAME",
         [](TFileAccess& s, int id) { return CreateCriteriaGroup(nullptr, s, id); },
         [](TFileAccess& s, int id) { return ChangeCriteriaGroup(nullptr, s, id); },
         [](TFileAccess& s, int id, std::string& name, std::string& description) {
             if (!s.CriteriaGroups().FindById(id))
                 return false;
             name = s.CriteriaGroups().GetName();
             description = s.CriteriaGroups().GetDescription();
             return true;
         }},
        {"AddCriteryForm", "CriteryEdit", "CriteryExpandedMemo", "FORM_TITLE_ADD_CRITERY",
         "FORM_TITLE_CHANGE_CRITERY", "CRITERY_NAME",
         [](TFileAccess& s, int id) { return CreateCriterion(nullptr, s, 4, id); },
         [](TFileAccess& s, int id) { return ChangeCriterion(nullptr, s, id, 4); },
         [](TFileAccess& s, int id, std::string& name, std::string& description) {
             if (!s.Criteria().Find(id, 4))
                 return false;
             name = s.Criteria().GetName();
             description = s.Criteria().GetDescription();
             return true;
         }},
        {"AddClientForm", "FullNameEdit", "ExpandedMemo", "FORM_TITLE_ADD_CLIENT", "FORM_TITLE_CHANGE_CLIENT",
         "CLIENT_NAME", [](TFileAccess& s, int id) { return CreateClient(nullptr, s, 4, id); },
         [](TFileAccess& s, int id) { return ChangeClient(nullptr, s, id, 4); },
         [](TFileAccess& s, int id, std::string& name, std::string& description) {
             if (!s.Clients().Find(id, 4))
                 return false;
             name = s.Clients().GetFullName();
             description = s.Clients().GetDescription();
             return true;
         }},
    };
}

TEST_F(EntityDialogsTest, SimpleEntitiesAddPrefillsAndWritesNameCutAndDescriptionWithLineBreaks)
{
    store.ClientGroups().Add(4, "Group four");
    store.CriteriaGroups().Add(4, "Criteria four");
    for (const TSimpleEntityCase& c : SimpleCases()) {
        SCOPED_TRACE(c.form);
        // A name of 300 Cyrillic letters keeps its first 255 characters.
        const QString longName = QString(300, QChar(0x0416));
        TScriptedModalSeam seam;
        seam.ExpectDialog(c.form, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), Text(c.addTitleKey));
            auto* edit = Child<QLineEdit>(d, c.nameEdit);
            EXPECT_EQ(edit->text(), Text(c.nameKey) + " 7");
            EXPECT_EQ(edit->maxLength(), 255);
            edit->setMaxLength(1000);  // typing is limited; the store must cut pasted text too
            edit->setText(longName);
            Child<QPlainTextEdit>(d, c.memo)->setPlainText("first line\nsecond line");
            Confirm(d);
        });
        const TEntityResult result = c.create(store, 7);
        ASSERT_TRUE(result.Done);
        EXPECT_EQ(result.Id, 7);
        std::string name, description;
        ASSERT_TRUE(c.read(store, 7, name, description));
        EXPECT_EQ(CharCount(name), 255u);
        EXPECT_EQ(QString::fromStdString(name), longName.left(255));
        EXPECT_EQ(result.Name, longName.left(255));
        EXPECT_EQ(description, "first line\r\nsecond line");
        EXPECT_TRUE(seam.informations.isEmpty());
    }
}

TEST_F(EntityDialogsTest, SimpleEntitiesChangeShowsRecordAndOverwritesIt)
{
    store.ClientGroups().Add(4, "Group four");
    store.CriteriaGroups().Add(4, "Criteria four");
    for (const TSimpleEntityCase& c : SimpleCases()) {
        SCOPED_TRACE(c.form);
        {
            TScriptedModalSeam seam;
            seam.ExpectDialog(c.form, [&](QDialog& d) {
                Child<QLineEdit>(d, c.nameEdit)->setText("Old");
                Child<QPlainTextEdit>(d, c.memo)->setPlainText("a\nb");
                Confirm(d);
            });
            ASSERT_TRUE(c.create(store, 2).Done);
        }
        TScriptedModalSeam seam;
        seam.ExpectDialog(c.form, [&](QDialog& d) {
            EXPECT_EQ(d.windowTitle(), Text(c.changeTitleKey));
            auto* edit = Child<QLineEdit>(d, c.nameEdit);
            auto* memo = Child<QPlainTextEdit>(d, c.memo);
            EXPECT_EQ(edit->text(), "Old");
            EXPECT_EQ(memo->toPlainText(), "a\nb");
            // Blanks around a name are dropped.
            edit->setText("  New name ");
            memo->setPlainText("a\nb\n\nc");
            Confirm(d);
        });
        const TEntityResult result = c.change(store, 2);
        EXPECT_TRUE(result.Done);
        EXPECT_EQ(result.Id, 2);
        EXPECT_EQ(result.Name, "New name");
        std::string name, description;
        ASSERT_TRUE(c.read(store, 2, name, description));
        EXPECT_EQ(name, "New name");
        EXPECT_EQ(description, "a\r\nb\r\n\r\nc");
    }
}

TEST_F(EntityDialogsTest, SimpleEntitiesRefuseMissingRecordAndWriteNothingOnCancel)
{
    store.ClientGroups().Add(4, "Group four");
    store.CriteriaGroups().Add(4, "Criteria four");
    store.SetModified(false);
    for (const TSimpleEntityCase& c : SimpleCases()) {
        SCOPED_TRACE(c.form);
        TScriptedModalSeam seam;
        const TEntityResult missing = c.change(store, 99);
        EXPECT_FALSE(missing.Done);
        EXPECT_TRUE(seam.dialogsShown.isEmpty());
        EXPECT_EQ(seam.informations, QStringList{Text("NO_RECORD_MSG")});

        seam.ExpectDialog(c.form, [&](QDialog& d) {
            Child<QLineEdit>(d, c.nameEdit)->setText("Typed but cancelled");
            FindButton(d, "CancelButton")->click();
        });
        EXPECT_FALSE(c.create(store, 1).Done);
        std::string name, description;
        EXPECT_FALSE(c.read(store, 1, name, description));
    }
    EXPECT_FALSE(store.IsModified());
}

TEST_F(EntityDialogsTest, OkFollowsNameFieldAndBlanksAloneAreNoName)
{
    for (const TSimpleEntityCase& c : SimpleCases()) {
        SCOPED_TRACE(c.form);
        TScriptedModalSeam seam;
        seam.ExpectDialog(c.form, [&](QDialog& d) {
            auto* edit = Child<QLineEdit>(d, c.nameEdit);
            QAbstractButton* ok = FindButton(d, "OKButton");
            auto* okPush = qobject_cast<QPushButton*>(ok);
            ASSERT_NE(okPush, nullptr);
            EXPECT_TRUE(okPush->isDefault());
            edit->clear();
            EXPECT_FALSE(ok->isEnabled());
            edit->setText(" \t  ");
            EXPECT_FALSE(ok->isEnabled()) << "a name of blanks only";
            edit->setText("  x");
            EXPECT_TRUE(ok->isEnabled());
            ok->click();
        });
        const TEntityResult result = c.create(store, 7);
        EXPECT_TRUE(result.Done);
        EXPECT_EQ(result.Name, "x");
    }
}

TEST_F(EntityDialogsTest, NewClientDefaultsAndBirthdayAgeCoupling)
{
    store.ClientGroups().Add(1, "Class");
    const QDate today = QDate::currentDate();
    TScriptedModalSeam seam;
    seam.ExpectDialog("AddClientForm", [&](QDialog& d) {
        auto* man = Child<QRadioButton>(d, "ManRadioButton");
        auto* woman = Child<QRadioButton>(d, "WomanRadioButton");
        auto* picker = Child<QDateEdit>(d, "BornDatePicker");
        auto* age = Child<QSpinBox>(d, "AgeSpinEdit");
        EXPECT_TRUE(man->isChecked());
        EXPECT_EQ(picker->date(), today);
        EXPECT_EQ(age->value(), 0);
        EXPECT_EQ(age->minimum(), 0);
        EXPECT_EQ(age->maximum(), 150);

        picker->setDate(QDate(today.year() - 10, 3, 15));
        EXPECT_EQ(age->value(), 10);
        // Only the years count: a birthday later this year still gives age 0.
        if (today.month() < 12 || today.day() < 31) {
            picker->setDate(QDate(today.year(), 12, 31));
            EXPECT_EQ(age->value(), 0);
        }
        // The age moves the year and keeps the day and month.
        picker->setDate(QDate(2001, 6, 9));
        age->setValue(30);
        EXPECT_EQ(picker->date(), QDate(today.year() - 30, 6, 9));
        EXPECT_EQ(age->value(), 30);
        woman->click();
        Confirm(d);
    });
    ASSERT_TRUE(CreateClient(nullptr, store, 1, 1).Done);
    ASSERT_TRUE(store.Clients().Find(1, 1));
    EXPECT_FALSE(store.Clients().GetIsMale());
    EXPECT_EQ(ProjectDate(store.Clients().GetBirthDate()), QDate(today.year() - 30, 6, 9));
}

TEST_F(EntityDialogsTest, ChangeClientShowsStoredValuesWithComputedAge)
{
    store.ClientGroups().Add(3, "Team");
    // The same client Id in another group is another client.
    store.Clients().Add(1, 2, "Other group", true, Days(QDate(1980, 1, 1)));
    store.Clients().Add(1, 3, "Anna Smith", false, Days(QDate(1990, 5, 17)));
    TScriptedModalSeam seam;
    seam.ExpectDialog("AddClientForm", [&](QDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "FullNameEdit")->text(), "Anna Smith");
        EXPECT_TRUE(Child<QRadioButton>(d, "WomanRadioButton")->isChecked());
        EXPECT_EQ(Child<QDateEdit>(d, "BornDatePicker")->date(), QDate(1990, 5, 17));
        EXPECT_EQ(Child<QSpinBox>(d, "AgeSpinEdit")->value(), QDate::currentDate().year() - 1990);
        Child<QRadioButton>(d, "ManRadioButton")->click();
        Confirm(d);
    });
    const TEntityResult result = ChangeClient(nullptr, store, 1, 3);
    EXPECT_TRUE(result.Done);
    ASSERT_TRUE(store.Clients().Find(1, 3));
    EXPECT_TRUE(store.Clients().GetIsMale());
    EXPECT_EQ(ProjectDate(store.Clients().GetBirthDate()), QDate(1990, 5, 17));
    ASSERT_TRUE(store.Clients().Find(1, 2));
    EXPECT_EQ(store.Clients().GetFullName(), "Other group");
}

TEST_F(EntityDialogsTest, AddingClientToGroupUsedByInvestigationsIsRefusedWithSortedNames)
{
    AddGroupWithClients(1, "Used", {"A", "B"});
    store.ClientGroups().Add(2, "Free");
    store.Investigations().Add({.Id = 1,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "Zeta",
                                .Date = 40000,
                                .AllowAgainst = true,
                                .MaxChoices = 1});
    store.Investigations().Add({.Id = 2,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "alpha",
                                .Date = 40000,
                                .AllowAgainst = true,
                                .MaxChoices = 1});

    TScriptedModalSeam seam;
    EXPECT_FALSE(CreateClient(nullptr, store, 1, 3).Done);
    EXPECT_TRUE(seam.dialogsShown.isEmpty());
    ASSERT_EQ(seam.informations.size(), 1);
    EXPECT_EQ(seam.informations[0], Text("CLIENTGROUP_ADDCLIENT_IS_IN_INVESTS") + ": \"alpha\", \"Zeta\".");
    EXPECT_EQ(store.CountClientsInGroup(1), 2);

    seam.ExpectDialog("AddClientForm", [](QDialog& d) { Confirm(d); });
    EXPECT_TRUE(CreateClient(nullptr, store, 2, 1).Done);
    EXPECT_EQ(store.CountClientsInGroup(2), 1);
}

TEST_F(EntityDialogsTest, InvestigationNeedsGroupsBeforeOpening)
{
    TScriptedModalSeam seam;
    EXPECT_FALSE(CreateInvestigation(nullptr, store, 1).Done);
    store.ClientGroups().Add(1, "Class");
    EXPECT_FALSE(CreateInvestigation(nullptr, store, 1).Done);
    EXPECT_EQ(seam.informations, (QStringList{Text("NO_CLIENTSGROUPS"), Text("NO_CRITERIESGROUPS")}));
    EXPECT_TRUE(seam.dialogsShown.isEmpty());
    EXPECT_EQ(store.Investigations().Count(), 0);
}

TEST_F(EntityDialogsTest, NewInvestigationDefaultsAndWrittenFields)
{
    AddGroupWithClients(1, "Small", {"Solo"});
    AddGroupWithClients(2, "Five", {"Eve", "bob", "Carl", "Alice", "Dan"});
    AddCriteriaGroup(1, "Empty", {});
    AddCriteriaGroup(5, "Leisure", {"Cinema", "Sport"});
    TScriptedModalSeam seam;
    seam.ExpectDialog("AddInvestForm", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), Text("FORM_TITLE_ADD_INVEST"));
        EXPECT_EQ(Child<QLineEdit>(d, "InvestEdit")->text(), Text("INVESTIGATION_NAME") + " 3");
        auto* groups = Child<QComboBox>(d, "ClientsGroupComboBox");
        auto* clients = Child<QListWidget>(d, "ClientsListBox");
        auto* criteriaGroups = Child<QComboBox>(d, "CriteriesGroupComboBox");
        auto* criteria = Child<QComboBox>(d, "CriteryComboBox");
        auto* spin = Child<QSpinBox>(d, "NumsSelectionsSpinEdit");
        auto* against = Child<QCheckBox>(d, "AllowAgainstCheckBox");
        ASSERT_EQ(groups->count(), 2);
        EXPECT_EQ(groups->currentIndex(), 0);
        EXPECT_EQ(criteriaGroups->currentIndex(), 0);
        EXPECT_EQ(criteria->count(), 0);
        // A group of one member leaves no one to choose.
        EXPECT_FALSE(spin->isEnabled());
        EXPECT_EQ(spin->value(), 0);
        EXPECT_FALSE(against->isChecked());

        groups->setCurrentIndex(1);
        ASSERT_EQ(clients->count(), 5);
        QStringList shown;
        for (int i = 0; i < clients->count(); ++i)
            shown << clients->item(i)->text();
        EXPECT_EQ(shown, (QStringList{"Alice", "bob", "Carl", "Dan", "Eve"}));
        EXPECT_TRUE(spin->isEnabled());
        EXPECT_EQ(spin->minimum(), 0);
        EXPECT_EQ(spin->maximum(), 4);
        EXPECT_EQ(spin->value(), 4);

        criteriaGroups->setCurrentIndex(1);
        ASSERT_EQ(criteria->count(), 2);
        EXPECT_EQ(criteria->currentText(), "Cinema");
        criteria->setCurrentIndex(1);
        spin->setValue(2);
        against->click();
        Child<QPlainTextEdit>(d, "ExpandedMemo")->setPlainText("x\ny");
        Confirm(d);
    });
    const TEntityResult result = CreateInvestigation(nullptr, store, 3);
    ASSERT_TRUE(result.Done);
    EXPECT_TRUE(seam.informations.isEmpty());
    TInvestTable& invests = store.Investigations();
    ASSERT_TRUE(invests.FindById(3));
    EXPECT_EQ(invests.GetName(), (Text("INVESTIGATION_NAME") + " 3").toStdString());
    EXPECT_EQ(invests.GetClientGroupId(), 2);
    EXPECT_EQ(invests.GetCriteriaGroupId(), 5);
    EXPECT_EQ(invests.GetCriterionId(), 2);
    EXPECT_TRUE(invests.GetAllowAgainst());
    EXPECT_EQ(invests.GetMaxChoices(), 2);
    EXPECT_EQ(invests.GetDate(), TodayDate());
    EXPECT_EQ(invests.GetDescription(), "x\r\ny");
}

TEST_F(EntityDialogsTest, InvestigationOkChecksGroupSizeThenCriteria)
{
    AddGroupWithClients(1, "Small", {"Solo"});
    AddGroupWithClients(2, "Pair", {"A", "B"});
    AddCriteriaGroup(1, "Empty", {});
    AddCriteriaGroup(2, "Full", {"Q"});
    TScriptedModalSeam seam;
    // A group of one client: refused although the criteria group is fine.
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) {
        Child<QLineEdit>(d, "InvestEdit")->setText("Kept");
        Child<QPlainTextEdit>(d, "ExpandedMemo")->setPlainText("typed notes");
        Child<QComboBox>(d, "CriteriesGroupComboBox")->setCurrentIndex(1);
        Confirm(d);
    });
    // The dialog comes back as it was left; two clients but a criteria group without criteria.
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) {
        EXPECT_EQ(Child<QLineEdit>(d, "InvestEdit")->text(), "Kept");
        EXPECT_EQ(Child<QPlainTextEdit>(d, "ExpandedMemo")->toPlainText(), "typed notes");
        EXPECT_EQ(Child<QComboBox>(d, "CriteriesGroupComboBox")->currentIndex(), 1);
        Child<QComboBox>(d, "ClientsGroupComboBox")->setCurrentIndex(1);
        Child<QComboBox>(d, "CriteriesGroupComboBox")->setCurrentIndex(0);
        Confirm(d);
    });
    // Cancel then writes nothing.
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) { d.reject(); });
    EXPECT_FALSE(CreateInvestigation(nullptr, store, 1).Done);
    EXPECT_EQ(seam.informations,
              (QStringList{Text("NOT_ENOUGH_CLIENTS_IN_GROUP"), Text("NO_CRITERIES_IN_GROUP")}));
    EXPECT_EQ(store.Investigations().Count(), 0);

    // Mended after a refusal, the investigation is written with what was typed first.
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) {
        Child<QLineEdit>(d, "InvestEdit")->setText("Second try");
        Confirm(d);
    });
    seam.ExpectDialog("AddInvestForm", [](QDialog& d) {
        Child<QComboBox>(d, "ClientsGroupComboBox")->setCurrentIndex(1);
        Child<QComboBox>(d, "CriteriesGroupComboBox")->setCurrentIndex(1);
        Confirm(d);
    });
    EXPECT_TRUE(CreateInvestigation(nullptr, store, 1).Done);
    ASSERT_TRUE(store.Investigations().FindById(1));
    EXPECT_EQ(store.Investigations().GetName(), "Second try");
    EXPECT_EQ(store.Investigations().GetClientGroupId(), 2);
    EXPECT_TRUE(seam.AllConsumed());
}

TEST_F(EntityDialogsTest, InvestigationWithChoicesRepairsContradictingEdits)
{
    AddGroupWithClients(1, "Class", {"A", "B", "C", "D"});
    AddGroupWithClients(2, "Other", {"P", "Q", "R"});
    AddCriteriaGroup(1, "Crit", {"Q1", "Q2"});
    store.Investigations().Add({.Id = 6,
                                .ClientGroupId = 1,
                                .CriterionId = 2,
                                .CriteriaGroupId = 1,
                                .Name = "Spring",
                                .Date = 41000,
                                .AllowAgainst = true,
                                .MaxChoices = 3});
    // Member 1 made two positive choices, member 2 one negative choice.
    store.ForChoices().Add(6, 1, 2);
    store.ForChoices().Add(6, 1, 3);
    store.AgainstChoices().Add(6, 2, 4);
    store.ForChoices().Add(5, 3, 1);  // another investigation's choice
    TScriptedModalSeam seam;
    seam.ExpectDialog("AddInvestForm", [&](QDialog& d) {
        EXPECT_EQ(d.windowTitle(), Text("FORM_TITLE_CHANGE_INVEST"));
        auto* groups = Child<QComboBox>(d, "ClientsGroupComboBox");
        auto* criteria = Child<QComboBox>(d, "CriteryComboBox");
        auto* spin = Child<QSpinBox>(d, "NumsSelectionsSpinEdit");
        auto* against = Child<QCheckBox>(d, "AllowAgainstCheckBox");
        EXPECT_EQ(groups->currentText(), "Class");
        EXPECT_EQ(criteria->currentText(), "Q2");
        EXPECT_EQ(spin->value(), 3);
        EXPECT_TRUE(against->isChecked());

        groups->setCurrentIndex(1);
        EXPECT_EQ(groups->currentText(), "Class");
        EXPECT_EQ(Child<QListWidget>(d, "ClientsListBox")->count(), 4);

        spin->setValue(1);
        EXPECT_EQ(spin->value(), 2);
        spin->setValue(2);

        against->click();
        EXPECT_TRUE(against->isChecked());
        Child<QLineEdit>(d, "InvestEdit")->setText("Spring, again");
        Confirm(d);
    });
    ASSERT_TRUE(ChangeInvestigation(nullptr, store, 6).Done);
    EXPECT_EQ(seam.informations, (QStringList{Text("CLIENTGROUP_NO_CHANGE"), Text("MAX_NUM_CHOICES_IS_LOW"),
                                              Text("NO_AGAINST_OFF")}));
    TInvestTable& invests = store.Investigations();
    ASSERT_TRUE(invests.FindById(6));
    EXPECT_EQ(invests.GetName(), "Spring, again");
    EXPECT_EQ(invests.GetClientGroupId(), 1);
    EXPECT_EQ(invests.GetCriterionId(), 2);
    EXPECT_EQ(invests.GetMaxChoices(), 2);
    EXPECT_TRUE(invests.GetAllowAgainst());
    EXPECT_EQ(invests.GetDate(), 41000);
}

// Enter takes a maximum typed into the box; one raised to the choices already made keeps the dialog
// open, so the user sees the value before confirming it, as any other repair leaves the dialog open.
TEST_F(EntityDialogsTest, EnterOnARaisedMaximumKeepsTheDialogOpen)
{
    AddGroupWithClients(1, "Class", {"A", "B", "C", "D"});
    AddCriteriaGroup(1, "Crit", {"Q1"});
    store.Investigations().Add({.Id = 6, .ClientGroupId = 1, .CriterionId = 1, .CriteriaGroupId = 1,
                                .Name = "Spring", .MaxChoices = 3});
    store.ForChoices().Add(6, 1, 2);
    store.ForChoices().Add(6, 1, 3);
    TScriptedModalSeam seam;
    seam.ExpectDialog("AddInvestForm", [&](QDialog& d) {
        auto* spin = Child<QSpinBox>(d, "NumsSelectionsSpinEdit");
        spin->setFocus();
        spin->selectAll();
        QTest::keyClicks(spin, "1");
        QTest::keyClick(spin, Qt::Key_Return);
        EXPECT_EQ(spin->value(), 2);
        EXPECT_TRUE(d.isVisible()) << "closed with a value the user has not seen";
        QTest::keyClick(spin, Qt::Key_Return);
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_TRUE(ChangeInvestigation(nullptr, store, 6).Done);
    EXPECT_EQ(seam.informations, QStringList{Text("MAX_NUM_CHOICES_IS_LOW")});
    ASSERT_TRUE(store.Investigations().FindById(6));
    EXPECT_EQ(store.Investigations().GetMaxChoices(), 2);
}

TEST_F(EntityDialogsTest, InvestigationWithoutChoicesMayMoveToAnotherGroup)
{
    AddGroupWithClients(1, "Class", {"A", "B", "C", "D"});
    AddGroupWithClients(2, "Other", {"P", "Q", "R"});
    AddCriteriaGroup(1, "Crit", {"Q1"});
    store.Investigations().Add({.Id = 1,
                                .ClientGroupId = 1,
                                .CriterionId = 1,
                                .CriteriaGroupId = 1,
                                .Name = "Autumn",
                                .Date = 41000,
                                .AllowAgainst = true,
                                .MaxChoices = 1});
    store.ForChoices().Add(2, 1, 2);  // choices of another investigation do not count
    TScriptedModalSeam seam;
    seam.ExpectDialog("AddInvestForm", [&](QDialog& d) {
        auto* spin = Child<QSpinBox>(d, "NumsSelectionsSpinEdit");
        EXPECT_EQ(spin->value(), 1);
        Child<QComboBox>(d, "ClientsGroupComboBox")->setCurrentIndex(1);
        EXPECT_EQ(spin->maximum(), 2);
        EXPECT_EQ(spin->value(), 2);
        spin->setValue(0);
        Child<QCheckBox>(d, "AllowAgainstCheckBox")->click();
        Confirm(d);
    });
    ASSERT_TRUE(ChangeInvestigation(nullptr, store, 1).Done);
    EXPECT_TRUE(seam.informations.isEmpty());
    ASSERT_TRUE(store.Investigations().FindById(1));
    EXPECT_EQ(store.Investigations().GetClientGroupId(), 2);
    EXPECT_EQ(store.Investigations().GetMaxChoices(), 0);
    EXPECT_FALSE(store.Investigations().GetAllowAgainst());
}

TEST_F(EntityDialogsTest, CreatedObjectsSurviveSaveAndReload)
{
    TScriptedModalSeam seam;
    seam.ExpectDialog("AddClientsGroupForm", [](QDialog& d) {
        Child<QLineEdit>(d, "ClientsGroupEdit")->setText("Класс 5Б");
        Child<QPlainTextEdit>(d, "GroupExpandedMemo")->setPlainText("Line one\nLine two");
        Confirm(d);
    });
    ASSERT_TRUE(CreateClientGroup(nullptr, store, 1).Done);
    seam.ExpectDialog("AddClientForm", [](QDialog& d) {
        Child<QDateEdit>(d, "BornDatePicker")->setDate(QDate(2012, 2, 29));
        Child<QRadioButton>(d, "WomanRadioButton")->click();
        Confirm(d);
    });
    ASSERT_TRUE(CreateClient(nullptr, store, 1, 1).Done);
    ASSERT_TRUE(store.Save());

    TFileAccess reloaded(dir.File("project.soi"));
    ASSERT_TRUE(reloaded.Load());
    ASSERT_TRUE(reloaded.ClientGroups().FindById(1));
    EXPECT_EQ(reloaded.ClientGroups().GetName(), "Класс 5Б");
    EXPECT_EQ(reloaded.ClientGroups().GetDescription(), "Line one\r\nLine two");
    ASSERT_TRUE(reloaded.Clients().Find(1, 1));
    EXPECT_FALSE(reloaded.Clients().GetIsMale());
    EXPECT_EQ(ProjectDate(reloaded.Clients().GetBirthDate()), QDate(2012, 2, 29));
}

} // namespace

namespace {

// Every named component shows a text from the language file, and Help opens the dialog's page.
TEST(EntityDialogsTexts, EveryComponentTranslatedAndHelpOpensOwnTopic)
{
    std::vector<std::pair<std::unique_ptr<QDialog>, int>> dialogs;
    dialogs.emplace_back(std::make_unique<TAddClientsGroupForm>(), 71);
    dialogs.emplace_back(std::make_unique<TAddClientForm>(), 72);
    dialogs.emplace_back(std::make_unique<TAddCriteriesGroupForm>(), 73);
    dialogs.emplace_back(std::make_unique<TAddCriteryForm>(), 74);
    dialogs.emplace_back(std::make_unique<TAddInvestForm>(), 75);
    dialogs.emplace_back(std::make_unique<TFindForm>(), 77);
    const QString missing = QString::fromLatin1(TLanguageController::NotDefinedText());
    for (auto& [dialog, topic] : dialogs) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        EXPECT_FALSE(dialog->windowTitle().isEmpty());
        EXPECT_FALSE(dialog->windowTitle().contains(missing));
        int named = 0;
        for (QWidget* w : dialog->findChildren<QWidget*>()) {
            if (w->objectName().isEmpty() || w->objectName().startsWith("qt_"))
                continue;
            ++named;
            EXPECT_FALSE(w->toolTip().isEmpty()) << w->objectName().toStdString();
            EXPECT_FALSE(w->toolTip().contains(missing)) << w->objectName().toStdString();
            QString caption;
            if (auto* label = qobject_cast<QLabel*>(w))
                caption = label->text();
            else if (auto* button = qobject_cast<QAbstractButton*>(w))
                caption = button->text();
            else
                continue;
            EXPECT_FALSE(caption.isEmpty() || caption.contains(missing)) << w->objectName().toStdString();
        }
        EXPECT_GE(named, 7);
        QStringList keyed;
        for (QLabel* label : dialog->findChildren<QLabel*>())
            keyed << label->text();
        for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>())
            keyed << button->text();
        EXPECT_EQ(DuplicateMnemonics(keyed).toStdString(), "") << "each access key chooses one field";

        QAbstractButton* help = FindButton(*dialog, "HelpButton");
        ASSERT_NE(help, nullptr);
        help->click();
        ASSERT_NE(HelpWindow(), nullptr);
        auto* browser = HelpWindow()->findChild<QTextBrowser*>();
        ASSERT_NE(browser, nullptr);
        EXPECT_TRUE(browser->source().toLocalFile().endsWith(QString("/help/%1.html").arg(topic)));
    }
    HelpWindow()->close();
}

} // namespace
