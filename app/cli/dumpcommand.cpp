// tremlow-cli dump: a project file as one JSON object, for scripts.
#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"

namespace {

using TJson = nlohmann::ordered_json;

TJson DateJson(double date)
{
    int y = 0, m = 0, d = 0;
    if (!DecodeDate(date, y, m, d))
        return nullptr;
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", y, m, d);
    return text;
}

// Descriptions are kept with CR LF line breaks; scripts get plain LF.
std::string DescriptionJson(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}

TJson ProjectJson(const TFileAccess& store, bool showPasswords)
{
    TJson project = TJson::object();
    TJson& clientGroups = project["CLIENT_GROUPS"] = TJson::array();
    for (int32_t i = 0; i < store.ClientGroups().Count(); ++i) {
        const TAClientGroup& r = store.ClientGroups().At(i);
        clientGroups.push_back(
            {{"Id", r.Id}, {"Name", r.Name}, {"Description", DescriptionJson(r.Description)}});
    }
    TJson& clients = project["CLIENTS"] = TJson::array();
    for (int32_t i = 0; i < store.Clients().Count(); ++i) {
        const TAClient& r = store.Clients().At(i);
        clients.push_back({{"Id", r.Id},
                           {"GroupId", r.GroupId},
                           {"FullName", r.FullName},
                           {"IsMale", r.IsMale},
                           {"BirthDate", DateJson(r.BirthDate)},
                           {"Description", DescriptionJson(r.Description)}});
    }
    TJson& criteriaGroups = project["CRITERY_GROUPS"] = TJson::array();
    for (int32_t i = 0; i < store.CriteriaGroups().Count(); ++i) {
        const TACriteryGroup& r = store.CriteriaGroups().At(i);
        criteriaGroups.push_back(
            {{"Id", r.Id}, {"Name", r.Name}, {"Description", DescriptionJson(r.Description)}});
    }
    TJson& criteria = project["CRITERIES"] = TJson::array();
    for (int32_t i = 0; i < store.Criteria().Count(); ++i) {
        const TACritery& r = store.Criteria().At(i);
        criteria.push_back({{"Id", r.Id},
                            {"GroupId", r.GroupId},
                            {"Name", r.Name},
                            {"Description", DescriptionJson(r.Description)}});
    }
    TJson& invests = project["INVESTS"] = TJson::array();
    for (int32_t i = 0; i < store.Investigations().Count(); ++i) {
        const TAnInvest& r = store.Investigations().At(i);
        invests.push_back({{"Id", r.Id},
                           {"ClientGroupId", r.ClientGroupId},
                           {"CriterionId", r.CriterionId},
                           {"CriteriaGroupId", r.CriteriaGroupId},
                           {"Name", r.Name},
                           {"Date", DateJson(r.Date)},
                           {"AllowAgainst", r.AllowAgainst},
                           {"MaxChoices", r.MaxChoices},
                           {"Description", DescriptionJson(r.Description)}});
    }
    auto choices = [](const TChoiceTable& table) {
        TJson rows = TJson::array();
        for (int32_t i = 0; i < table.Count(); ++i) {
            const TChoiceRow& r = table.At(i);
            rows.push_back({{"InvestId", r.InvestId}, {"FromId", r.FromId}, {"ToId", r.ToId}});
        }
        return rows;
    };
    project["FOR"] = choices(store.ForChoices());
    project["AGAINST"] = choices(store.AgainstChoices());
    TJson& graph = project["GRAPH"] = TJson::array();
    for (int32_t i = 0; i < store.Placements().Count(); ++i) {
        const TGraphPlace& r = store.Placements().At(i);
        graph.push_back({{"InvestId", r.InvestId},
                         {"ClientId", r.ClientId},
                         {"ClientGroupId", r.ClientGroupId},
                         {"SelType", r.SelType},
                         {"Left", r.Left},
                         {"Top", r.Top},
                         {"Width", r.Width},
                         {"Height", r.Height},
                         {"FigType", r.FigType}});
    }
    TJson& users = project["USERS"] = TJson::array();
    for (int32_t i = 0; i < store.Users().Count(); ++i) {
        const TAUser& r = store.Users().At(i);
        TJson user = {{"Id", r.Id}, {"Name", r.Name}, {"PasswordSet", !r.Password.empty()}};
        if (showPasswords)
            user["Password"] = r.Password;
        user["Description"] = DescriptionJson(r.Description);
        users.push_back(std::move(user));
    }
    project["LoginRequired"] = store.LoginRequired();
    return project;
}

struct TDumpOptions {
    std::string file;
    bool showPasswords = false;
};

int Dump(const TDumpOptions& options)
{
    const std::string& file = options.file;
    TFileAccess store(file);
    if (!CliLoadProject(store))
        return 1;
    std::cout << ProjectJson(store, options.showPasswords).dump(2, ' ', false, TJson::error_handler_t::replace) << '\n';
    return std::cout.good() ? 0 : 1;
}

void DeclareDump(CLI::App& command)
{
    auto options = std::make_shared<TDumpOptions>();
    command.add_option("FILE", options->file, "project file (.soi)")->required();
    command.add_flag("--show-passwords", options->showPasswords,
                     "print the users' passwords too (by default only whether each has one)");
    CliAction(command, [options] { return Dump(*options); });
}

const TCliRegistrar g_dump({"dump", "print a project file as one JSON object", DeclareDump});

} // namespace
