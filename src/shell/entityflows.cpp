#include "shell/entityflows.h"

#include <exception>
#include <map>
#include <string>
#include <vector>

#include <QLineEdit>

#include "platform/modalseam.h"
#include "i18n/langconv.h"
#include "shell/addclientform.h"
#include "shell/addclientsgroupform.h"
#include "shell/addcriteriesgroupform.h"
#include "shell/addcriteryform.h"
#include "shell/addinvestform.h"
#include "shell/findform.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "util/text.h"

namespace {

// Runs a flow step by step; an error raised on the way is shown with its text.
template <typename TFlow>
TEntityResult Guarded(QWidget* parent, TFlow&& flow)
{
    try {
        return flow();
    } catch (const std::exception& error) {
        ShowMessageText(parent, QString::fromStdString(error.what()));
        return {};
    }
}

bool Confirmed(QDialog& dialog)
{
    return Modal().Exec(dialog) == QDialog::Accepted;
}

// Prepares a dialog for a new object: the caption and the prefilled name "<name key text> <Id>".
void PrepareAdd(TEntityFormBase& form, const char* titleKey, const char* nameKey, int newId)
{
    form.setWindowTitle(CatalogueText(titleKey));
    form.SetNameText(CatalogueText(nameKey) + QLatin1Char(' ') + QString::number(newId));
    form.NameEdit()->selectAll();
}

void PrepareChange(TEntityFormBase& form, const char* titleKey, const std::string& name,
                   const std::string& description)
{
    form.setWindowTitle(CatalogueText(titleKey));
    form.SetNameText(QString::fromStdString(name));
    form.SetDescriptionText(DescriptionFromStore(description));
}

TEntityResult Refuse(QWidget* parent, const char* key)
{
    ShowCatalogueMessage(parent, key);
    return {};
}

// Stores the confirmed name with write (which adds or changes the record), then the description
// on the record that find locates by its key.
template <typename TTable, typename TWrite, typename TFind>
TEntityResult WriteNamed(TTable& table, const TEntityFormBase& form, int id, TWrite&& write, TFind&& find)
{
    const std::string name = NameToStore(form.NameText());
    write(name);
    if (find())
        table.SetDescription(DescriptionToStore(form.DescriptionText()));
    return {true, id, QString::fromStdString(name)};
}

// The create flow of an object that has only a name and a description.
template <typename TForm, typename TTable, typename TAdd, typename TFind>
TEntityResult CreateNamed(QWidget* parent, TTable& table, int newId, const char* titleKey,
                          const char* nameKey, TAdd&& add, TFind&& find)
{
    return Guarded(parent, [&]() -> TEntityResult {
        TForm form(parent);
        PrepareAdd(form, titleKey, nameKey, newId);
        if (!Confirmed(form))
            return {};
        return WriteNamed(table, form, newId, add, find);
    });
}

// The change flow of an object that has only a name and a description. The record is looked up
// again after OK, so the write goes to it even if the table's cursor moved meanwhile.
template <typename TForm, typename TTable, typename TChange, typename TFind>
TEntityResult ChangeNamed(QWidget* parent, TTable& table, int id, const char* titleKey, TChange&& change,
                          TFind&& find)
{
    return Guarded(parent, [&]() -> TEntityResult {
        if (!find())
            return Refuse(parent, "NO_RECORD_MSG");
        TForm form(parent);
        PrepareChange(form, titleKey, table.GetName(), table.GetDescription());
        if (!Confirmed(form))
            return {};
        if (!find())
            return Refuse(parent, "NO_RECORD_MSG");
        return WriteNamed(table, form, id, change, find);
    });
}

// The create and change flows of a group, which is known by its id alone.
template <typename TForm, typename TTable>
TEntityResult CreateGroup(QWidget* parent, TTable& table, int newId, const char* titleKey,
                          const char* nameKey)
{
    return CreateNamed<TForm>(
        parent, table, newId, titleKey, nameKey, [&](const std::string& name) { table.Add(newId, name); },
        [&] { return table.FindById(newId); });
}

template <typename TForm, typename TTable>
TEntityResult ChangeGroup(QWidget* parent, TTable& table, int id, const char* titleKey)
{
    return ChangeNamed<TForm>(
        parent, table, id, titleKey, [&](const std::string& name) { table.Change(id, name); },
        [&] { return table.FindById(id); });
}

// The text of key, ": ", the quoted investigation names separated by ", ", and ".".
QString InUseText(const char* key, const std::vector<std::string>& investigations)
{
    std::string text = LangConv().GetText(key) + ": ";
    for (std::size_t i = 0; i < investigations.size(); ++i) {
        if (i > 0)
            text += ", ";
        text += '"' + investigations[i] + '"';
    }
    text += '.';
    return QString::fromStdString(CutChars(text, kShortTextMax));
}

TInvestFormData GatherInvestData(const TFileAccess& store, int investId)
{
    TInvestFormData data;
    const TClientGroupTable& clientGroups = store.ClientGroups();
    for (int32_t i = 0; i < clientGroups.Count(); ++i) {
        const TAClientGroup& group = clientGroups.At(i);
        data.ClientGroups.push_back({group.Id, QString::fromStdString(group.Name)});
    }
    const TClientTable& clients = store.Clients();
    for (int32_t i = 0; i < clients.Count(); ++i) {
        const TAClient& client = clients.At(i);
        auto& members = data.ClientsOfGroup[client.GroupId];
        members.Ids.push_back(client.Id);
        members.Names.push_back(QString::fromStdString(client.FullName));
    }
    const TCriteryGroupTable& criteriaGroups = store.CriteriaGroups();
    for (int32_t i = 0; i < criteriaGroups.Count(); ++i) {
        const TACriteryGroup& group = criteriaGroups.At(i);
        data.CriteriaGroups.push_back({group.Id, QString::fromStdString(group.Name)});
    }
    const TCriteryTable& criteria = store.Criteria();
    for (int32_t i = 0; i < criteria.Count(); ++i) {
        const TACritery& criterion = criteria.At(i);
        data.CriteriaOfGroup[criterion.GroupId].push_back(
            {criterion.Id, QString::fromStdString(criterion.Name)});
    }
    if (investId != -1) {
        const auto countChoices = [investId](const TChoiceTable& table, std::map<int, int>& byChooser) {
            for (int32_t i = 0; i < table.Count(); ++i) {
                const TChoiceRow& row = table.At(i);
                if (row.InvestId == investId)
                    ++byChooser[row.FromId];
            }
        };
        countChoices(store.ForChoices(), data.PositiveByChooser);
        countChoices(store.AgainstChoices(), data.NegativeByChooser);
    }
    return data;
}

// The checks before an investigation dialog opens.
bool InvestigationCanOpen(QWidget* parent, const TFileAccess& store)
{
    if (store.ClientGroups().Count() == 0) {
        ShowCatalogueMessage(parent, "NO_CLIENTSGROUPS");
        return false;
    }
    if (store.CriteriaGroups().Count() == 0) {
        ShowCatalogueMessage(parent, "NO_CRITERIESGROUPS");
        return false;
    }
    return true;
}

// The checks after OK: a group of at least two members and a criteria group with a criterion.
bool InvestigationCanBeWritten(QWidget* parent, const TFileAccess& store, const TAddInvestForm& form)
{
    if (store.CountClientsInGroup(form.ClientGroupId()) <= 1) {
        ShowCatalogueMessage(parent, "NOT_ENOUGH_CLIENTS_IN_GROUP");
        return false;
    }
    if (store.CountCriteriaInGroup(form.CriteriaGroupId()) < 1 || form.CriterionId() == -1) {
        ShowCatalogueMessage(parent, "NO_CRITERIES_IN_GROUP");
        return false;
    }
    return true;
}

// The investigation dialog until it is cancelled or its OK passes the checks; a refused OK
// brings the dialog back as it was left, so nothing typed into it is lost.
bool ConfirmedInvestigation(QWidget* parent, const TFileAccess& store, TAddInvestForm& form)
{
    while (Confirmed(form)) {
        if (InvestigationCanBeWritten(parent, store, form))
            return true;
    }
    return false;
}

} // namespace

