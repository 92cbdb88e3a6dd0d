#pragma once
// A data set: the rows a query or table read at open, held as a client-side
// snapshot, a current row, and a pending row while editing or inserting.
#include "data/dataset/TDataSetState.h"
#include "data/dataset/TField.h"
#include "data/values/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TADOConnection;
class TDataSource;
namespace zemt::data {
class Provider;
class RowStore;
class RowIndex;
struct ColumnInfo;
struct PendingRow;
struct QueryResult;
struct ReadOrigin;
struct RetainedRows;
struct UpdateTarget;
} // namespace zemt::data

/// Cursor type as declared on a data set. All cursors here are client-side
/// static snapshots; the value is kept because the module declares it.
enum class TCursorType : std::uint8_t {
    ctUnspecified,
    ctOpenForwardOnly,
    ctKeyset,
    ctDynamic,
    ctStatic
};

/// A handle on a held row, taken with GetBookmark. Empty when no row was current.
class TBookmark {
public:
    TBookmark() = default;
    bool empty() const { return row_ == kNone; }

private:
    friend class TDataSet;
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    explicit TBookmark(std::uint32_t row) : row_(row) {}
    std::uint32_t row_ = kNone;
};

/// Common behaviour of queries and tables.
///
/// Rows are read in full at Open and never re-queried to move, restrict or
/// sort. Errors are exceptions: EADOError for what the database refuses,
/// EDatabaseError ("<Name>: <message>") for the layer's own rules.
class TDataSet {
public:
    explicit TDataSet(std::string name = {});
    TDataSet(const TDataSet&) = delete;
    TDataSet& operator=(const TDataSet&) = delete;
    /// Closes (dropping a pending row) and detaches every data source.
    virtual ~TDataSet();

