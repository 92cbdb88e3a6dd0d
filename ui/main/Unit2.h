#pragma once
// The main window: student list with search, check-ins and payments on the
// first page; rooms with sorting and furniture on the second.
#include "report/Form2Reports.h"
#include "shell/TForm.h"

#include "ui_Unit2.h"

class QMenu;

class TForm2 : public TForm, public Ui::TForm2, public TForm2ReportComponents {
    Q_OBJECT
public:
    TForm2();

    QMenu* PopupMenu1 = nullptr;

    // Opening the other windows and ending the process.
    void BitBtn2Click();
    void N3Click();
    void BitBtn6Click();
    void BitBtn5Click();
    void BitBtn4Click();
    void N2Click();
    void N9Click();
    void N8Click();
    void BitBtn7Click();
    // Student search and the whole list.
    void BitBtn1Click();
    void BitBtn3Click();
    // Room list sorting.
    void RadioButton3Click();
    void RadioButton4Click();
    void RadioButton5Click();
    void CheckBox1Click();

protected:
    void FormClose(TCloseAction& action) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void connectHandlers();
    void sortRoomsBy(const char* column);
};

extern TForm2* Form2;
