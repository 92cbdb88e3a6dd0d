#include "controls/TDBText.h"

#include "controls/HeldField.h"
#include "data/dataset/TDataSet.h"
#include "data/dataset/TField.h"
#include "data/values/Exceptions.h"

TDBText::TDBText(QWidget* parent) : QLabel(parent) {
    // The value is shown as it is: no mnemonics, no rich text, no resizing.
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::NoTextInteraction);
}

TDBText::~TDBText() {
    link_.setDataSource(nullptr);
}

void TDBText::setDataSourceName(const QString& name) {
    binding_.setName(name);
}

void TDBText::setDataSource(TDataSource* source) {
    binding_.setDataSource(source);
}

void TDBText::setDataField(const QString& name) {
    dataField_ = name;
    findField();
    refreshText();
}

TField* TDBText::Field() const {
    return fieldStillHeld(link_.DataSet(), field_) ? field_ : nullptr;
}

void TDBText::findField() {
    field_ = nullptr;
    if (!link_.Active() || dataField_.isEmpty())
        return;
    const TDataSet* ds = link_.DataSet();
    field_ = ds->FindField(dataField_.toStdString());
    if (!field_) {
        setText(QString());
        const std::string name = objectName().toStdString();
        throw EDatabaseError(name + ": Field '" + dataField_.toStdString() + "' not found");
    }
}

void TDBText::refreshText() {
    // A closing data set reports the end of editing before it reports the
    // close, when its fields are already gone; a data set with disabled
    // controls may remake its fields unannounced.
    if (!fieldStillHeld(link_.DataSet(), field_))
        field_ = nullptr;
    setText(field_ ? QString::fromStdString(field_->DisplayText()) : QString());
}

void TDBText::linkActiveChanged() {
    findField();
    refreshText();
}

void TDBText::linkLayoutChanged() {
    findField();
    refreshText();
}

void TDBText::linkRecordChanged(TField* field) {
    if (!field || field == field_)
        refreshText();
}

void TDBText::linkDataSetChanged() {
    // A data set reopened while its controls were disabled reports only a
    // data change, yet its fields are new.
    if (!fieldStillHeld(link_.DataSet(), field_))
        findField();
    refreshText();
}

void TDBText::linkDataSetScrolled(int) {
    refreshText();
}
void TDBText::linkEditingChanged() {
    refreshText();
}
void TDBText::linkStateChanged() {
    refreshText();
}