    const std::string& Name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }

    TADOConnection* Connection() const { return connection_; }
    void setConnection(TADOConnection* connection);

    TCursorType CursorType() const { return cursorType_; }
    void setCursorType(TCursorType type) { cursorType_ = type; }

    // ---- lifecycle -------------------------------------------------------

    /// Connects if needed, reads every row, builds the fields and goes to the
    /// first row (state dsBrowse). Does nothing when already open. On failure
    /// the data set stays closed and the provider's error propagates.
    void Open();
    /// Drops a pending row unsaved, the fields and the held rows. Does nothing when closed.
    void Close();
    bool Active() const { return state_ != TDataSetState::dsInactive; }
    void setActive(bool active) { active ? Open() : Close(); }
    /// Settles a pending row, then re-reads the values of the held rows and
    /// keeps the current row. Adds no rows. Rows without a primary key cannot
    /// be found again: refused with "Cannot refresh rows that have no primary
    /// key", before anything is settled.
    void Refresh();
    TDataSetState State() const { return state_; }
    /// A table keeps its held rows after Close when the catalog logs its
    /// changes, so that the next Open reads only the rows added meanwhile
    /// (and everything when anything else changed). This gives that memory
    /// back now; the next Open reads every row.
    void dropRetainedRows();
    /// The last Open kept the rows held before and read only added ones.
    bool openedWithAddedRowsOnly() const { return addedRowsOnly_; }

    // ---- navigation ------------------------------------------------------

    void First();
    void Last();
    void Next();
    void Prior();
    /// Settles a pending row, then moves by distance rows (negative: back),
    /// stopping at the first or last row. Returns the distance moved.
    int MoveBy(int distance);
    /// True after opening, after First, after a move that tried to go before
    /// the first row, and while empty.
    bool Bof() const { return bof_; }
    /// True after Last, after a move that tried to go past the last row, and while empty.
    bool Eof() const { return eof_; }
    /// No row visible (closed data sets count as empty).
    bool IsEmpty() const;
    /// Number of held rows visible through the restriction and filter (the
    /// pending inserted row not counted). 0 when closed.
    int RecordCount() const;
    /// Number of the current row, from 1; 0 when there is none.
    int RecNo() const;
    /// Goes to the row of that number (clamped), settling a pending row first.
    void setRecNo(int recNo);

    // ---- rows as a grid paints them --------------------------------------

    /// Rows a control shows: the visible held rows, plus the pending
    /// inserted row at its place. 0 when closed.
    int rowCount() const;
    /// Index (from 0) of the current row among rowCount() rows; -1 when none.
    int currentRow() const { return currentRow_; }
    /// Display text of a field in any shown row, without moving.
    /// fieldIndex counts in the field order (Fields(i)).
    std::string rowDisplayText(int row, int fieldIndex) const;
    /// Value of a field in any shown row, without moving.
    Variant rowValue(int row, int fieldIndex) const;

    // ---- editing ---------------------------------------------------------

    /// The rows can be updated: the columns come from one base table whose
    /// rows can be identified. False while closed.
    bool CanModify() const;
    /// Settles a pending row, then starts a new empty row before the current one.
    void Insert();
    /// Like Insert, but the new row goes after the last row.
    void Append();
    /// Starts editing the current row (an insert on an empty data set).
    /// Does nothing while a row is pending.
    void Edit();
    /// Saves the pending row. On failure the row stays pending with its values.
    void Post();
    /// Drops the pending row.
    void Cancel();
    /// Cancels a pending insert (deleting nothing), else deletes the current row at once.
    void Delete();
    /// Some value of the pending row was set.
    bool Modified() const { return modified_; }
    /// Asks the controls to write typed values into the pending row.
    void UpdateRecord();
    /// Settles a pending row: saved when modified, dropped otherwise.
    void CheckBrowseMode();

    // ---- fields ----------------------------------------------------------

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    /// Field at a position of the field order.
    TField* Fields(int index) const { return fields_.at(static_cast<size_t>(index)).get(); }
    /// First field whose name matches without regard to case, or nullptr.
    TField* FindField(const std::string& name) const;
    /// As FindField, but fails with "Field '%s' not found".
    TField* FieldByName(const std::string& name) const;
    /// Moves a field in the field order (a layout change for bound controls).
    void moveField(TField* field, int newIndex);

    // ---- controls --------------------------------------------------------

    /// Nesting count: while above zero, data sources keep their state and hear nothing.
    void DisableControls();
    /// Counts down; at zero the data sources catch up (state, then a
    /// data-changed or layout-changed notice).
    void EnableControls();
    bool ControlsDisabled() const { return disableCount_ > 0; }

    // ---- bookmarks -------------------------------------------------------

    /// A handle on the current row; empty when no row is available.
    TBookmark GetBookmark() const;
    /// Settles a pending row and returns to the bookmarked row. An empty
    /// handle does nothing.
    void GotoBookmark(const TBookmark& bookmark);
    /// Releases a handle.
    void FreeBookmark(TBookmark& bookmark) { bookmark = TBookmark(); }
    /// The bookmarked row is still held and visible.
    bool BookmarkValid(const TBookmark& bookmark) const;

    // ---- filter ----------------------------------------------------------

    /// The data set's own filter text, in the restriction grammar: terms
    /// "(column=value)" joined by " AND ", values quoted with ' or #, or Null.
    const std::string& Filter() const { return filter_; }
    void setFilter(const std::string& text);
    bool Filtered() const { return filtered_; }
    void setFiltered(bool filtered);

    // ---- notices ---------------------------------------------------------

    /// Sends a notice to every data source of this data set (unless disabled).
    void DataEvent(TDataEvent event, const TDataEventInfo& info = {});
    /// Data sources whose DataSet is this one.
    const std::vector<TDataSource*>& dataSources() const { return dataSources_; }

    /// Message with the data set's name: "<Name>: <message>".
    std::string prefixed(const std::string& message) const;

