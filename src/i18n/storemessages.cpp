#include "i18n/storemessages.h"

#include "i18n/langconv.h"
#include "util/error.h"
#include "util/messagesink.h"
#include "util/text.h"

std::string FileViolatedText()
{
    if (HasLangConv()) {
        try {
            return LangConv().GetText("FILE_VIOLATED_MSG");
        } catch (const TAppError&) {
        }
    }
    return "The project file is damaged or cannot be read or written.";
}

std::string SavedAsUtf8Text()
{
    if (HasLangConv()) {
        try {
            return LangConv().GetText("SAVED_AS_UTF8_MSG");
        } catch (const TAppError&) {
        }
    }
    return "The project holds text that its 8-bit code page cannot hold, so it was saved as UTF-8.";
}

std::string NotChangedText()
{
    if (HasLangConv()) {
        try {
            return LangConv().GetText("NOT_CHANGED_FILE");
        } catch (const TAppError&) {
        }
    }
    return "The project was not converted and has been left as it was.";
}

namespace {

// " at line N" when the line is known.
std::string AtLine(const TStoreError& error)
{
    return error.Line > 0 ? ", line " + std::to_string(error.Line) : std::string();
}

std::string WithReason(std::string text, const TStoreError& error)
{
    return error.Reason.empty() ? text : text + ": " + error.Reason;
}

} // namespace

std::string StoreErrorDetails(const TStoreError& error)
{
    const std::string file = "'" + error.File + "'";
    const std::string section = "[" + error.Section + "]";
    switch (error.Code) {
    case TStoreErrorCode::None:
        return {};
    case TStoreErrorCode::CannotRead:
        return WithReason("cannot read the project file " + file, error);
    case TStoreErrorCode::TooLarge:
        return "the project file " + file + " is too large to be a project";
    case TStoreErrorCode::MissingSection:
        return "the project file " + file + " has no section " + section + " starting with FIELD_NUMS";
    case TStoreErrorCode::BadColumnCount:
        return file + ", section " + section + AtLine(error) + ": FIELD_NUMS=" + error.Value +
               " is not a column count";
    case TStoreErrorCode::IncompleteSection:
        return file + ", section " + section + ": the section ends inside a record";
    case TStoreErrorCode::BadValue:
        return file + ", section " + section + AtLine(error) + ": " + error.Key + "=" + error.Value +
               " is not a valid value";
    case TStoreErrorCode::BadRecord:
        return "saving " + file + " failed: record " + error.Value + " of section " + section +
               " has a date that cannot be written (" + error.Key + ")";
    case TStoreErrorCode::CannotWrite:
        return WithReason("saving " + file + " failed", error);
    case TStoreErrorCode::Unexpected:
        return WithReason("reading or writing " + file + " failed", error);
    }
    return {};
}

namespace {

// A catalogue text, or the fallback when there is no catalogue or it lacks the key.
std::string TextOr(const char* key, const char* fallback)
{
    if (HasLangConv() && LangConv().HasText(key))
        return LangConv().GetText(key);
    return fallback;
}

} // namespace

std::string StoreErrorText(const TStoreError& error)
{
    if (!error)
        return {};
    const bool saving = error.Code == TStoreErrorCode::CannotWrite || error.Code == TStoreErrorCode::BadRecord;
    std::string text = saving ? TextOr("PROJECT_NOT_SAVED_MSG", "The project could not be saved.") : FileViolatedText();
    const auto line = [&text](const char* key, const char* fallback, const std::string& value) {
        if (!value.empty())
            text.append("\n").append(TextOr(key, fallback)).append(": ").append(value);
    };
    line("ERROR_PLACE_FILE", "File", error.File);
    line("ERROR_PLACE_SECTION", "Section", error.Section.empty() ? std::string() : "[" + error.Section + "]");
    line("ERROR_PLACE_LINE", "Line", error.Line > 0 ? std::to_string(error.Line) : std::string());
    if (error.Code == TStoreErrorCode::BadRecord)
        line("ERROR_PLACE_RECORD", "Record", error.Value);
    else if (!error.Key.empty())
        line("ERROR_PLACE_VALUE", "Value", error.Key + "=" + error.Value);
    else
        line("ERROR_PLACE_VALUE", "Value", error.Value);
    line("ERROR_PLACE_REASON", "Reason", error.Reason);
    return text;
}

bool ReportStoreError(const TStoreError& error)
{
    MessageSink().ShowText(StoreErrorText(error));
    return false;
}

namespace {

// "program (user on host, process pid)" as far as the lock file tells.
std::string HolderText(const TLockHolder& holder)
{
    if (holder.Program.empty() && holder.Pid == 0)
        return TextOr("LOCK_HOLDER_UNKNOWN", "another program");
    std::string text = holder.Program.empty() ? std::string("?") : holder.Program;
    text += " (" + holder.User;
    if (!holder.Host.empty())
        text += "@" + holder.Host;
    return text + ", " + TextOr("LOCK_HOLDER_PROCESS", "process") + " " + std::to_string(holder.Pid) + ")";
}

std::string Filled(const std::string& text, const std::string& first, const std::string& second = {})
{
    return FillPlaceholders(text, {first, second});
}

} // namespace

std::string ProjectLockedText(const std::string& file, const TLockHolder& holder)
{
    return Filled(TextOr("PROJECT_LOCKED_MSG", "The project %1 is being changed by %2, so it cannot be changed now."),
                  file, HolderText(holder));
}

std::string LockRefusedText(const std::string& file, const TProjectLock& lock)
{
    return lock.HeldByOther() ? ProjectLockedText(file, lock.Holder())
                              : file + ": " + TProjectLock::LockFilePath(file) + ": " + lock.Reason();
}

std::string StaleLockText(const TLockHolder& holder)
{
    return Filled(TextOr("PROJECT_STALE_LOCK_MSG",
                         "The project was locked by %1, which is no longer running; the lock was taken over."),
                  HolderText(holder));
}

std::string RecoveryCopyText(const std::string& file, const std::string& copy)
{
    return Filled(TextOr("PROJECT_RECOVERY_COPY_MSG",
                         "A save of %1 was interrupted; the project as it was before that save is kept in %2."),
                  file, copy);
}

std::string GroupFileNoteText(const TGroupFileNote& note)
{
    const std::string what =
        note.Kind == TGroupFileNote::TKind::Cut
            ? TextOr("GROUP_FILE_NAME_CUT", "the name is longer than 255 characters and was cut")
            : TextOr("GROUP_FILE_TEXT_CLEANED", "characters that cannot be kept (NUL and other control characters, "
                                                "non-characters) were replaced by the replacement character (U+FFFD)");
    return TextOr("ERROR_PLACE_LINE", "Line") + " " + std::to_string(note.Line) + ": " + what;
}

std::string ProjectNotFoundText(const std::string& file)
{
    return TextOr("PROJECT_FILE_NOT_FOUND", "This project file does not exist:") + "\n" + file;
}
