#include "store/fileacc.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "store/filecodec.h"
#include "store/filecolumns.h"
#include "store/fileio.h"
#include "util/codepage.h"
#include "util/progress.h"
#include "util/service.h"

namespace {

constexpr std::string_view kAdditional = "ADDITIONAL";
constexpr std::string_view kIsAuthor = "IS_AUTHOR";
constexpr int kProgressStep = 10;

TServiceSlot<TFileAccess> g_currentProject;

// Counts the records of a table for which pred holds.
template <typename TTable, typename Pred> int32_t CountWhere(const TTable& table, Pred pred)
{
    int32_t n = 0;
    for (int32_t i = 0; i < table.Count(); ++i)
        n += pred(table.At(i)) ? 1 : 0;
    return n;
}

} // namespace

// ---- TFileAccess --------------------------------------------------------------------------

TFileAccess::TFileAccess(std::string fileName) : m_fileName(std::move(fileName)) {}

TFileAccess::~TFileAccess()
{
    if (g_currentProject.Get() == this)
        g_currentProject.Install(nullptr);
}

bool TFileAccess::Fail(TStoreErrorCode code, std::string reason)
{
    m_lastError.Code = code;
    m_lastError.File = m_fileName;
    if (!reason.empty())
        m_lastError.Reason = std::move(reason);
    return false;
}

bool TFileAccess::Load()
{
    m_lastError = {};
    TFileBytes bytes;
    if (!bytes.Read(m_fileName)) {
        const int reason = errno;
        return Fail(TStoreErrorCode::CannotRead, reason ? std::strerror(reason) : std::string());
    }
    return LoadFromBytes(bytes.View());
}

bool TFileAccess::LoadFromBytes(std::string_view bytes)
{
    m_lastError = {};
    TProgressScope progress;
    try {
        std::string storage;
        std::string_view text;
        m_codePage = DecodeFileBytes(bytes, FileCodePage(), storage, text);
        if (!LoadText(text))
            return Fail(m_lastError.Code);
    } catch (const std::exception& e) {
        return Fail(TStoreErrorCode::Unexpected, e.what());
    }
    return true;
}

bool TFileAccess::LoadText(std::string_view decoded)
{
    m_clientGroups = {};
    m_clients = {};
    m_criteriaGroups = {};
    m_criteria = {};
    m_invests = {};
    m_forChoices = {};
    m_againstChoices = {};
    m_placements = {};
    m_users = {};

    TProjectText text(decoded);
    if (text.TooLarge()) {
        m_lastError.Code = TStoreErrorCode::TooLarge;
        return false;
    }
    const bool read =
        VisitSections(*this, [this, &text](std::string_view name, const auto& columns, auto& table) {
            if (!ReadSection(text, name, columns, table, m_lastError))
                return false;
            ProgressSink().Advance(kProgressStep);
            return true;
        });
    if (!read)
        return false;
    m_lastError = {};

    // "0" is the only value that lets a project open without a login.
    std::optional<std::string_view> isAuthor;
    const TSectionPairs additional = text.Body(kAdditional);
    for (std::size_t i = 0; i < additional.size(); ++i) {
        if (additional[i].key == kIsAuthor) {
            isAuthor = additional[i].value;
            break;
        }
    }
    m_loginRequired = !(isAuthor && *isAuthor == "0");
    ProgressSink().Advance(kProgressStep);
    SetModified(false);
    return true;
}

bool TFileAccess::BuildFileText(std::string& text) const
{
    TStoreError error;
    return BuildFileText(text, error);
}

bool TFileAccess::BuildFileText(std::string& text, TStoreError& error) const
{
    TTextOut out(text);
    // Roughly 20 bytes per value line.
    const std::size_t estimate =
        64 * static_cast<std::size_t>(m_clients.Count() + m_clientGroups.Count() + m_criteria.Count() +
                                      m_criteriaGroups.Count() + m_invests.Count() + m_users.Count()) +
        70 * static_cast<std::size_t>(m_forChoices.Count() + m_againstChoices.Count()) +
        220 * static_cast<std::size_t>(m_placements.Count()) + 4096;
    out.Reserve(estimate);
    const bool written =
        VisitSections(*this, [&out, &error](std::string_view name, const auto& columns, const auto& table) {
            if (!WriteSection(out, name, columns, table, error))
                return false;
            ProgressSink().Advance(kProgressStep);
            return true;
        });
    if (!written) {
        text.clear();
        return false;
    }
    PutHeader(out, kAdditional);
    out.Put(kIsAuthor);
    out.Put(m_loginRequired ? "=1\r\n" : "=0\r\n");
    out.Finish();
    ProgressSink().Advance(kProgressStep);
    return true;
}

