#include "ui/main/Unit2.h"

#include "data/dataset/TADOQuery.h"
#include "data/module/Unit3.h"
#include "shell/TApplication.h"
#include "ui/chart/Unit7.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"
#include "ui/dialogs/Unit6.h"
#include "ui/main/Unit8.h"
#include "ui/main/Unit9.h"
#include "ui/sql/SqlText.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QVBoxLayout>

TForm2* Form2 = nullptr;

namespace {

constexpr int kFilterLine = 2;
constexpr int kSortLine = 2;

void connectClick(QAbstractButton* button, std::function<void()> handler) {
    QObject::connect(button, &QAbstractButton::clicked, button, guarded(std::move(handler)));
}

void connectAction(QAction* action, std::function<void()> handler) {
    QObject::connect(action, &QAction::triggered, action, guarded(std::move(handler)));
}

// A radio button raises its click only when it becomes selected; clearing it
// raises nothing.
void connectSelected(QRadioButton* radio, std::function<void()> handler) {
    QObject::connect(radio, &QRadioButton::toggled, radio, guarded([handler](bool checked) {
                         if (checked)
                             handler();
                     }));
}

void clearRadio(QRadioButton* radio) {
    // An exclusive group refuses to clear its selected button by itself.
    const bool exclusive = radio->autoExclusive();
    radio->setAutoExclusive(false);
    radio->setChecked(false);
    radio->setAutoExclusive(exclusive);
}

} // namespace

TForm2::TForm2() {
    setupUi(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu1);
    layout->addWidget(PageControl1);
    QPalette cream = palette();
    cream.setColor(QPalette::Window, QColor(0xFF, 0xFB, 0xF0));
    setPalette(cream);
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    PopupMenu1->addActions({N10, N12, N11});
    applyDesignedGeometry();
    connectHandlers();
}

void TForm2::connectHandlers() {
    connectClick(BitBtn1, [this] { BitBtn1Click(); });
    connectClick(BitBtn2, [this] { BitBtn2Click(); });
    connectClick(BitBtn3, [this] { BitBtn3Click(); });
    connectClick(BitBtn4, [this] { BitBtn4Click(); });
    connectClick(BitBtn5, [this] { BitBtn5Click(); });
    connectClick(BitBtn6, [this] { BitBtn6Click(); });
    connectClick(BitBtn7, [this] { BitBtn7Click(); });
    connectClick(CheckBox1, [this] { CheckBox1Click(); });
    connectSelected(RadioButton3, [this] { RadioButton3Click(); });
    connectSelected(RadioButton4, [this] { RadioButton4Click(); });
    connectSelected(RadioButton5, [this] { RadioButton5Click(); });
    connectAction(N2, [this] { N2Click(); });
    connectAction(N10, [this] { N2Click(); });
    connectAction(N3, [this] { N3Click(); });
    connectAction(N4, [this] { BitBtn6Click(); });
    connectAction(N5, [this] { BitBtn5Click(); });
    connectAction(N6, [this] { BitBtn4Click(); });
    connectAction(N8, [this] { N8Click(); });
    connectAction(N11, [this] { N8Click(); });
    connectAction(N9, [this] { N9Click(); });
    connectAction(N12, [this] { N9Click(); });
}

void TForm2::contextMenuEvent(QContextMenuEvent* event) {
    // Controls without a menu of their own pass the right-click up to here;
    // edit boxes keep their standard edit menu.
    PopupMenu1->exec(event->globalPos());
}

void TForm2::BitBtn2Click() {
    Form7->ShowModal();
}
void TForm2::N3Click() {
    Form7->ShowModal();
}
void TForm2::BitBtn6Click() {
    Form6->ShowModal();
}
void TForm2::BitBtn5Click() {
    Form5->ShowModal();
}
void TForm2::BitBtn4Click() {
    Form4->ShowModal();
}
void TForm2::N2Click() {
    Form8->ShowModal();
}
void TForm2::N9Click() {
    Form9->ShowModal();
}

void TForm2::N8Click() {
    if (TForm* main = Application->MainForm())
        main->Close();
}

void TForm2::FormClose(TCloseAction& action) {
    (void)action; // stays caHide: this window is only hidden
    if (TForm* main = Application->MainForm())
        main->Close();
}

void TForm2::BitBtn7Click() {
    runReport(this);
}

void TForm2::BitBtn1Click() {
    TADOQuery& query = *DataModule3->ADOQuery1;
    query.Close();
    const SearchMode mode = RadioButton1->isChecked()   ? SearchMode::RecordBook
                            : RadioButton2->isChecked() ? SearchMode::Surname
                                                        : SearchMode::None;
    if (mode != SearchMode::None)
        query.SQL().setLine(kFilterLine, searchFilterLine(mode, Edit1->text().toStdString(),
                                                          query.SQL()[kFilterLine]));
    query.Open();
}

void TForm2::BitBtn3Click() {
    TADOQuery& query = *DataModule3->ADOQuery1;
    query.Close();
    query.SQL().setLine(kFilterLine, "");
    query.Open();
}

void TForm2::sortRoomsBy(const char* column) {
    TADOQuery& query = *DataModule3->ADOQuery6;
    query.Close();
    query.SQL().setLine(kSortLine, sortLine(column, CheckBox1->isChecked()));
    query.Open();
}

void TForm2::RadioButton3Click() {
    sortRoomsBy("id_room");
}
void TForm2::RadioButton4Click() {
    sortRoomsBy("Korpus");
}
void TForm2::RadioButton5Click() {
    sortRoomsBy("Kol_mest");
}

void TForm2::CheckBox1Click() {
    clearRadio(RadioButton5);
    clearRadio(RadioButton4);
    clearRadio(RadioButton3);
}
