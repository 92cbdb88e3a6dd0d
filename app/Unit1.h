#pragma once
#include "app/TForm.h"

#include "ui_Unit1.h"

class TForm1 : public TForm, public Ui::TForm1 {
    Q_OBJECT
public:
    TForm1();
};

extern TForm1* Form1;
