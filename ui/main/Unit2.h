#pragma once
#include "app/TForm.h"

#include "ui_Unit2.h"

class TForm2 : public TForm, public Ui::TForm2 {
    Q_OBJECT
public:
    TForm2();
};

extern TForm2* Form2;
