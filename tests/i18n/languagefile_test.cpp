#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "settings/inifile.h"
#include "i18n/langconv.h"
#include "support/core/tempdir.h"
#include "util/text.h"

namespace {

// Every message key the program asks the catalogue for.
const char* const kMessageKeys[] = {
    "ADD_CLIENT_FORM_CAP", "ANY_NAME", "APPLICATION_EXIT_MSG", "APPLICATION_NAME", "Ai_INDEX",
    "CANCEL_BUTTON", "CANT_REMOVE_CRITGRP_FROM_CRITERIES", "CAN_REMOVE_CLIENTS_GROUP_MSG",
    "CAN_REMOVE_CLIENT_MSG", "CAN_REMOVE_CRITERIES_GROUP_MSG", "CAN_REMOVE_CRITERY_MSG",
    "CAN_REMOVE_INVEST_MSG", "CLIENTGROUP_ADDCLIENT_IS_IN_INVESTS", "CLIENTGROUP_IS_IN_INVESTS",
    "CLIENTGROUP_NAME", "CLIENTGROUP_NO_CHANGE", "CLIENTS_MAIN_NODE_TITLE", "CLIENT_AGE",
    "CLIENT_BIRTHDAY", "CLIENT_CHANGE", "CLIENT_CREATE", "CLIENT_FEMALE", "CLIENT_GROUP_EXPORT_OK",
    "CLIENT_GROUP_FILE_BAD", "CLIENT_GROUP_IMPORT_OK", "CLIENT_IS_IN_INVESTS", "CLIENT_MALE",
    "CLIENT_NAME", "CLIENT_REMOVE", "CLIENT_SEX", "CLNGRP_CHANGE", "CLNGRP_CREATE",
    "CLNGRP_REMOVE", "CLN_GROUP_DLG_OPEN", "CLN_GROUP_DLG_SAVE", "CLN_GROUP_FILE_EXIST",
    "CLN_GROUP_FILE_NOT_EXIST", "COMMON_CHANGE", "COMMON_CREATE", "COMMON_REMOVE",
    "CRITERIES_MAIN_NODE_TITLE", "CRITERION_IS_IN_INVESTS", "CRITERYGROUP_NAME", "CRITERY_NAME",
    "CRITER_CHANGE", "CRITER_CREATE", "CRITER_REMOVE", "CRTGRP_CHANGE", "CRTGRP_CREATE",
    "CRTGRP_REMOVE", "DESCRIPTION", "DOUBLE_NAME", "EDIT_CLIENT_ADD_BTN_CAP",
    "EDIT_CLIENT_CHANGE_BTN_CAP", "EDIT_CLIENT_FORM_CAP", "ERROR_REMOVING_CLIENTS_FROM_GROUP_MSG",
    "ERROR_REMOVING_CLIENTS_GROUP_MSG", "ERROR_REMOVING_CLIENT_MSG",
    "ERROR_REMOVING_CRITERIES_FROM_GROUP_MSG", "ERROR_REMOVING_CRITERIES_GROUP_MSG",
    "ERROR_REMOVING_CRITERY_MSG", "ERROR_REMOVING_INVEST_MSG", "ERROR_REMOVING_SELECT_MSG",
    "Ei_INDEX", "FILE_VIOLATED_MSG", "FIND_NO_OBJECT", "FORM_TITLE_ADD_CLIENT",
    "FORM_TITLE_ADD_CLIENTS_GROUP", "FORM_TITLE_ADD_CRITERIES_GROUP", "FORM_TITLE_ADD_CRITERY",
    "FORM_TITLE_ADD_INVEST", "FORM_TITLE_CHANGE_CLIENT", "FORM_TITLE_CHANGE_CLIENTS_GROUP",
    "FORM_TITLE_CHANGE_CRITERIES_GROUP", "FORM_TITLE_CHANGE_CRITERY", "FORM_TITLE_CHANGE_INVEST",
    "GRAPH_FORM_CAPTION", "GRAPH_MENU_ADD", "HELP_BUTTON", "HOME_PAGE_URL", "INDEXES_MENU_ADD",
    "INDEX_ERROR_FILLCLIENTS_MSG", "INVESTIGATION_NAME", "INVEST_CHANGE", "INVEST_CREATE",
    "INVEST_ENABLE_AGAINST", "INVEST_MAX_CHOICES", "INVEST_REMOVE", "IS_EXIST_SELECT_FORM",
    "J_INDEX", "LESS_2_CLIENTS", "LITTLE_CLIENTS_GROUP", "MAIN_NODE_TITLE", "MAIN_WINDOW_CAPTION",
    "MAX_NUM_CHOICES_IS_LOW", "MESSAGE_DLG_TITLE", "MUST_NEW_FILE", "NEG_CONFIRM",
    "NOT_CHANGED_FILE", "NOT_CORRECT_PASSWORD", "NOT_ENOUGH_CLIENTS_IN_GROUP",
    "NOT_FOUND_CLIENT_GROUP", "NO_AGAINST_OFF", "NO_BUTTON", "NO_CHILD_HANDLE", "NO_CLIENTSGROUPS",
    "NO_CLIENT_GROUP_MSG", "NO_CLIENT_IN_LIST", "NO_CRITERIESGROUPS", "NO_CRITERIES_IN_GROUP",
    "NO_CRITERY_GROUP_MSG", "NO_CRITERY_MSG", "NO_IEXPLORER_MSG", "NO_OPEN_PROJECT",
    "NO_RECORD_MSG", "NO_SELECTED_NODE", "NO_THE_SAME_USER", "NUMBER", "NUM_CLIENTS_IN_GROUP",
    "NUM_CRITERIONS_IN_GROUP", "NUM_INVESTIGATIONS", "N_INDEX", "OPTIONS_CHOICES_CLIENT1",
    "OPTIONS_CHOICES_CLIENT2", "OPTIONS_CHOICES_CLIENT3", "OPTIONS_CHOICES_CLIENT4",
    "OPTIONS_CHOICES_DIRTODOWN", "OPTIONS_CHOICES_DIRTORIGHT", "OPTIONS_CHOICES_ELEM_ACELL",
    "OPTIONS_CHOICES_ELEM_ALINE", "OPTIONS_CHOICES_ELEM_ARROW", "OPTIONS_CHOICES_ELEM_CCELL",
    "OPTIONS_CHOICES_ELEM_NALINE", "OPTIONS_CHOICES_ELEM_NSYMB", "OPTIONS_CHOICES_ELEM_PSYMB",
    "OPTIONS_CHOICES_ELEM_TEXT", "OPTIONS_GRAPHCOMP_1", "OPTIONS_GRAPHCOMP_2",
    "OPTIONS_GRAPHCOMP_3", "OPTIONS_GRAPHCOMP_4", "OPTIONS_GRAPH_CLIENT_1",
    "OPTIONS_GRAPH_CLIENT_2", "OPTIONS_GRAPH_CLIENT_3", "OPTIONS_GRAPH_CLIENT_4",
    "OPTIONS_GRAPH_ELEM_ARROW", "OPTIONS_GRAPH_ELEM_ARR_NEG", "OPTIONS_GRAPH_ELEM_ARR_POS",
    "OPTIONS_GRAPH_ELEM_BGRND", "OPTIONS_GRAPH_ELEM_GRCOMPBGRND", "OPTIONS_GRAPH_ELEM_GRCOMPLINE",
    "OPTIONS_GRAPH_ELEM_GRCOMPTEXT", "OPTIONS_INDEXES_ELEM_BGRND",
    "OPTIONS_INDEXES_ELEM_GRPAXEXLABEL", "OPTIONS_INDEXES_ELEM_GRPAXEXTITLE",
    "OPTIONS_INDEXES_ELEM_GRPAXEYLABEL", "OPTIONS_INDEXES_ELEM_GRPAXEYTITLE",
    "OPTIONS_INDEXES_ELEM_GRPCHARTCOLOR", "OPTIONS_INDEXES_ELEM_GRPCHARTGRID",
    "OPTIONS_INDEXES_ELEM_GRPDATALABEL_BGRND", "OPTIONS_INDEXES_ELEM_GRPDATLABEL",
    "OPTIONS_INDEXES_ELEM_GRPTITLE", "OPTIONS_INDEXES_ELEM_PRVAXEXLABEL",
    "OPTIONS_INDEXES_ELEM_PRVAXEXTITLE", "OPTIONS_INDEXES_ELEM_PRVAXEYLABEL",
    "OPTIONS_INDEXES_ELEM_PRVAXEYTITLE", "OPTIONS_INDEXES_ELEM_PRVCHARTCOLOR",
    "OPTIONS_INDEXES_ELEM_PRVCHARTGRID", "OPTIONS_INDEXES_ELEM_PRVDATLABEL",
    "OPTIONS_INDEXES_ELEM_PRVDATLABEL_BGRND", "OPTIONS_INDEXES_ELEM_PRVLEGEND",
    "OPTIONS_INDEXES_ELEM_PRVLEGEND_BGRND", "OPTIONS_INDEXES_ELEM_PRVTITLE",
    "OPTIONS_TARGET_ELEM_ARING", "OPTIONS_TARGET_ELEM_ARLINE", "OPTIONS_TARGET_ELEM_BGRND",
    "OPTIONS_TARGET_ELEM_LEGBGRND", "OPTIONS_TARGET_ELEM_LEGBORDER", "OPTIONS_TARGET_ELEM_LEGTEXT",
    "OPTIONS_TARGET_ELEM_NARING", "OPTIONS_TARGET_ELEM_NARLINE", "OPTIONS_TARGET_ELEM_RINGTEXT",
    "OPTIONS_TREE_BGRND", "OPTIONS_TREE_NODE", "POS_CONFIRM", "PROJECT_CONFIRMSAVEDIALOG_CAPTION",
    "PROJECT_CONFIRMSAVEDIALOG_TITLE", "PROJECT_FILTER_HEAD", "PROJECT_NO_FILE",
    "PROJECT_OPENDIALOG_TITLE", "PROJECT_SAVEDIALOG_TITLE", "P_INDEX", "Pi_INDEX",
    "QUICK_ENTER_CANCEL_CAPTION", "QUICK_ENTER_OK_CAPTION", "REGS_INIT_GROUPAXEXTITLE",
    "REGS_INIT_GROUPAXEYTITLE", "REGS_INIT_GROUPCHARTTITLE", "REGS_INIT_PRIVAXEXTITLE",
    "REGS_INIT_PRIVAXEYTITLE", "REGS_INIT_PRIVCHARTTITLE", "REPORT_Ai_INDEX",
    "REPORT_CHOICES_TABLE", "REPORT_CLIENTGROUP_TITLE", "REPORT_CLIENTSGROUP_INVEST_LIST",
    "REPORT_CLIENTS_BY_ALLCHOICES_NEG", "REPORT_CLIENTS_BY_ALLCHOICES_POS",
    "REPORT_CLIENTS_BY_AUTHORITY", "REPORT_CLIENTS_BY_INCHOICES_NEG",
    "REPORT_CLIENTS_BY_INCHOICES_POS", "REPORT_CLIENTS_BY_MUTCHOICES_NEG",
    "REPORT_CLIENTS_BY_MUTCHOICES_POS", "REPORT_CLIENTS_BY_OUTCHOICES_NEG",
    "REPORT_CLIENTS_BY_OUTCHOICES_POS", "REPORT_CLIENTS_BY_REJECTION", "REPORT_CLIENT_INVEST_LIST",
    "REPORT_CLIENT_LIST", "REPORT_CLIENT_TITLE", "REPORT_CRITERIONGROUP_TITLE",
    "REPORT_CRITERION_INVEST_LIST", "REPORT_CRITERION_LIST", "REPORT_CRITERION_TITLE",
    "REPORT_Ei_INDEX", "REPORT_GROUP_INDEXES_NEG", "REPORT_GROUP_INDEXES_POS", "REPORT_INDEXES",
    "REPORT_INVEST_CLIENTSWHOCHOOSE", "REPORT_INVEST_INITIAL", "REPORT_INVEST_TITLE",
    "REPORT_J_INDEX", "REPORT_MAX_NUMBER", "REPORT_NUMOF_CHOICES", "REPORT_N_INDEX",
    "REPORT_PAIRS_WITH_NEGATIVE_MUTUAL", "REPORT_PAIRS_WITH_POSITIVE_MUTUAL",
    "REPORT_PRIVATE_INDEXES_NEG", "REPORT_PRIVATE_INDEXES_POS", "REPORT_P_INDEX",
    "REPORT_Pi_INDEX", "REPORT_SOCIOCARD_DATE", "REPORT_SOCIOCARD_INSTRUCTION",
    "REPORT_SOCIOCARD_NAME", "REPORT_SOCIOCARD_TITLE", "REPORT_SOCIOMATRIX_DATE",
    "REPORT_SOCIOMATRIX_INSTRUCTION", "REPORT_SOCIOMATRIX_TITLE", "REPORT_Sa_INDEX",
    "REPORT_Sti_INDEX", "REPORT_TITLE_HTML", "SAVE_IMAGE_IN_FILE_DLG", "SELECTFORM_SAVE_CHANGES",
    "SELECTS_MENU_ADD", "SOCIUM_MAIN_NODE_TITLE", "SUPPORT_URL", "Sa_INDEX", "Sti_INDEX",
    "TARGET_FORM_CAPTION", "TARGET_MENU_ADD", "TREE_POPUP_MENU_CHOICES", "TREE_POPUP_MENU_GRAPH",
    "TREE_POPUP_MENU_INDEXES", "TREE_POPUP_MENU_TARGET", "UNEXPECTED_PASSWORD", "YES_BUTTON",
};

const std::string kLanguageFile = std::string(TREMLOW_SOURCE_DATA_DIR) + "/languages/en/language.dat";

TEST(SettingsLanguageFile, LoadsAndHoldsEveryMessageKeyWithText)
{
    const TDlgLangConverter catalogue(kLanguageFile);
    for (const char* key : kMessageKeys) {
        ASSERT_TRUE(catalogue.HasText(key)) << "missing key " << key;
        EXPECT_FALSE(Trim(catalogue.GetText(key)).empty()) << "empty text for " << key;
    }
    EXPECT_EQ(catalogue.GetText("APPLICATION_NAME"), "Tremlow");
}

TEST(SettingsLanguageFile, IsUtf8WithCrLfAndMessagesWithinTheLineLimit)
{
    const std::string bytes = ReadFileBytes(kLanguageFile);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(IsValidUtf8(bytes));
    std::size_t start = 0;
    int lineNo = 1;
    bool inCatalogue = false;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        ASSERT_NE(end, std::string::npos) << "last line lacks its line end";
        ASSERT_GT(end, start) << "bare LF at line " << lineNo;
        EXPECT_EQ(bytes[end - 1], '\r') << "line " << lineNo << " does not end with CR LF";
        const std::string line = bytes.substr(start, end - 1 - start);
        if (!line.empty() && line.front() == '[')
            inCatalogue = line == "[Dialogues]";
        // Only catalogue entries are cut at 255 characters; window captions may be longer.
        if (inCatalogue) {
            EXPECT_LE(CharCount(line), kShortTextMax) << "line " << lineNo << " is cut: " << line;
        }
        start = end + 1;
        ++lineNo;
    }
}