bool TFileAccess::Save()
{
    m_lastError = {};
    m_savedAsUtf8 = false;
    bool toUtf8 = false;
    {
        TProgressScope progress;
        try {
            std::string text;
            if (!BuildFileText(text, m_lastError))
                return Fail(m_lastError.Code);
            toUtf8 = !EncodeForCodePage(text, m_codePage);
            std::string reason;
            if (!ReplaceFile(m_fileName, text, reason))
                return Fail(TStoreErrorCode::CannotWrite, reason);
        } catch (const std::exception& e) {
            return Fail(TStoreErrorCode::Unexpected, e.what());
        }
    }
    SetModified(false);
    if (toUtf8) {
        m_codePage = kUtf8CodePage;
        m_savedAsUtf8 = true;
    }
    return true;
}

bool TFileAccess::IsModified() const
{
    return m_clientGroups.Modified() || m_clients.Modified() || m_criteriaGroups.Modified() ||
           m_criteria.Modified() || m_invests.Modified() || m_forChoices.Modified() ||
           m_againstChoices.Modified() || m_placements.Modified() || m_users.Modified();
}

void TFileAccess::SetModified(bool value)
{
    m_clientGroups.SetModified(value);
    m_clients.SetModified(value);
    m_criteriaGroups.SetModified(value);
    m_criteria.SetModified(value);
    m_invests.SetModified(value);
    m_forChoices.SetModified(value);
    m_againstChoices.SetModified(value);
    m_placements.SetModified(value);
    m_users.SetModified(value);
}

void TFileAccess::SetLoginRequired(bool value)
{
    if (value == m_loginRequired)
        return;
    m_loginRequired = value;
    SetModified(true);
}

// ---- counts and deletes ------------------------------------------------------------------

int32_t TFileAccess::CountClientsInGroup(int32_t groupId) const
{
    return CountWhere(m_clients, [groupId](const auto& r) { return r.GroupId == groupId; });
}

int32_t TFileAccess::CountCriteriaInGroup(int32_t groupId) const
{
    return CountWhere(m_criteria, [groupId](const auto& r) { return r.GroupId == groupId; });
}

int32_t TFileAccess::CountForChoices(int32_t investId) const
{
    return CountWhere(m_forChoices, [investId](const auto& r) { return r.InvestId == investId; });
}

int32_t TFileAccess::CountAgainstChoices(int32_t investId) const
{
    return CountWhere(m_againstChoices, [investId](const auto& r) { return r.InvestId == investId; });
}

bool TFileAccess::DeleteClientsOfGroup(int32_t groupId)
{
    m_clients.DeleteWhere([groupId](const TAClient& r) { return r.GroupId == groupId; });
    return true;
}

bool TFileAccess::DeleteCriteriaOfGroup(int32_t groupId)
{
    m_criteria.DeleteWhere([groupId](const TACritery& r) { return r.GroupId == groupId; });
    return true;
}

bool TFileAccess::DeleteClientGroup(int32_t id)
{
    return m_clientGroups.FindById(id) && m_clientGroups.Delete();
}

bool TFileAccess::DeleteCriteriaGroup(int32_t id)
{
    return m_criteriaGroups.FindById(id) && m_criteriaGroups.Delete();
}

bool TFileAccess::DeleteClient(int32_t id, int32_t groupId)
{
    return m_clients.Find(id, groupId) && m_clients.Delete();
}

bool TFileAccess::DeleteCriterion(int32_t id, int32_t groupId)
{
    return m_criteria.Find(id, groupId) && m_criteria.Delete();
}

bool TFileAccess::DeleteForChoices(int32_t investId)
{
    m_forChoices.DeleteWhere([investId](const TChoiceRow& r) { return r.InvestId == investId; });
    return true;
}

bool TFileAccess::DeleteAgainstChoices(int32_t investId)
{
    m_againstChoices.DeleteWhere([investId](const TChoiceRow& r) { return r.InvestId == investId; });
    return true;
}

bool TFileAccess::DeletePlacements(int32_t investId)
{
    m_placements.DeleteWhere([investId](const TGraphPlace& r) { return r.InvestId == investId; });
    return true;
}

bool TFileAccess::DeleteInvestigation(int32_t id)
{
    if (!m_invests.FindById(id))
        return true;
    const bool ok = DeleteForChoices(id) && DeleteAgainstChoices(id) && DeletePlacements(id);
    return m_invests.Delete() && ok;
}

TFileAccess* CurrentProject()
{
    return g_currentProject.Get();
}

TFileAccess* SetCurrentProject(TFileAccess* store)
{
    return g_currentProject.Install(store);
}
