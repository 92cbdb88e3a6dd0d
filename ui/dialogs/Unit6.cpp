#include "ui/dialogs/Unit6.h"

#include "data/module/Unit3.h"
#include "shell/TApplication.h"
#include "ui/dialogs/StrToInt.h"

TForm6* Form6 = nullptr;

TForm6::TForm6() {
    setupUi(this);
    applyDesignedGeometry();
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
    connect(BitBtn2, &QPushButton::clicked, this, guarded([this] { BitBtn2Click(); }));
}

void TForm6::FormShow() {
    // The check-in reads the student and the room from the current rows of
    // these lists, and nothing else would ever open the two room lists.
    // Lists already open keep their current rows.
    for (TDataSet* list : {static_cast<TDataSet*>(DataModule3->ADOQuery1),
                           static_cast<TDataSet*>(DataModule3->ADOQuery2),
                           static_cast<TDataSet*>(DataModule3->ADOQuery5)}) {
        if (!list->Active())
            list->Open();
    }
}

void TForm6::BitBtn1Click() {
    checkIn(*DBText3);
}
void TForm6::BitBtn2Click() {
    checkIn(*DBText2);
}

void TForm6::checkIn(TDBText& roomLabel) {
    TDataModule3& dm = *DataModule3;
    // A new student typed into the grid is saved before being checked in;
    // an untouched new row is dropped. A refused student stops here.
    if (dm.ADOQuery1->Active())
        dm.ADOQuery1->CheckBrowseMode();

    TADOQuery& statement = *dm.ADOQuery4;
    statement.Parameters().Clear();
    const std::int32_t student = StrToInt(DBText1->Caption());
    const std::int32_t room = StrToInt(roomLabel.Caption());
    statement.Parameters().AddParameter()->setName("D1");
    statement.Parameters().AddParameter()->setName("D2");
    statement.Parameters().FindParam("D1")->setValue(Variant(student));
    statement.Parameters().FindParam("D2")->setValue(Variant(room));
    statement.ExecSQL();
    statement.Parameters().Clear();

    const std::vector<TDataSet*> reloaded = {dm.ADOTable1, dm.ADOTable2, dm.ADOTable3, dm.ADOQuery1,
                                             dm.ADOQuery2, dm.ADOQuery6, dm.ADOQuery5};
    for (TDataSet* dataSet : reloaded)
        dataSet->Close();
    for (TDataSet* dataSet : reloaded)
        dataSet->Open();
}
