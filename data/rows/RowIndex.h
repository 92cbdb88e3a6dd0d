#pragma once
// An index of held rows by the values of some columns, so that a detail
// follows its master at a cost in proportion to the rows that match.
#include "data/rows/RowStore.h"

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace zemt::data {

class RowIndex {
public:
    /// Indexes the rows in the given order by the given columns.
    RowIndex(const RowStore& rows, const std::vector<std::uint32_t>& order,
             std::vector<int> columns);
    const std::vector<int>& columns() const { return columns_; }
    /// Rows whose columns equal the values (already converted to the
    /// columns' kinds; null matches null), in the indexed order.
    std::vector<std::uint32_t> lookup(const std::vector<Variant>& values) const;
    /// Adds a row held since the index was built; before is the order the
    /// index keeps its rows in.
    void insert(std::uint32_t row, const std::function<bool(std::uint32_t, std::uint32_t)>& before);

private:
    std::uint64_t rowHash(std::uint32_t row) const;

    const RowStore& rows_;
    std::vector<int> columns_;
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> buckets_;
};

} // namespace zemt::data
