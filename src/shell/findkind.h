#pragma once

// What a search of the objects tree looks for; the number is the entry's position in the find
// dialog's list of types.
enum class TFindType : int {
    AnyObject = 0,
    ClientGroups = 1,
    Clients = 2,
    CriteriaGroups = 3,
    Criteria = 4,
    Investigations = 5,
};

// Options of a search, bits that combine.
enum class TFindFlags : int {
    None = 0,
    CaseSensitive = 1,
    WholeString = 2,
};

constexpr TFindFlags operator|(TFindFlags a, TFindFlags b)
{
    return static_cast<TFindFlags>(static_cast<int>(a) | static_cast<int>(b));
}

// Whether flags hold the option flag.
constexpr bool HasFindFlag(TFindFlags flags, TFindFlags flag)
{
    return (static_cast<int>(flags) & static_cast<int>(flag)) != 0;
}
