#include "report/DetailRows.h"

namespace report {

DetailRows::DetailRows(std::vector<int> columns) : m_columns(std::move(columns)) {
    m_texts.emplace_back();
    m_ids.insert(QString(), 0);
}

std::uint32_t DetailRows::intern(const QString& text) {
    if (text.isEmpty())
        return 0;
    const auto found = m_ids.constFind(text);
    if (found != m_ids.cend())
        return *found;
    const auto id = std::uint32_t(m_texts.size());
    m_texts.push_back(text);
    m_ids.insert(text, id);
    return id;
}

void DetailRows::add(const QString& key, const std::vector<QString>& texts) {
    const auto row = std::uint32_t(m_next.size());
    for (int column : m_columns)
        m_cells.push_back(intern(texts[size_t(column)]));
    m_next.push_back(0);
    // The key's text is the interned one, so the group table shares it.
    Group& group = m_groups[m_texts[intern(key)]];
    if (group.count == 0)
        group.first = row;
    else
        m_next[group.last] = row;
    group.last = row;
    ++group.count;
}

const DetailRows::Group* DetailRows::find(const QString& key) const {
    const auto found = m_groups.constFind(key);
    return found == m_groups.cend() ? nullptr : &*found;
}

void DetailRows::read(std::uint32_t row, int columnCount, std::vector<QString>& texts) const {
    texts.assign(size_t(columnCount), QString());
    const size_t base = size_t(row) * m_columns.size();
    for (size_t i = 0; i < m_columns.size(); ++i)
        texts[size_t(m_columns[i])] = m_texts[m_cells[base + i]];
}

} // namespace report
