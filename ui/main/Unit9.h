#pragma once
// The help window.
#include "shell/TForm.h"

#include "ui_Unit9.h"

class TForm9 : public TForm, public Ui::TForm9 {
    Q_OBJECT
public:
    TForm9();
    void BitBtn1Click();
};

extern TForm9* Form9;
