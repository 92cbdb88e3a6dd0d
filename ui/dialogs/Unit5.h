#pragma once
// The remove-student dialog.
#include "shell/TForm.h"

#include "ui_Unit5.h"

class TForm5 : public TForm, public Ui::TForm5 {
    Q_OBJECT
public:
    TForm5();
    void BitBtn1Click();
};

extern TForm5* Form5;
