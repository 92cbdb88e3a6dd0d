#pragma once
// The detail rows of a report run, grouped by their key, held compactly: a
// text that recurs (a month, a cashier, a date, a sum) is kept once, and a
// row is a list of text numbers. A million payments take a few bytes each
// rather than a string per cell.
#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

namespace report {

class DetailRows {
public:
    /// The rows of one key, in the order they were added.
    struct Group {
        std::uint32_t first = 0, last = 0, count = 0;
    };

    /// `columns`: the column indexes of a row that are kept; the others read
    /// back empty.
    explicit DetailRows(std::vector<int> columns = {});

    /// Adds a row (texts by column index) to the group of `key`.
    void add(const QString& key, const std::vector<QString>& texts);
    /// The group of `key`; null when no row has it.
    const Group* find(const QString& key) const;
    /// The texts of row `row` by column index, into `texts` (sized to
    /// `columnCount`).
    void read(std::uint32_t row, int columnCount, std::vector<QString>& texts) const;
    /// The row after `row` in its group.
    std::uint32_t next(std::uint32_t row) const { return m_next[row]; }

private:
    std::uint32_t intern(const QString& text);

    std::vector<int> m_columns;
    std::vector<QString> m_texts;
    QHash<QString, std::uint32_t> m_ids;
    std::vector<std::uint32_t> m_cells; ///< rows × kept columns
    std::vector<std::uint32_t> m_next;
    QHash<QString, Group> m_groups;
};

} // namespace report