TEST(SettingsLanguageFile, QuestionsEndWithAQuestionMark)
{
    const TDlgLangConverter catalogue(kLanguageFile);
    for (const char* key : {"APPLICATION_EXIT_MSG", "PROJECT_CONFIRMSAVEDIALOG_CAPTION", "MUST_NEW_FILE",
                            "CAN_REMOVE_CLIENTS_GROUP_MSG", "CAN_REMOVE_CLIENT_MSG",
                            "CAN_REMOVE_CRITERIES_GROUP_MSG", "CAN_REMOVE_CRITERY_MSG",
                            "CAN_REMOVE_INVEST_MSG", "SELECTFORM_SAVE_CHANGES"})
        EXPECT_EQ(catalogue.GetText(key).back(), '?') << key;
}

// Keys written as literals in the program's sources: GetText("KEY"), ShowByKey("KEY") and
// CatalogueText("KEY") everywhere, and in the windows' sources every literal shaped like a message
// key, so that keys kept in tables or handed on through a helper are seen as well.
std::set<std::string> KeysUsedInSources()
{
    namespace fs = std::filesystem;
    const std::regex call(R"re((?:GetText|ShowByKey|CatalogueText)\(\s*"([A-Za-z0-9_]+)"\s*[,)])re");
    // Upper-case words joined by "_" (the index keys start with a mixed-case name: "Ai_INDEX"),
    // not read from the environment.
    const std::regex keyShaped(R"re((getenv\(\s*)?"([A-Z][a-z]?[A-Z0-9]*(?:_[A-Z0-9]+)+)")re");
    std::set<std::string> used;
    const fs::path root = fs::path(TREMLOW_SOURCE_DATA_DIR) / "..";
    const auto scan = [&](const fs::path& folder, bool windows) {
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            const std::string ext = entry.path().extension().string();
            if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
                continue;
            const std::string text = ReadFileBytes(entry.path().string());
            for (auto it = std::sregex_iterator(text.begin(), text.end(), call); it != std::sregex_iterator(); ++it)
                used.insert((*it)[1]);
            if (!windows)
                continue;
            for (auto it = std::sregex_iterator(text.begin(), text.end(), keyShaped); it != std::sregex_iterator();
                 ++it) {
                if (!(*it)[1].matched)
                    used.insert((*it)[2]);
            }
        }
    };
    scan(root / "src", false);
    scan(root / "app", false);
    for (const char* folder : {"src/shell", "src/views", "src/platform"})
        scan(root / folder, true);
    return used;
}

