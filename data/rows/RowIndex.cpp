#include "data/rows/RowIndex.h"

#include <algorithm>

namespace zemt::data {

RowIndex::RowIndex(const RowStore& rows, const std::vector<std::uint32_t>& order,
                   std::vector<int> columns)
    : rows_(rows), columns_(std::move(columns)) {
    buckets_.reserve(order.size() / 4 + 16);
    for (const std::uint32_t row : order)
        buckets_[rowHash(row)].push_back(row);
}

void RowIndex::insert(std::uint32_t row,
                      const std::function<bool(std::uint32_t, std::uint32_t)>& before) {
    auto& bucket = buckets_[rowHash(row)];
    bucket.insert(std::upper_bound(bucket.begin(), bucket.end(), row, before), row);
}

std::uint64_t RowIndex::rowHash(std::uint32_t row) const {
    std::uint64_t h = 0;
    for (const int c : columns_)
        h = h * 0x100000001b3ULL ^ rows_.hash(row, c);
    return h;
}

std::vector<std::uint32_t> RowIndex::lookup(const std::vector<Variant>& values) const {
    std::uint64_t h = 0;
    for (size_t i = 0; i < columns_.size(); ++i)
        h = h * 0x100000001b3ULL ^ rows_.hashValue(columns_[i], values[i]);
    std::vector<std::uint32_t> out;
    const auto it = buckets_.find(h);
    if (it == buckets_.end())
        return out;
    out.reserve(it->second.size());
    for (const std::uint32_t row : it->second) {
        bool match = true;
        for (size_t i = 0; i < columns_.size() && match; ++i)
            match = rows_.equals(row, columns_[i], values[i]);
        if (match)
            out.push_back(row);
    }
    return out;
}

} // namespace zemt::data
