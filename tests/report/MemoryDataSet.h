#pragma once
// A data set in memory behind the report data interface: rows of text, and
// counters that show what a connection did to it.
#include "report/ReportDataAccess.h"

#include <QStringList>
#include <optional>

class MemoryDataSet : public TReportDataAccess {
public:
    MemoryDataSet(QStringList columns, std::vector<std::vector<std::optional<QString>>> rows)
        : columns_(std::move(columns)), rows_(std::move(rows)) {}

    QString name() const override { return QStringLiteral("MemoryDataSet"); }
    bool active() const override { return active_; }
    void open() override {
        if (failOpen)
            throw std::runtime_error("open refused");
        if (!active_) {
            active_ = true;
            cur_ = 0;
            eof_ = rows_.empty();
            ++opens;
        }
    }
    void close() override { active_ = false; }
    void first() override {
        cur_ = 0;
        eof_ = rows_.empty();
    }
    void next() override {
        if (cur_ + 1 < int(rows_.size()))
            ++cur_;
        else
            eof_ = true;
    }
    void last() {
        cur_ = std::max(0, int(rows_.size()) - 1);
        eof_ = true;
    }
    bool eof() const override { return eof_; }
    bool isEmpty() const override { return !active_ || rows_.empty(); }
    void disableControls() override { ++disabled; }
    void enableControls() override { --disabled; }
    std::any takeBookmark() override { return cur_; }
    void gotoBookmark(const std::any& b) override {
        cur_ = std::any_cast<int>(b);
        eof_ = false;
    }
    void freeBookmark(std::any& b) override { b.reset(); }
    QString filter() const override { return filter_; }
    void setFilter(const QString& f) override { filter_ = f; }
    bool filtered() const override { return filtered_; }
    void setFiltered(bool f) override { filtered_ = f; }
    std::vector<TReportFieldInfo> fields() const override {
        std::vector<TReportFieldInfo> out;
        for (const QString& c : columns_)
            out.push_back({c, c, TReportFieldType::ftString, 20});
        return out;
    }
    int fieldCount() const override { return int(columns_.size()); }
    bool isNull(int f) const override { return !rows_[size_t(cur_)][size_t(f)].has_value(); }
    QVariant value(int f) const override { return displayText(f); }
    QString displayText(int f) const override {
        return rows_[size_t(cur_)][size_t(f)].value_or(QString());
    }

    int current() const { return cur_; }
    void setCurrent(int row) { cur_ = row; }
    int disabled = 0;
    int opens = 0;
    bool failOpen = false;

private:
    QStringList columns_;
    std::vector<std::vector<std::optional<QString>>> rows_;
    bool active_ = false;
    int cur_ = 0;
    bool eof_ = true;
    QString filter_;
    bool filtered_ = false;
};
