#pragma once

#include <string>

#include "store/groupfile.h"
#include "store/projectlock.h"
#include "store/storeerror.h"

// Words the failures the project store reports: one catalogue text for the user and a line of
// details for the error log.

// The text a failed load or save shows: "FILE_VIOLATED_MSG" from the catalogue when one is
// installed, else a fixed English text.
std::string FileViolatedText();

// The notice that an 8-bit project was saved as UTF-8 because its code page could not hold all
// of its text: "SAVED_AS_UTF8_MSG", else a fixed English text.
std::string SavedAsUtf8Text();

// The text shown when an older project file was left unconverted: "NOT_CHANGED_FILE", else a
// fixed English text.
std::string NotChangedText();

// What failed and where (file, section, line, value, system reason), in one plain line.
std::string StoreErrorDetails(const TStoreError& error);

// The text a failure shows the user: a failed save the text of "PROJECT_NOT_SAVED_MSG", any
// other failure FileViolatedText(); then, a line each, what is known of where it failed (file,
// section, line, value or record, and the system's reason), labelled from the catalogue.
std::string StoreErrorText(const TStoreError& error);

// Shows StoreErrorText() once through the message sink (the CLI's writes it to stderr).
// Returns false, so that a load or save can end with `return ReportStoreError(...)`.
bool ReportStoreError(const TStoreError& error);

// The refusal to change a project that another program holds the lock of, naming it when known
// ("PROJECT_LOCKED_MSG").
std::string ProjectLockedText(const std::string& file, const TLockHolder& holder);
// Why the lock of a project could not be taken: another program's hold (ProjectLockedText), else
// the lock file and the reason it could not be written.
std::string LockRefusedText(const std::string& file, const TProjectLock& lock);
// The note that a lock left by a program no longer running was taken over ("PROJECT_STALE_LOCK_MSG").
std::string StaleLockText(const TLockHolder& holder);
// The note that an interrupted save left a recovery copy of the project ("PROJECT_RECOVERY_COPY_MSG").
std::string RecoveryCopyText(const std::string& file, const std::string& copy);
// What reading a client group file changed, for the user: "Line N: ..." ("GROUP_FILE_NAME_CUT",
// "GROUP_FILE_TEXT_CLEANED").
std::string GroupFileNoteText(const TGroupFileNote& note);
// The load failure of a project file that does not exist ("PROJECT_FILE_NOT_FOUND" and the file).
std::string ProjectNotFoundText(const std::string& file);