TEST(SettingsLanguageFile, EveryKeyTheSourcesAskForIsInTheCatalogue)
{
    const TDlgLangConverter catalogue(kLanguageFile);
    const std::set<std::string> used = KeysUsedInSources();
    EXPECT_FALSE(used.empty());
    // Keys that reach the catalogue only through a helper or a table are seen too.
    for (const char* key : {"HOME_PAGE_URL", "NUM_CLIENTS_IN_GROUP", "POS_CONFIRM"})
        EXPECT_TRUE(used.contains(key)) << key;
    EXPECT_FALSE(used.contains("TREMLOW_NONINTERACTIVE")) << "an environment variable";
    for (const std::string& key : used)
        EXPECT_TRUE(catalogue.HasText(key)) << "the sources ask for " << key << ", which the catalogue lacks";
}

TEST(SettingsLanguageFile, AssembledFileBesideTheExecutablesLoads)
{
    const std::string built = std::string(TREMLOW_RUNTIME_DIR) + "/language.dat";
    const TDlgLangConverter catalogue(built);
    EXPECT_EQ(catalogue.Keys().size(), TDlgLangConverter(kLanguageFile).Keys().size());
    EXPECT_TRUE(TIniFile(built).SectionExists("SplashForm"));
}

TEST(SettingsLanguageFile, EverySectionAppearsOnce)
{
    // A repeated section would silently continue the first one and hide the window's own texts.
    std::istringstream lines(ReadFileBytes(kLanguageFile));
    std::set<std::string> seen;
    for (std::string line; std::getline(lines, line);) {
        line = Trim(line);
        if (line.size() < 2 || line.front() != '[' || line.back() != ']')
            continue;
        const std::string name = line.substr(1, line.size() - 2);
        EXPECT_TRUE(seen.insert(ToLowerText(name)).second) << "section repeated: " << name;
    }
    for (const char* window : {"SocMainForm", "SplashForm", "SelectionForm", "AddClientForm",
                               "AddClientsGroupForm", "AddCriteriesGroupForm", "AddCriteryForm",
                               "AddInvestForm", "FindForm", "FormStarting", "ToolbarForm",
                               "SelObjectForm", "FormAbout", "FormAcknowledgments"})
        EXPECT_TRUE(seen.count(ToLowerText(window))) << "no section for " << window;
}

} // namespace
