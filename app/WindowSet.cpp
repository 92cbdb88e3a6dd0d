#include "app/WindowSet.h"

#include "app/Unit1.h"
#include "data/module/Unit3.h"
#include "shell/TApplication.h"
#include "ui/chart/Unit7.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"
#include "ui/dialogs/Unit6.h"
#include "ui/main/Unit2.h"
#include "ui/main/Unit8.h"
#include "ui/main/Unit9.h"

void CreateWindowSet(TApplication& application) {
    application.CreateForm(Form1);
    application.CreateForm(Form2);
    application.CreateForm(DataModule3);
    application.CreateForm(Form4);
    application.CreateForm(Form5);
    application.CreateForm(Form6);
    application.CreateForm(Form7);
    application.CreateForm(Form8);
    application.CreateForm(Form9);
}
