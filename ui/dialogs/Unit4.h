#pragma once
// The add-payment dialog.
#include "shell/TForm.h"

#include "ui_Unit4.h"

class TForm4 : public TForm, public Ui::TForm4 {
    Q_OBJECT
public:
    TForm4();
    void BitBtn1Click();
};

extern TForm4* Form4;
