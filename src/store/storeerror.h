#pragma once

#include <cstdint>
#include <string>

// What went wrong when the project store read or wrote a project file. The store only names the
// failure; the program words it for the user from the message catalogue.
enum class TStoreErrorCode : uint8_t {
    None = 0,
    CannotRead,        // the file cannot be opened or read (Reason)
    TooLarge,          // the file is too large to be a project
    MissingSection,    // a table section is missing or does not start with FIELD_NUMS (Section)
    BadColumnCount,    // FIELD_NUMS is not a positive number (Section, Line, Value)
    IncompleteSection, // the section has fewer value lines than its records need (Section)
    BadValue,          // a value does not fit its column (Section, Line, Key, Value)
    BadRecord,         // a record cannot be written, its date is out of range (Section, Value: row)
    CannotWrite,       // the file cannot be written (Reason)
    Unexpected,        // anything else that broke off reading or writing (Reason)
};

// One failure with what is known of where it happened; empty fields are not known.
struct TStoreError {
    TStoreErrorCode Code = TStoreErrorCode::None;
    std::string File;
    std::string Section;
    int32_t Line = 0; // line in the file, from 1
    std::string Key;
    std::string Value;
    std::string Reason;

    explicit operator bool() const { return Code != TStoreErrorCode::None; }
};
