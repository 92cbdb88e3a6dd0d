#include "ui/dialogs/Unit5.h"

#include "shell/TApplication.h"

TForm5* Form5 = nullptr;

TForm5::TForm5() {
    setupUi(this);
    applyDesignedGeometry();
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
}

// The hidden bar carries out the deletion with its confirmation box.
void TForm5::BitBtn1Click() {
    DBNavigator1->BtnClick(nbDelete);
}
