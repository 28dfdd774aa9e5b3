#pragma once

// Topics of the help: each window and question opens the page of its number
// (data/languages/<code>/help/<number>.html), so the numbers never change.
enum class THelpTopic : int {
    Contents = 0,
    ToolBars = 43,
    MainWindow = 51,
    Starting = 54,
    Login = 61,
    Upgrade = 62,
    ClientGroup = 71,
    Client = 72,
    CriteriaGroup = 73,
    Criterion = 74,
    Investigation = 75,
    GroupFile = 76,
    Find = 77,
    Choices = 81,
    Indexes = 91,
    Graph = 92,
    Target = 93,
    Status = 94,
    Compare = 95,
    Options = 101,
    Report = 110,
    Blanks = 111,
    PrintWindow = 117,
    RosterImport = 121,
    ChoicesImport = 122,
    TableExport = 123,
    NetworkExport = 124,
    Survey = 125,
    SaveQuestion = 502,
    ExitQuestion = 507,
    ReportObject = 508,
    Users = 611,
    UserAddEdit = 612,
    UserPasswords = 613,
    UserRemove = 614,
};

// The number of a topic, as its page is named.
constexpr int HelpTopicNumber(THelpTopic topic)
{
    return static_cast<int>(topic);
}
