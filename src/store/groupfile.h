#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TFileAccess;

// The client group file (".sgr"): one client group with its clients, moved between projects.
// Lines: "CLIENT_GROUP", the group's name, its description, the number of clients N, then four
// lines per client (full name, "man" or "woman", birthday, description): 4N + 4 lines in all.
// Descriptions take one line each, their line breaks written as "&&&&&" and an empty one as
// "NULL". No identifiers, criteria or choices travel with the group.

// One client as the file carries it.
struct TGroupFileClient {
    std::string FullName;
    bool IsMale = false;
    double BirthDate = 0; // day count from 30 Dec 1899
    std::string Description;
};

// What reading a file changed in its text so that the project can keep it.
struct TGroupFileNote {
    enum class TKind { Cut, Cleaned };
    int32_t Line = 0; // line of the file, from 1
    TKind Kind = TKind::Cut; // a name longer than 255 characters was cut; characters that no
                             // reader takes (NUL and other control characters, non-characters)
                             // were replaced by U+FFFD
};

// A client group as the file carries it.
struct TGroupFileData {
    std::string Name;
    std::string Description;
    std::vector<TGroupFileClient> Clients;
    std::vector<TGroupFileNote> Notes; // filled by reading
};

// Reads a date typed in some local way; false when the text is no date.
using TDateReader = std::function<bool(std::string_view text, double& date)>;

// Reads a date in the machine's short date format (the LC_TIME setting of the environment).
bool ReadLocalShortDate(std::string_view text, double& date);

// Why reading or writing a client group file failed.
enum class TGroupFileResult {
    Ok,
    FileExists,   // export: a file of that name exists already and is kept
    FileNotExist, // import: no file of that name
    FileBad,      // import: not a client group file, or a line that is not what it must be
    WriteFailed,  // export: the file could not be written
};

// Whether a path names a client group file rather than a project: its name ends in ".sgr" (any
// letter case) or its first line is "CLIENT_GROUP".
bool IsGroupFilePath(const std::string& path);

// The export file name: ".sgr" appended unless the name ends in it (lower case) already.
std::string GroupFileName(std::string_view chosen);

// The group and its clients in table order; false when the project has no such group.
bool GroupFromStore(TFileAccess& store, int32_t groupId, TGroupFileData& data);

// The whole file text, lines ended by CR LF, dates written as "YYYY-MM-DD"; false (and no
// text) when a birthday is no calendar date.
bool GroupFileText(const TGroupFileData& data, std::string& text);

// Reads and checks a whole file text: UTF-8, or 8-bit text in the code page of the settings as
// project files are read (files are written as UTF-8); CR, LF or CR LF line ends, a final line
// end being no extra line. Every line is checked before anything is returned: false,
// with data untouched, when the layout, a count, a number or a date is wrong. Dates are read as
// "YYYY-MM-DD" or else by readLocalDate.
bool ParseGroupFile(std::string_view bytes, TGroupFileData& data,
                    const TDateReader& readLocalDate = ReadLocalShortDate);

// Writes a new file (an existing one is never replaced); errorText says why it failed.
TGroupFileResult WriteGroupFile(const std::string& path, const TGroupFileData& data, std::string& errorText);
// Reads and checks a file; Ok only for a whole, valid client group file.
TGroupFileResult ReadGroupFile(const std::string& path, TGroupFileData& data,
                               const TDateReader& readLocalDate = ReadLocalShortDate);

// Adds the group and its clients to the project with new identifiers (the smallest positive
// ones not in use, as the objects tree gives them); returns the group's Id.
int32_t AddGroupToStore(TFileAccess& store, const TGroupFileData& data);

// Takes out the clients whose names the project file would read back empty ("NULL") and answers
// the file lines (from 1) of those names, so the import can name the rows it refused.
std::vector<int32_t> DropReservedNames(TGroupFileData& data);

// The smallest positive client group Id the project does not use.
int32_t NewClientGroupId(const TFileAccess& store);
// The smallest positive client Id not used in that group.
int32_t NewClientId(const TFileAccess& store, int32_t groupId);
