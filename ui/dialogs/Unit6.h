#pragma once
#include "app/TForm.h"

#include "ui_Unit6.h"

class TForm6 : public TForm, public Ui::TForm6 {
    Q_OBJECT
public:
    TForm6();
};

extern TForm6* Form6;
