#pragma once
// The add-student and check-in dialog.
#include "shell/TForm.h"

#include "ui_Unit6.h"

class TDBText;

class TForm6 : public TForm, public Ui::TForm6 {
    Q_OBJECT
public:
    TForm6();
    /// Check the current student into the current empty room.
    void BitBtn1Click();
    /// Check the current student into the current room with free places.
    void BitBtn2Click();

protected:
    void FormShow() override;

private:
    void checkIn(TDBText& roomLabel);
};

extern TForm6* Form6;
