#include "ui/main/Unit8.h"

#include "shell/MessageBoxes.h"
#include "shell/TApplication.h"
#include "ui/main/OperatorPassword.h"
#include "ui/main/Unit2.h"

#include <QProxyStyle>

TForm8* Form8 = nullptr;

namespace {

// The password box masks every character with '*', whatever the style's own mask.
class StarMaskStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

TForm8::TForm8() {
    setupUi(this);
    auto* style = new StarMaskStyle;
    style->setParent(Edit1);
    Edit1->setStyle(style);
    applyDesignedGeometry();
    connect(Button1, &QPushButton::clicked, this, guarded([this] { Button1Click(); }));
}

void TForm8::Button1Click() {
    if (!isOperatorPassword(Edit1->text())) {
        showPlainMessage(QStringLiteral("Не правильный пароль! Повторите попытку!"));
        return;
    }
    Form2->BitBtn6->setVisible(true);
    Form2->BitBtn5->setVisible(true);
    Form2->BitBtn4->setVisible(true);
    Form2->N4->setVisible(true);
    Form2->N5->setVisible(true);
    Form2->N6->setVisible(true);
    Form2->N2->setVisible(false);
    Form2->N10->setVisible(false);
    Close();
}
