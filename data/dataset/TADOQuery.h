#pragma once
// A query data set: SQL text as a list of lines, a parameter list bound by
// position, and Execute for statements that return no rows.
#include "data/dataset/TDataSet.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

/// One parameter of a query's list.
class TParameter {
public:
    const std::string& Name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    /// ftUnknown until a value is given; a whole number makes it ftInteger (32 bits).
    TFieldType DataType() const { return dataType_; }
    void setDataType(TFieldType type) { dataType_ = type; }
    const Variant& Value() const { return value_; }
    /// Sets the value; while the type is not set the value fixes it.
    void setValue(const Variant& value);

private:
    std::string name_;
    TFieldType dataType_ = TFieldType::ftUnknown;
    Variant value_;
};

/// A query's ordered parameter list. Placeholders take the values in list
/// order, whatever the names; names only serve FindParam.
class TParameters {
public:
    explicit TParameters(const TDataSet& owner) : owner_(owner) {}
    int Count() const { return static_cast<int>(items_.size()); }
    TParameter* Items(int index) const { return items_.at(static_cast<size_t>(index)).get(); }
    /// Empties the list.
    void Clear() { items_.clear(); }
    /// Appends a parameter with no name and no type.
    TParameter* AddParameter();
    /// Appends a parameter with a name (no type yet).
    TParameter* CreateParameter(const std::string& name);
    /// First parameter whose name matches without regard to case; fails
    /// with "<query>: Parameter '<name>' not found".
    TParameter* FindParam(const std::string& name) const;
    /// Same as FindParam.
    TParameter* ParamByName(const std::string& name) const { return FindParam(name); }
    /// As FindParam, but nullptr when missing.
    TParameter* tryFind(const std::string& name) const;
    /// Values in list order.
    std::vector<Variant> values() const;

private:
    const TDataSet& owner_;
    std::vector<std::unique_ptr<TParameter>> items_;
};

/// SQL text as lines counted from 0. Every change goes through the query:
/// it closes the query and, when the text differs, re-parses the markers.
class TSQLStrings {
public:
    explicit TSQLStrings(std::function<void(bool loading)> changed)
        : changed_(std::move(changed)) {}
    int Count() const { return static_cast<int>(lines_.size()); }
    /// Line at an index (from 0).
    const std::string& Strings(int index) const { return lines_.at(static_cast<size_t>(index)); }
    const std::string& operator[](int index) const { return Strings(index); }
    /// Replaces one line. Even the same text closes the query.
    void setLine(int index, const std::string& text);
    /// Appends a line.
    void Add(const std::string& text);
    void Clear();
    /// The lines joined, each followed by CR LF.
    std::string Text() const;
    /// Replaces all lines at once (split at line breaks).
    void setText(const std::string& text);
    const std::vector<std::string>& lines() const { return lines_; }
    /// Sets the lines as declared data: no close, no parsing, no database.
    void assignDeclared(std::vector<std::string> lines);

private:
    std::vector<std::string> lines_;
    std::function<void(bool loading)> changed_;
};

/// A data set over a SQL statement.
class TADOQuery : public TDataSet {
public:
    explicit TADOQuery(std::string name = {});
    ~TADOQuery() override;

    /// The statement text; see TSQLStrings.
    TSQLStrings& SQL() { return sql_; }
    const TSQLStrings& SQL() const { return sql_; }
    /// The parameter list.
    TParameters& Parameters() { return parameters_; }
    const TParameters& Parameters() const { return parameters_; }

    /// `:name` markers are recognised in the text (on by default).
    bool ParamCheck() const { return paramCheck_; }
    void setParamCheck(bool on) { paramCheck_ = on; }

    /// Connects if needed and runs the statement once; the query does not
    /// open. Returns the number of rows changed. Fails with the provider's error.
    long long ExecSQL();

    /// The text sent to the database: markers replaced by placeholders.
    std::string preparedText() const;

protected:
    std::string selectText() const override;
    std::vector<Variant> selectParameters() const override;
    void checkCanOpen() const override;
    std::string loggedTable() const override;

private:
    void sqlChanged(bool loading);

    TSQLStrings sql_;
    TParameters parameters_;
    bool paramCheck_ = true;
    std::string lastText_;
};
