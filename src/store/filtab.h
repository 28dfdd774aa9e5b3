#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// An owning list of equally shaped items, used either as a one-dimensional list or as a
// grid of cells stored row by row (cell (c, r) is item c + r * Columns()).
template <typename T> class TTypeList {
public:
    TTypeList() = default;
    virtual ~TTypeList() = default;
    TTypeList(const TTypeList&) = default;
    TTypeList& operator=(const TTypeList&) = default;
    TTypeList(TTypeList&&) noexcept = default;
    TTypeList& operator=(TTypeList&&) noexcept = default;

    // Resizes to n items (new ones default-constructed); afterwards Columns() = n and Rows() = 0.
    // The same count changes nothing. A negative n or running out of memory empties the list and returns
    // false.
    bool SetCount(int32_t n)
    {
        if (n < 0) {
            Clear();
            return false;
        }
        if (n == ItemCount())
            return true;
        try {
            m_items.resize(static_cast<std::size_t>(n));
        } catch (const std::bad_alloc&) {
            Clear();
            return false;
        } catch (const std::length_error&) {
            Clear();
            return false;
        }
        m_columns = n;
        m_rows = 0;
        return true;
    }

    // Resizes to columns x rows cells; cell contents afterwards are unspecified (callers fill them).
    bool SetSize(int32_t columns, int32_t rows)
    {
        if (columns < 0 || rows < 0) {
            Clear();
            return false;
        }
        try {
            m_items.resize(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
        } catch (const std::bad_alloc&) {
            Clear();
            return false;
        } catch (const std::length_error&) {
            Clear();
            return false;
        }
        m_columns = columns;
        m_rows = rows;
        return true;
    }

    // The item at index i, or nullptr when i is outside the list.
    T* Item(int32_t i) { return i >= 0 && i < ItemCount() ? &m_items[static_cast<std::size_t>(i)] : nullptr; }
    const T* Item(int32_t i) const
    {
        return i >= 0 && i < ItemCount() ? &m_items[static_cast<std::size_t>(i)] : nullptr;
    }

    // The cell (c, r), or nullptr outside the grid.
    T* Cell(int32_t c, int32_t r)
    {
        if (c < 0 || r < 0 || c >= m_columns || r >= m_rows)
            return nullptr;
        return Item(c + r * m_columns);
    }
    const T* Cell(int32_t c, int32_t r) const
    {
        if (c < 0 || r < 0 || c >= m_columns || r >= m_rows)
            return nullptr;
        return Item(c + r * m_columns);
    }

    // Replaces the content of cell (c, r); false outside the grid.
    bool SetCell(int32_t c, int32_t r, T value)
    {
        T* cell = Cell(c, r);
        if (!cell)
            return false;
        *cell = std::move(value);
        return true;
    }

    // Removes item i; later items move down by one. Columns() and Rows() are not changed.
    void Delete(int32_t i)
    {
        if (i >= 0 && i < ItemCount())
            m_items.erase(m_items.begin() + i);
    }

    // Appends one item (list use); Columns() follows the item count.
    void Append(T value)
    {
        m_items.push_back(std::move(value));
        m_columns = ItemCount();
        m_rows = 0;
    }

    void Clear()
    {
        m_items.clear();
        m_items.shrink_to_fit();
        m_columns = 0;
        m_rows = 0;
    }

    int32_t Columns() const { return m_columns; }
    int32_t Rows() const { return m_rows; }
    int32_t ItemCount() const { return static_cast<int32_t>(m_items.size()); }

protected:
    std::vector<T> m_items;
    int32_t m_columns = 0;
    int32_t m_rows = 0;
};

// The base of every object record: the free description typed by the user (line breaks as CR LF).
class TARecord {
public:
    std::string Description;

    bool operator==(const TARecord&) const = default;
};

// A client group (section CLIENT_GROUPS).
class TAClientGroup : public TARecord {
public:
    int32_t Id = -1;
    std::string Name;

    bool operator==(const TAClientGroup&) const = default;
};

// A criteria group (section CRITERY_GROUPS).
class TACriteryGroup : public TARecord {
public:
    int32_t Id = -1;
    std::string Name;

    bool operator==(const TACriteryGroup&) const = default;
};

// A criterion, the sociometric question (section CRITERIES); unique by (Id, GroupId).
class TACritery : public TARecord {
public:
    int32_t Id = -1;
    int32_t GroupId = -1;
    std::string Name;

    bool operator==(const TACritery&) const = default;
};

// A client, a member of a client group (section CLIENTS); unique by (Id, GroupId).
class TAClient : public TARecord {
public:
    int32_t Id = -1;
    int32_t GroupId = -1;
    std::string FullName;
    bool IsMale = true;
    double BirthDate = 0; // day count from 30 Dec 1899

    bool operator==(const TAClient&) const = default;
};

// An investigation: one criterion asked of one client group (section INVESTS).
class TAnInvest : public TARecord {
public:
    int32_t Id = -1;
    int32_t ClientGroupId = -1;
    int32_t CriterionId = -1;
    int32_t CriteriaGroupId = -1;
    std::string Name;
    double Date = 0;
    bool AllowAgainst = true;
    int32_t MaxChoices = -1;

    bool operator==(const TAnInvest&) const = default;
};

// A user of the project (section USERS); the password is kept as typed.
class TAUser : public TARecord {
public:
    int32_t Id = -1;
    std::string Name;
    std::string Password;

    bool operator==(const TAUser&) const = default;
};

// One choice: FromId chose ToId in investigation InvestId (sections FOR and AGAINST).
struct TChoiceRow {
    int32_t InvestId = -1;
    int32_t FromId = -1;
    int32_t ToId = -1;

    bool operator==(const TChoiceRow&) const = default;
};

// The saved rectangle and figure of one sociogram node for one choice kind (section GRAPH).
struct TGraphPlace {
    int32_t InvestId = -1;
    int32_t ClientId = -1;
    int32_t ClientGroupId = -1;
    int16_t SelType = -1; // 1 positive, 2 negative, 0 both kinds
    int32_t Left = -1;
    int32_t Top = -1;
    int32_t Width = -1;
    int32_t Height = -1;
    int16_t FigType = -1;

    bool operator==(const TGraphPlace&) const = default;
};

// The fields of an investigation record by name, for TInvestTable::Add and Change:
// Add({.Id = 3, .ClientGroupId = 7, .CriterionId = 5, .CriteriaGroupId = 2, .Name = "Hiking", ...}).
struct TInvestFields {
    int32_t Id = -1;
    int32_t ClientGroupId = -1;
    int32_t CriterionId = -1;
    int32_t CriteriaGroupId = -1;
    std::string_view Name;
    double Date = 0;
    bool AllowAgainst = true;
    int32_t MaxChoices = -1;
};

// What identifies a placement (the fields in the order of TGraphPlace):
// Find({.InvestId = i, .ClientId = c, .ClientGroupId = g, .SelType = 0}).
struct TGraphPlaceKey {
    int32_t InvestId = -1;
    int32_t ClientId = -1;
    int32_t ClientGroupId = -1;
    int16_t SelType = -1;
};

// Cut the short texts of a record to 255 characters (the limit of every name and password).
void CutShortTexts(TAClientGroup& record);
void CutShortTexts(TACriteryGroup& record);
void CutShortTexts(TACritery& record);
void CutShortTexts(TAClient& record);
void CutShortTexts(TAnInvest& record);
void CutShortTexts(TAUser& record);
inline void CutShortTexts(TChoiceRow&) {}
inline void CutShortTexts(TGraphPlace&) {}

// A table of records in file order with one cursor and a modified flag. Getters and setters of
// the typed tables work on the record at the cursor; with the cursor off the table, getters
// give a default record and setters do nothing.
template <typename TRecord> class TRecordTable : protected TTypeList<TRecord> {
public:
    using RecordType = TRecord;

    int32_t Count() const { return this->ItemCount(); }

    bool First()
    {
        if (Count() == 0)
            return false;
        m_cursor = 0;
        return true;
    }
    bool Next()
    {
        if (m_cursor + 1 >= Count())
            return false;
        ++m_cursor;
        return true;
    }
    bool Last()
    {
        if (Count() == 0)
            return false;
        m_cursor = Count() - 1;
        return true;
    }
    bool Prior()
    {
        if (m_cursor < 1)
            return false;
        --m_cursor;
        return true;
    }

    // Removes the current record; the cursor keeps its index and so designates the next record.
    bool Delete()
    {
        if (m_cursor >= 0 && m_cursor < Count()) {
            TTypeList<TRecord>::Delete(m_cursor);
            m_modified = true;
        }
        return true;
    }

    bool Modified() const { return m_modified; }
    void SetModified(bool value) { m_modified = value; }
    int32_t Cursor() const { return m_cursor; }
    // Puts the cursor on record i; false, and the cursor unchanged, outside the table.
    bool MoveTo(int32_t i)
    {
        if (i < 0 || i >= Count())
            return false;
        m_cursor = i;
        return true;
    }
    bool CursorValid() const { return m_cursor >= 0 && m_cursor < Count(); }

    // The record at the cursor (a default record when the cursor is off the table).
    const TRecord& Current() const
    {
        return CursorValid() ? this->m_items[static_cast<std::size_t>(m_cursor)] : s_none;
    }
    // The record at index i, for walking without moving the cursor (a default record outside).
    const TRecord& At(int32_t i) const
    {
        return i >= 0 && i < Count() ? this->m_items[static_cast<std::size_t>(i)] : s_none;
    }

    // Appends a whole record (short texts cut to 255 characters); the cursor does not move.
    void AddRecord(TRecord record)
    {
        CutShortTexts(record);
        this->m_items.push_back(std::move(record));
        m_modified = true;
    }

    // Removes, in one pass, every record for which pred holds; keeps the order of the others.
    // Leaves the cursor where a backward walk deleting the same records would (0 on a table
    // that was not empty). Returns the number removed; sets Modified when any was removed.
    template <typename Pred> int32_t DeleteWhere(Pred pred)
    {
        const int32_t before = Count();
        if (before == 0)
            return 0;
        std::erase_if(this->m_items, pred);
        const int32_t removed = before - Count();
        m_cursor = 0;
        if (removed > 0)
            m_modified = true;
        return removed;
    }

    // Replaces the count records from index first by the given ones, so an edit taken back puts
    // its rows where they were; marks the table modified.
    void ReplaceRange(int32_t first, int32_t count, const std::vector<TRecord>& records)
    {
        const auto begin = this->m_items.begin() + first;
        this->m_items.erase(begin, begin + count);
        this->m_items.insert(this->m_items.begin() + first, records.begin(), records.end());
        m_cursor = 0;
        m_modified = true;
    }

    // Reserves room for n records (used while loading).
    void Reserve(int32_t n)
    {
        if (n > 0)
            this->m_items.reserve(static_cast<std::size_t>(n));
    }

protected:
    TRecord* CurrentPtr()
    {
        return CursorValid() ? &this->m_items[static_cast<std::size_t>(m_cursor)] : nullptr;
    }
    void Touch() { m_modified = true; }

    // Applies change to the record at the cursor and marks the table modified; false, and no
    // change, with the cursor off the table.
    template <typename Edit> bool ChangeCurrent(Edit change)
    {
        TRecord* record = CurrentPtr();
        if (!record)
            return false;
        change(*record);
        Touch();
        return true;
    }

    int32_t m_cursor = 0;
    bool m_modified = false;
    static inline const TRecord s_none{};
};

// A table of object records, which all carry a description.
template <typename TRecord> class TDescribedTable : public TRecordTable<TRecord> {
public:
    bool SetDescription(std::string_view text);

    const std::string& GetDescription() const { return this->Current().Description; }
};

// A table of groups, each known by its id and named.
template <typename TRecord> class TGroupTable : public TDescribedTable<TRecord> {
public:
    void Add(int32_t id, std::string_view name);
    bool Change(int32_t id, std::string_view name);
    bool FindById(int32_t id);

    int32_t GetId() const { return this->Current().Id; }
    const std::string& GetName() const { return this->Current().Name; }
};

// The member functions are compiled once, in filtab.cpp, for these records.
extern template class TDescribedTable<TAClientGroup>;
extern template class TDescribedTable<TACriteryGroup>;
extern template class TDescribedTable<TACritery>;
extern template class TDescribedTable<TAClient>;
extern template class TDescribedTable<TAnInvest>;
extern template class TDescribedTable<TAUser>;
extern template class TGroupTable<TAClientGroup>;
extern template class TGroupTable<TACriteryGroup>;

// Client groups (section CLIENT_GROUPS).
class TClientGroupTable final : public TGroupTable<TAClientGroup> {};

// Criteria groups (section CRITERY_GROUPS).
class TCriteryGroupTable final : public TGroupTable<TACriteryGroup> {};

// Criteria (section CRITERIES).
class TCriteryTable final : public TDescribedTable<TACritery> {
public:
    void Add(int32_t id, int32_t groupId, std::string_view name);
    bool Change(int32_t id, int32_t groupId, std::string_view name);
    bool Find(int32_t id, int32_t groupId);

    int32_t GetId() const { return Current().Id; }
    int32_t GetGroupId() const { return Current().GroupId; }
    const std::string& GetName() const { return Current().Name; }
};

// Clients (section CLIENTS).
class TClientTable final : public TDescribedTable<TAClient> {
public:
    void Add(int32_t id, int32_t groupId, std::string_view fullName, bool isMale, double birthDate);
    bool Change(int32_t id, int32_t groupId, std::string_view fullName, bool isMale, double birthDate);
    bool Find(int32_t id, int32_t groupId);

    int32_t GetId() const { return Current().Id; }
    int32_t GetGroupId() const { return Current().GroupId; }
    const std::string& GetFullName() const { return Current().FullName; }
    bool GetIsMale() const { return Current().IsMale; }
    double GetBirthDate() const { return Current().BirthDate; }
};

// Investigations (section INVESTS).
class TInvestTable final : public TDescribedTable<TAnInvest> {
public:
    void Add(const TInvestFields& fields);
    // Sets every field but the description of the record at the cursor.
    bool Change(const TInvestFields& fields);
    bool FindById(int32_t id);

    int32_t GetId() const { return Current().Id; }
    int32_t GetClientGroupId() const { return Current().ClientGroupId; }
    int32_t GetCriterionId() const { return Current().CriterionId; }
    int32_t GetCriteriaGroupId() const { return Current().CriteriaGroupId; }
    const std::string& GetName() const { return Current().Name; }
    double GetDate() const { return Current().Date; }
    bool GetAllowAgainst() const { return Current().AllowAgainst; }
    int32_t GetMaxChoices() const { return Current().MaxChoices; }
};

// Users of the project (section USERS).
class TUserTable final : public TDescribedTable<TAUser> {
public:
    void Add(int32_t id, std::string_view name, std::string_view password);
    bool FindById(int32_t id);
    // Deletes every user, from the last to the first.
    bool DeleteAll();

    int32_t GetId() const { return Current().Id; }
    const std::string& GetName() const { return Current().Name; }
    const std::string& GetPassword() const { return Current().Password; }
};

// Choices of one kind: TForTable holds the positive ones (FOR), TAgainstTable the negative (AGAINST).
class TChoiceTable : public TRecordTable<TChoiceRow> {
public:
    void Add(int32_t investId, int32_t fromId, int32_t toId);

    int32_t GetInvestId() const { return Current().InvestId; }
    int32_t GetFromId() const { return Current().FromId; }
    int32_t GetToId() const { return Current().ToId; }
};

// Positive choices (section FOR).
class TForTable final : public TChoiceTable {};

// Negative choices (section AGAINST).
class TAgainstTable final : public TChoiceTable {};

// Sociogram node placements (section GRAPH).
class TGraphPlaceTable final : public TRecordTable<TGraphPlace> {
public:
    void Add(const TGraphPlace& place) { AddRecord(place); }
    bool Change(const TGraphPlace& place);
    bool Find(const TGraphPlaceKey& key);

    int32_t GetInvestId() const { return Current().InvestId; }
    int32_t GetClientId() const { return Current().ClientId; }
    int32_t GetClientGroupId() const { return Current().ClientGroupId; }
    int16_t GetSelType() const { return Current().SelType; }
    int32_t GetLeft() const { return Current().Left; }
    int32_t GetTop() const { return Current().Top; }
    int32_t GetWidth() const { return Current().Width; }
    int32_t GetHeight() const { return Current().Height; }
    int16_t GetFigType() const { return Current().FigType; }
};