TEntityResult CreateClientGroup(QWidget* parent, TFileAccess& store, int newId)
{
    return CreateGroup<TAddClientsGroupForm>(parent, store.ClientGroups(), newId,
                                             "FORM_TITLE_ADD_CLIENTS_GROUP", "CLIENTGROUP_NAME");
}

TEntityResult ChangeClientGroup(QWidget* parent, TFileAccess& store, int id)
{
    return ChangeGroup<TAddClientsGroupForm>(parent, store.ClientGroups(), id,
                                             "FORM_TITLE_CHANGE_CLIENTS_GROUP");
}

TEntityResult CreateClient(QWidget* parent, TFileAccess& store, int groupId, int newId)
{
    return Guarded(parent, [&]() -> TEntityResult {
        // The choices of an investigation refer to the group's members as they stand.
        std::vector<std::string> investigations;
        InvestigationsOfClientGroup(store, groupId, investigations);
        if (!investigations.empty()) {
            ShowMessageText(parent, InUseText("CLIENTGROUP_ADDCLIENT_IS_IN_INVESTS", investigations));
            return {};
        }
        TAddClientForm form(parent);
        PrepareAdd(form, "FORM_TITLE_ADD_CLIENT", "CLIENT_NAME", newId);
        if (!Confirmed(form))
            return {};
        TClientTable& table = store.Clients();
        return WriteNamed(
            table, form, newId,
            [&](const std::string& name) {
                table.Add(newId, groupId, name, form.IsMale(), form.BirthDate());
            },
            [&] { return table.Find(newId, groupId); });
    });
}

