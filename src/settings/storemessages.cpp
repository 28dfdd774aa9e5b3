#include "settings/storemessages.h"

#include <iostream>

#include "settings/langconv.h"
#include "util/error.h"
#include "util/messagesink.h"

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

bool ReportStoreError(const TStoreError& error)
{
    std::cerr << "tremlow: " << StoreErrorDetails(error) << '\n';
    MessageSink().ShowText(FileViolatedText());
    return false;
}
