#include "data/dataset/TADOQuery.h"

#include "data/connection/Provider.h"
#include "data/connection/TADOConnection.h"
#include "data/dataset/MarkerParser.h"
#include "data/values/ErrorText.h"
#include "data/values/Exceptions.h"
#include "data/values/Names.h"

#include <cctype>

using namespace zemt::data;

// ---- parameters --------------------------------------------------------------

void TParameter::setValue(const Variant& value) {
    if (dataType_ == TFieldType::ftUnknown) {
        switch (value.type()) {
        case VarType::Integer:
            dataType_ = TFieldType::ftInteger;
            break;
        case VarType::Float:
            dataType_ = TFieldType::ftFloat;
            break;
        case VarType::Text:
            dataType_ = TFieldType::ftString;
            break;
        case VarType::Boolean:
            dataType_ = TFieldType::ftBoolean;
            break;
        case VarType::Date:
            dataType_ = TFieldType::ftDate;
            break;
        case VarType::Time:
            dataType_ = TFieldType::ftTime;
            break;
        case VarType::DateTime:
            dataType_ = TFieldType::ftDateTime;
            break;
        case VarType::Null:
            break;
        }
    }
    value_ = value;
}

TParameter* TParameters::AddParameter() {
    items_.push_back(std::make_unique<TParameter>());
    return items_.back().get();
}

TParameter* TParameters::CreateParameter(const std::string& name) {
    TParameter* p = AddParameter();
    p->setName(name);
    return p;
}

TParameter* TParameters::tryFind(const std::string& name) const {
    for (const auto& p : items_)
        if (sameName(p->Name(), name))
            return p.get();
    return nullptr;
}

TParameter* TParameters::FindParam(const std::string& name) const {
    TParameter* p = tryFind(name);
    if (!p)
        throwLayerError(owner_.Name(), fillIn("Parameter '%s' not found", name));
    return p;
}

std::vector<Variant> TParameters::values() const {
    std::vector<Variant> out;
    out.reserve(items_.size());
    for (const auto& p : items_)
        out.push_back(p->Value());
    return out;
}

// ---- SQL lines -----------------------------------------------------------------

void TSQLStrings::setLine(int index, const std::string& text) {
    if (index < 0 || index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    lines_[static_cast<size_t>(index)] = text;
    changed_(false);
}

void TSQLStrings::Add(const std::string& text) {
    lines_.push_back(text);
    changed_(false);
}

void TSQLStrings::Clear() {
    lines_.clear();
    changed_(false);
}

std::string TSQLStrings::Text() const {
    std::string text;
    for (const auto& line : lines_)
        text += line + "\r\n";
    return text;
}

void TSQLStrings::setText(const std::string& text) {
    lines_.clear();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = text.size();
        lines_.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() &&
            text[end + 1] == '\n')
            ++end;
        start = end + 1;
    }
    changed_(false);
}

void TSQLStrings::assignDeclared(std::vector<std::string> lines) {
    lines_ = std::move(lines);
    changed_(true);
}

// ---- the query -------------------------------------------------------------------

TADOQuery::TADOQuery(std::string name)
    : TDataSet(std::move(name)), sql_([this](bool loading) { sqlChanged(loading); }),
      parameters_(*this) {}

TADOQuery::~TADOQuery() = default;

void TADOQuery::sqlChanged(bool loading) {
    const std::string text = sql_.Text();
    if (loading) {
        // Declared text: the declared parameter list stays as it is.
        lastText_ = text;
        return;
    }
    Close();
    if (text == lastText_)
        return;
    lastText_ = text;
    if (paramCheck_) {
        // The list becomes the markers of the new text; values of
        // parameters with the same name carry over.
        std::vector<std::pair<std::string, Variant>> old;
        for (int i = 0; i < parameters_.Count(); ++i)
            old.emplace_back(parameters_.Items(i)->Name(), parameters_.Items(i)->Value());
        parameters_.Clear();
        for (const auto& name : parseMarkers(text).names) {
            TParameter* p = parameters_.CreateParameter(name);
            for (const auto& [oldName, value] : old)
                if (sameName(oldName, name)) {
                    p->setValue(value);
                    break;
                }
        }
    }
    // The database is asked to describe the statement; this connects if
    // needed, and any failure here is ignored.
    if (Connection()) {
        try {
            Connection()->provider().describe(preparedText());
        } catch (const std::exception&) {
        }
    }
}

std::string TADOQuery::preparedText() const {
    return paramCheck_ ? parseMarkers(sql_.Text()).text : sql_.Text();
}

std::string TADOQuery::selectText() const {
    return preparedText();
}

std::vector<Variant> TADOQuery::selectParameters() const {
    return parameters_.values();
}

std::string TADOQuery::loggedTable() const {
    // "select * from <table>" and nothing else reads a whole table, as a
    // table data set does (the student list after "Весь список").
    if (parameters_.Count() > 0)
        return {};
    std::vector<std::string> words;
    std::string word;
    for (const char c : sql_.Text() + " ") {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (words.size() != 4 || !sameName(words[0], "select") || words[1] != "*" ||
        !sameName(words[2], "from"))
        return {};
    for (const char c : words[3])
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return {};
    return words[3];
}

void TADOQuery::checkCanOpen() const {
    if (sql_.Text().find_first_not_of(" \t\r\n") == std::string::npos)
        throwLayerError(Name(), fillIn("Missing %s property", "SQL"));
}

long long TADOQuery::ExecSQL() {
    checkCanOpen();
    return requireConnection().provider().execute(preparedText(), parameters_.values());
}
