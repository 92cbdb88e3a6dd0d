#pragma once
// The password window: the operator password reveals the editing commands.
#include "shell/TForm.h"

#include "ui_Unit8.h"

class TForm8 : public TForm, public Ui::TForm8 {
    Q_OBJECT
public:
    TForm8();
    void Button1Click();
};

extern TForm8* Form8;
