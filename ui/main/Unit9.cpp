#include "ui/main/Unit9.h"

#include "shell/TApplication.h"

TForm9* Form9 = nullptr;

TForm9::TForm9() {
    setupUi(this);
    QFont textFont = Label1->font();
    textFont.setPixelSize(13); // 10 points at 96 dpi
    Label1->setFont(textFont);
    applyDesignedGeometry();
    connect(BitBtn1, &QPushButton::clicked, this, guarded([this] { BitBtn1Click(); }));
}

void TForm9::BitBtn1Click() {
    Close();
}
