// Every report kind and both blanks, as text and HTML, compared with expected files in
// tests/data/reports/<case>/. Set TREMLOW_UPDATE_EXPECTED=1 to write the files afresh (then
// read every changed line before committing them).
#include <cstdlib>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "i18n/langconv.h"
#include "reports/htmlbuilder.h"
#include "reports/textbuilder.h"
#include "store/dbinfo.h"
#include "store/fileacc.h"
#include "support/core/tempdir.h"

namespace {

struct TOutputCase {
    const char* name;
    TReportTarget target;
    bool blank = false;
    bool sociomatrix = false;
};

const TOutputCase kSampleCases[] = {
    {"client", {TReportKind::Client, 1, 1}},
    {"client-group", {TReportKind::ClientGroup, 1}},
    {"criterion", {TReportKind::Criterion, 2, 1}},
    {"criteria-group", {TReportKind::CriteriaGroup, 2}},
    {"investigation", {TReportKind::Investigation, 1}},
    {"investigation-positive-only", {TReportKind::Investigation, 3}},
    {"sociocard", {TReportKind::Investigation, 1}, true, false},
    {"sociomatrix", {TReportKind::Investigation, 3}, true, true},
};

const TOutputCase kHostileCases[] = {
    {"client", {TReportKind::Client, 2, 1}},
    {"client-group", {TReportKind::ClientGroup, 1}},
    {"criterion", {TReportKind::Criterion, 1, 1}},
    {"criteria-group", {TReportKind::CriteriaGroup, 1}},
    {"investigation", {TReportKind::Investigation, 1}},
    {"sociocard", {TReportKind::Investigation, 1}, true, false},
    {"sociomatrix", {TReportKind::Investigation, 1}, true, true},
};

std::string CaseDir(const std::string& folder)
{
    return std::string(TREMLOW_TEST_DATA_DIR) + "/reports/" + folder;
}

bool Updating()
{
    const char* update = std::getenv("TREMLOW_UPDATE_EXPECTED");
    return update != nullptr && std::string(update) == "1";
}

// Runs one case through a builder and returns the written file.
template <typename Builder>
std::string Produce(TFileAccess& store, const TOutputCase& c, const std::string& path)
{
    Builder builder(c.target, false, path);
    builder.SetStore(store);
    builder.SetReportRegs(TReportRegs{});
    double today = 0;
    EncodeDate(2026, 6, 1, today);
    builder.SetToday(today);
    if (!c.blank)
        builder.Generate();
    else if (c.sociomatrix)
        builder.Sociomatrix();
    else
        builder.Sociocard();
    return ReadFileBytes(path);
}

template <std::size_t N>
void CheckFolder(const std::string& folder, const TOutputCase (&cases)[N])
{
    InstallBuiltCatalogue();
    TFileAccess store(CaseDir(folder) + "/project.soi");
    ASSERT_TRUE(store.Load());
    TTempDir temp;
    for (const TOutputCase& c : cases) {
        for (const std::string extension : {".txt", ".html"}) {
            const std::string out = temp.File(std::string(c.name) + extension);
            const std::string actual = extension == ".txt" ? Produce<TTextBuilder>(store, c, out)
                                                           : Produce<THTMLBuilder>(store, c, out);
            const std::string expectedPath = CaseDir(folder) + "/" + c.name + extension;
            if (Updating())
                WriteFileBytes(expectedPath, actual);
            EXPECT_EQ(actual, ReadFileBytes(expectedPath)) << expectedPath;
        }
    }
}

TEST(ReportOutput, SampleProjectMatchesExpectedFiles)
{
    CheckFolder("sample", kSampleCases);
}

TEST(ReportOutput, HostileNamesShowAsTypedInEveryOutput)
{
    CheckFolder("hostile", kHostileCases);
}

TEST(ReportOutput, RussianReportsMatchExpectedFiles)
{
    static const TOutputCase kRussianCases[] = {
        {"investigation", {TReportKind::Investigation, 1}},
        {"sociocard", {TReportKind::Investigation, 1}, true, false},
    };
    InstallBuiltCatalogue();
    SetLanguage("ru");
    SetLangConv(std::make_unique<TDlgLangConverter>(LanguageFilePath()));
    CheckFolder("sample-ru", kRussianCases);
    SetLanguage(kDefaultLanguage);
    SetLangConv(std::make_unique<TDlgLangConverter>(LanguageFilePath()));
}

} // namespace
