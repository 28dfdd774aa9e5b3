#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/filtab.h"
#include "store/storeerror.h"

// The project store: owns the nine record tables of one open project, knows its file name
// and login flag, loads the project file into the tables and saves them back. Also offers
// the operations that span tables (counts, cascading deletes).
class TFileAccess final {
public:
    explicit TFileAccess(std::string fileName = {});
    ~TFileAccess();
    TFileAccess(const TFileAccess&) = delete;
    TFileAccess& operator=(const TFileAccess&) = delete;

    // Reads FileName() into the tables. A failure is recorded in LastError() and returns false
    // (the tables may then be partly filled); nothing is shown, the caller words the failure.
    // Progress: +10 after each of the nine sections and after the login flag.
    bool Load();
    // Like Load, from file bytes already in memory: UTF-8, 8-bit text in the code page of
    // files (FileCodePage), or a file that mixes both line by line.
    bool LoadFromBytes(std::string_view bytes);
    // Writes every table to FileName() through a temporary file in the same folder that
    // replaces the project only once it is complete. A failure is recorded in LastError(),
    // returns false, leaves the old file as it was and the tables modified. A project read from
    // an 8-bit file is written in the same code page; when it holds text that code page cannot
    // hold it is written as UTF-8 instead, and SavedAsUtf8() says so until the next save.
    bool Save();
    // What the last Load, LoadFromBytes or Save found wrong; Code None after a success.
    const TStoreError& LastError() const { return m_lastError; }
    // The complete file text Save writes (UTF-8, CR LF); false when a record cannot be written
    // (an undecodable date), error then says which.
    bool BuildFileText(std::string& text) const;
    bool BuildFileText(std::string& text, TStoreError& error) const;

    bool IsModified() const;
    // Sets the modified flag of all nine tables.
    void SetModified(bool value);

    const std::string& FileName() const { return m_fileName; }
    void SetFileName(std::string fileName) { m_fileName = std::move(fileName); }

    // The 8-bit code page the project's file is written in; kUtf8CodePage (0) for UTF-8, which
    // new projects and files that mix both are written in.
    int CodePage() const { return m_codePage; }
    void SetCodePage(int codePage) { m_codePage = codePage; }
    // True when the last Save wrote an 8-bit project as UTF-8, because its code page could not
    // hold some of its text; the caller tells the user ("SAVED_AS_UTF8_MSG").
    bool SavedAsUtf8() const { return m_savedAsUtf8; }

    bool LoginRequired() const { return m_loginRequired; }
    // Stores a changed flag and marks all tables modified; an unchanged flag does nothing.
    void SetLoginRequired(bool value);

    // Counts over the tables.
    int32_t CountClientsInGroup(int32_t groupId) const;
    int32_t CountCriteriaInGroup(int32_t groupId) const;
    int32_t CountForChoices(int32_t investId) const;
    int32_t CountAgainstChoices(int32_t investId) const;

    // Deletes that span or empty tables; each marks the tables it changed modified.
    bool DeleteClientsOfGroup(int32_t groupId);
    bool DeleteCriteriaOfGroup(int32_t groupId);
    // The group only; its clients stay. False when there is no such group.
    bool DeleteClientGroup(int32_t id);
    bool DeleteCriteriaGroup(int32_t id);
    // That client only; choices naming it stay. False when there is no such client.
    bool DeleteClient(int32_t id, int32_t groupId);
    bool DeleteCriterion(int32_t id, int32_t groupId);
    bool DeleteForChoices(int32_t investId);
    bool DeleteAgainstChoices(int32_t investId);
    bool DeletePlacements(int32_t investId);
    // The investigation with its positive choices, negative choices and placements;
    // true as well when there is no such investigation.
    bool DeleteInvestigation(int32_t id);

    // The nine tables.
    TClientGroupTable& ClientGroups() { return m_clientGroups; }
    TClientTable& Clients() { return m_clients; }
    TCriteryGroupTable& CriteriaGroups() { return m_criteriaGroups; }
    TCriteryTable& Criteria() { return m_criteria; }
    TInvestTable& Investigations() { return m_invests; }
    TForTable& ForChoices() { return m_forChoices; }
    TAgainstTable& AgainstChoices() { return m_againstChoices; }
    TGraphPlaceTable& Placements() { return m_placements; }
    TUserTable& Users() { return m_users; }
    const TClientGroupTable& ClientGroups() const { return m_clientGroups; }
    const TClientTable& Clients() const { return m_clients; }
    const TCriteryGroupTable& CriteriaGroups() const { return m_criteriaGroups; }
    const TCriteryTable& Criteria() const { return m_criteria; }
    const TInvestTable& Investigations() const { return m_invests; }
    const TForTable& ForChoices() const { return m_forChoices; }
    const TAgainstTable& AgainstChoices() const { return m_againstChoices; }
    const TGraphPlaceTable& Placements() const { return m_placements; }
    const TUserTable& Users() const { return m_users; }

private:
    bool LoadText(std::string_view text);
    // Records the failure in m_lastError (with the file name) and returns false.
    bool Fail(TStoreErrorCode code, std::string reason = {});
    std::string m_fileName;
    TStoreError m_lastError;
    int m_codePage = 0;
    bool m_savedAsUtf8 = false;
    bool m_loginRequired = false;
    TInvestTable m_invests;
    TCriteryGroupTable m_criteriaGroups;
    TAgainstTable m_againstChoices;
    TClientGroupTable m_clientGroups;
    TGraphPlaceTable m_placements;
    TUserTable m_users;
    TForTable m_forChoices;
    TClientTable m_clients;
    TCriteryTable m_criteria;
};

// The project that is open in the application (nullptr while none is); the main window owns
// it and sets it here, the project queries and views read it.
TFileAccess* CurrentProject();
// Sets the open project (nullptr: none); returns the previous one.
TFileAccess* SetCurrentProject(TFileAccess* store);
