#include "ui/dialogs/Unit4.h"

#include "data/module/Unit3.h"
#include "shell/TApplication.h"
#include "ui/sql/SqlText.h"

TForm4* Form4 = nullptr;

TForm4::TForm4() {
    setupUi(this);
    applyDesignedGeometry();
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
}

void TForm4::BitBtn1Click() {
    const std::string line =
        paymentValuesLine(DBText2->Caption().toStdString(), Edit2->text().toStdString(),
                          ComboBox1->currentText().toStdString(), Edit1->text().toStdString());
    TADOQuery& statement = *DataModule3->ADOQuery3;
    statement.SQL().setLine(1, line);
    statement.ExecSQL();
    DataModule3->ADOTable3->Close();
    DataModule3->ADOTable3->Open();
    Close();
}