protected:
    /// Statement that reads the rows, with ':name' markers still in it.
    virtual std::string selectText() const = 0;
    /// Values for the statement's placeholders, in list order.
    virtual std::vector<Variant> selectParameters() const { return {}; }
    /// Checks before reading, such as a missing statement.
    virtual void checkCanOpen() const {}
    /// After the rows are read and the fields made: sort, restrict.
    virtual void afterRowsRead() {}
    /// Before the held rows and fields are dropped.
    virtual void beforeClose() {}
    /// Drops a pending row, the fields and the held rows, telling nobody and
    /// asking the database nothing: the first step of every destructor.
    void closeForDestruction();
    /// Base table whose change log lets a reopen read only the added rows;
    /// empty when the data set reads something else.
    virtual std::string loggedTable() const { return {}; }
    /// A new pending row was started (its Modified flag is reset afterwards).
    virtual void newRecordStarted() {}
    /// A detail table refuses a filter text.
    virtual bool refusesFilter() const { return false; }

    /// Fails with "<Name>: Cannot perform this operation on a closed dataset" when closed.
    void checkActive() const;
    /// Fails with "<Name>: Cannot perform this operation on an open dataset" when open.
    void checkInactive() const;
    /// Connection or EDatabaseError("Missing Connection or ConnectionString").
    TADOConnection& requireConnection() const;

    /// Sorts the held rows ascending by these columns (names separated by ';').
    void sortHeldRows(const std::string& columnNames);
    /// Restricts the visible rows to those whose columns equal the values
    /// (a null value matches null), through an index built on those columns.
    void restrictRows(const std::vector<int>& columns, const std::vector<Variant>& values);
    /// Shows every held row again.
    void clearRestriction();
    /// Rebuilds the visible rows from the restriction and filter, then goes
    /// to the first row and tells the controls.
    void reapplyVisibleRows();
    /// Column number in the held rows of a field name, or -1.
    int columnOf(const std::string& name) const;

private:
    friend class TField;
    friend class TDataSource;

    void readRows();
    void adoptColumns(zemt::data::Provider& provider,
                      const std::vector<zemt::data::ColumnInfo>& columns);
    bool reopenWithAddedRows();
    static bool mergeAddedRows(zemt::data::RetainedRows& kept,
                               const zemt::data::QueryResult& added);
    void retainRows();
    void placeAddedRows();
    void heldRowsChanged();
    void dropRows();
    void fieldsReplaced();
    void setState(TDataSetState state);
    void startInsert(bool atEnd);
    void postInsert();
    void postEdit();
    std::string rowCondition(std::uint32_t row, std::vector<Variant>& params) const;
    void refreshHeldRows();
    void rebuildView();
    bool rowPassesFilter(std::uint32_t row) const;
    std::uint32_t physicalRow(int row) const;
    const std::vector<std::uint32_t>& visibleRows() const;
    zemt::data::UpdateTarget& updateTarget() const;
    Variant heldValue(std::uint32_t row, int column) const;
    Variant currentValue(const TField& field) const;
    void assignFieldValue(TField& field, const Variant& value);
    void addDataSource(TDataSource* source);
    void removeDataSource(TDataSource* source);

    std::string name_;
    TADOConnection* connection_ = nullptr;
    TCursorType cursorType_ = TCursorType::ctKeyset;
    TDataSetState state_ = TDataSetState::dsInactive;

    std::unique_ptr<zemt::data::RowStore> rows_;
    // Sizes of the last read: reopening reserves them at once instead of
    // growing and copying the held rows.
    std::uint32_t lastRowCount_ = 0;
    std::vector<std::size_t> lastTextBytes_;
    std::vector<std::unique_ptr<TField>> fields_;
    std::vector<std::uint32_t> order_;   // every held row, in data set order
    std::vector<std::uint32_t> visible_; // rows through restriction and filter
    bool restricted_ = false;            // visible_ is in use
    int currentRow_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    bool modified_ = false;
    std::unique_ptr<zemt::data::PendingRow> pending_;
    std::unique_ptr<zemt::data::UpdateTarget> target_;

    std::unique_ptr<zemt::data::RowIndex> index_;
    std::unique_ptr<zemt::data::ReadOrigin> origin_;     // while open, for a logged table
    std::unique_ptr<zemt::data::RetainedRows> retained_; // while closed
    bool addedRowsOnly_ = false;
    std::vector<int> restrictColumns_;
    std::vector<Variant> restrictValues_;
    bool restrictionOn_ = false;
    bool restrictNothing_ = false;

    std::string filter_;
    bool filtered_ = false;

    std::vector<TDataSource*> dataSources_;
    int disableCount_ = 0;
    TDataSetState disabledState_ = TDataSetState::dsInactive;
    bool layoutChangedWhileDisabled_ = false;
};
