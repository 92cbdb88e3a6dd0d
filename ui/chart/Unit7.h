#pragma once
#include "app/TForm.h"

#include "ui_Unit7.h"

class TForm7 : public TForm, public Ui::TForm7 {
    Q_OBJECT
public:
    TForm7();
};

extern TForm7* Form7;