TEntityResult ChangeClient(QWidget* parent, TFileAccess& store, int id, int groupId)
{
    return Guarded(parent, [&]() -> TEntityResult {
        TClientTable& table = store.Clients();
        if (!table.Find(id, groupId))
            return Refuse(parent, "NO_RECORD_MSG");
        TAddClientForm form(parent);
        PrepareChange(form, "FORM_TITLE_CHANGE_CLIENT", table.GetFullName(), table.GetDescription());
        form.SetMale(table.GetIsMale());
        form.SetBirthDate(table.GetBirthDate());
        if (!Confirmed(form))
            return {};
        if (!table.Find(id, groupId))
            return Refuse(parent, "NO_RECORD_MSG");
        return WriteNamed(
            table, form, id,
            [&](const std::string& name) {
                table.Change(id, groupId, name, form.IsMale(), form.BirthDate());
            },
            [&] { return table.Find(id, groupId); });
    });
}

TEntityResult CreateCriteriaGroup(QWidget* parent, TFileAccess& store, int newId)
{
    return CreateGroup<TAddCriteriesGroupForm>(parent, store.CriteriaGroups(), newId,
                                               "FORM_TITLE_ADD_CRITERIES_GROUP", "CRITERYGROUP_NAME");
}

TEntityResult ChangeCriteriaGroup(QWidget* parent, TFileAccess& store, int id)
{
    return ChangeGroup<TAddCriteriesGroupForm>(parent, store.CriteriaGroups(), id,
                                               "FORM_TITLE_CHANGE_CRITERIES_GROUP");
}

TEntityResult CreateCriterion(QWidget* parent, TFileAccess& store, int groupId, int newId)
{
    TCriteryTable& table = store.Criteria();
    return CreateNamed<TAddCriteryForm>(
        parent, table, newId, "FORM_TITLE_ADD_CRITERY", "CRITERY_NAME",
        [&](const std::string& name) { table.Add(newId, groupId, name); },
        [&] { return table.Find(newId, groupId); });
}

TEntityResult ChangeCriterion(QWidget* parent, TFileAccess& store, int id, int groupId)
{
    TCriteryTable& table = store.Criteria();
    return ChangeNamed<TAddCriteryForm>(
        parent, table, id, "FORM_TITLE_CHANGE_CRITERY",
        [&](const std::string& name) { table.Change(id, groupId, name); },
        [&] { return table.Find(id, groupId); });
}

TEntityResult CreateInvestigation(QWidget* parent, TFileAccess& store, int newId)
{
    return Guarded(parent, [&]() -> TEntityResult {
        if (!InvestigationCanOpen(parent, store))
            return {};
        TAddInvestForm form(parent);
        PrepareAdd(form, "FORM_TITLE_ADD_INVEST", "INVESTIGATION_NAME", newId);
        form.Fill(GatherInvestData(store, -1), -1);
        if (!ConfirmedInvestigation(parent, store, form))
            return {};
        TInvestTable& table = store.Investigations();
        return WriteNamed(
            table, form, newId,
            [&](const std::string& name) {
                table.Add({.Id = newId,
                           .ClientGroupId = form.ClientGroupId(),
                           .CriterionId = form.CriterionId(),
                           .CriteriaGroupId = form.CriteriaGroupId(),
                           .Name = name,
                           .Date = TodayDate(),
                           .AllowAgainst = form.AllowAgainst(),
                           .MaxChoices = form.MaxChoices()});
            },
            [&] { return table.FindById(newId); });
    });
}

TEntityResult ChangeInvestigation(QWidget* parent, TFileAccess& store, int id)
{
    return Guarded(parent, [&]() -> TEntityResult {
        TInvestTable& table = store.Investigations();
        if (!table.FindById(id))
            return Refuse(parent, "NO_RECORD_MSG");
        const TAnInvest stored = table.Current();
        if (!InvestigationCanOpen(parent, store))
            return {};
        TAddInvestForm form(parent);
        PrepareChange(form, "FORM_TITLE_CHANGE_INVEST", stored.Name, stored.Description);
        form.Fill(GatherInvestData(store, id), id, stored.ClientGroupId, stored.CriteriaGroupId,
                  stored.CriterionId, stored.AllowAgainst, stored.MaxChoices);
        if (!ConfirmedInvestigation(parent, store, form))
            return {};
        if (!table.FindById(id))
            return Refuse(parent, "NO_RECORD_MSG");
        return WriteNamed(
            table, form, id,
            [&](const std::string& name) {
                table.Change({.Id = id,
                              .ClientGroupId = form.ClientGroupId(),
                              .CriterionId = form.CriterionId(),
                              .CriteriaGroupId = form.CriteriaGroupId(),
                              .Name = name,
                              .Date = stored.Date,
                              .AllowAgainst = form.AllowAgainst(),
                              .MaxChoices = form.MaxChoices()});
            },
            [&] { return table.FindById(id); });
    });
}

TFindRequest RunFindForm(QWidget* parent, const TFindRequest& remembered)
{
    TFindRequest answer = remembered;
    answer.Find = false;
    try {
        TFindForm form(parent);
        form.Fill(remembered.Text, remembered.Type, remembered.Flags);
        if (Modal().Exec(form) == QDialog::Accepted && form.FindPressed()) {
            answer.Find = true;
            answer.Text = form.Text();
            answer.Type = form.Type();
            answer.Flags = form.Flags();
        }
    } catch (const std::exception& error) {
        ShowMessageText(parent, QString::fromStdString(error.what()));
    }
    return answer;
}
