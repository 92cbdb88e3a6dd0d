#pragma once
#include "app/TForm.h"

#include "ui_Unit4.h"

class TForm4 : public TForm, public Ui::TForm4 {
    Q_OBJECT
public:
    TForm4();
};

extern TForm4* Form4;
