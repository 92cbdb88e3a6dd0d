#include "report/DataSetAccess.h"
#include "report/ReportErrors.h"

#include "data/dataset/TADOTable.h"
#include "data/dataset/TDataSet.h"
#include "data/dataset/TField.h"

#include <QDateTime>

namespace {

TReportFieldType reportFieldType(TFieldType type) {
    switch (type) {
    case TFieldType::ftString:
        return TReportFieldType::ftString;
    case TFieldType::ftInteger:
        return TReportFieldType::ftInteger;
    case TFieldType::ftBoolean:
        return TReportFieldType::ftBoolean;
    case TFieldType::ftFloat:
        return TReportFieldType::ftFloat;
    case TFieldType::ftBCD:
        return TReportFieldType::ftBCD;
    case TFieldType::ftDate:
        return TReportFieldType::ftDate;
    case TFieldType::ftTime:
        return TReportFieldType::ftTime;
    case TFieldType::ftDateTime:
        return TReportFieldType::ftDateTime;
    case TFieldType::ftBlob:
        return TReportFieldType::ftBlob;
    case TFieldType::ftUnknown:
        break;
    }
    return TReportFieldType::ftUnknown;
}

QString qstr(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

TDataSet& TDataSetAccess::ds() const {
    if (!m_dataSet)
        throw EReportError("The report data connection has no data set");
    return *m_dataSet;
}

QString TDataSetAccess::name() const {
    return qstr(ds().Name());
}
bool TDataSetAccess::active() const {
    return ds().Active();
}
void TDataSetAccess::open() {
    ds().Open();
}
void TDataSetAccess::close() {
    ds().Close();
    // The run opened it for its own duration: nothing of it stays in memory.
    ds().dropRetainedRows();
}
void TDataSetAccess::first() {
    ds().First();
}
void TDataSetAccess::next() {
    ds().Next();
}
bool TDataSetAccess::eof() const {
    return ds().Eof();
}
bool TDataSetAccess::isEmpty() const {
    return ds().IsEmpty();
}
void TDataSetAccess::disableControls() {
    ds().DisableControls();
}
void TDataSetAccess::enableControls() {
    ds().EnableControls();
}

std::any TDataSetAccess::takeBookmark() {
    return ds().GetBookmark();
}

void TDataSetAccess::gotoBookmark(const std::any& bookmark) {
    if (const auto* b = std::any_cast<TBookmark>(&bookmark); b && ds().BookmarkValid(*b))
        ds().GotoBookmark(*b);
}

void TDataSetAccess::freeBookmark(std::any& bookmark) {
    if (auto* b = std::any_cast<TBookmark>(&bookmark))
        ds().FreeBookmark(*b);
    bookmark.reset();
}

void TDataSetAccess::beginReportRead() {
    auto* table = dynamic_cast<TADOTable*>(&ds());
    if (!table || !table->isDetail() || m_detached)
        return;
    m_detachedMaster = table->MasterSource();
    m_detached = true;
    table->setMasterSource(nullptr);
}

void TDataSetAccess::endReportRead() {
    if (!m_detached)
        return;
    m_detached = false;
    static_cast<TADOTable&>(ds()).setMasterSource(m_detachedMaster);
    m_detachedMaster = nullptr;
}

QString TDataSetAccess::filter() const {
    return qstr(ds().Filter());
}
void TDataSetAccess::setFilter(const QString& filter) {
    ds().setFilter(filter.toStdString());
}
bool TDataSetAccess::filtered() const {
    return ds().Filtered();
}
void TDataSetAccess::setFiltered(bool filtered) {
    ds().setFiltered(filtered);
}

int TDataSetAccess::fieldCount() const {
    return ds().FieldCount();
}

std::vector<TReportFieldInfo> TDataSetAccess::fields() const {
    std::vector<TReportFieldInfo> out;
    for (int i = 0; i < ds().FieldCount(); ++i) {
        const TField* f = ds().Fields(i);
        out.push_back({qstr(f->FieldName()), qstr(f->DisplayName()), reportFieldType(f->DataType()),
                       f->Size()});
    }
    return out;
}

bool TDataSetAccess::isNull(int field) const {
    return ds().Fields(field)->IsNull();
}

QVariant TDataSetAccess::value(int field) const {
    const TField* f = ds().Fields(field);
    const Variant v = f->Value();
    if (f->DataType() == TFieldType::ftBlob)
        return QByteArray::fromStdString(v.textValue());
    switch (v.type()) {
    case VarType::Null:
        return {};
    case VarType::Integer:
        return qint64(v.intValue());
    case VarType::Float:
        return v.floatValue();
    case VarType::Text:
        return qstr(v.textValue());
    case VarType::Boolean:
        return v.intValue() != 0;
    case VarType::Date:
        return QDate(1970, 1, 1).addDays(v.intValue());
    case VarType::Time:
        return QTime(0, 0).addMSecs(int(v.intValue() / 1000));
    case VarType::DateTime:
        return QDateTime(QDate(1970, 1, 1), QTime(0, 0)).addMSecs(v.intValue() / 1000);
    }
    return {};
}

QString TDataSetAccess::displayText(int field) const {
    return qstr(ds().Fields(field)->DisplayText());
}
