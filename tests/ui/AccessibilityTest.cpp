// The window set as assistive technology sees it: windows and dialogs by
// their captions, and names for the controls that have no caption of their own.
#include "WindowSetFixture.h"

#include "app/Unit1.h"
#include "controls/TDBNavigator.h"
#include "ui/chart/Unit7.h"
#include "ui/dialogs/Unit4.h"
#include "ui/dialogs/Unit5.h"
#include "ui/dialogs/Unit6.h"
#include "ui/main/Unit8.h"
#include "ui/main/Unit9.h"

#include <QAccessible>
#include <QMenuBar>
#include <QProgressBar>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString accessibleName(QObject* object) {
    QAccessibleInterface* iface = accessible(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

} // namespace

TEST_F(WindowSetTest, WindowsAreFramesAndModalWindowsDialogsNamedByTheirCaptions) {
    for (TForm* frame : std::initializer_list<TForm*>{Form1, Form2}) {
        EXPECT_EQ(accessible(frame)->role(), QAccessible::Window)
            << frame->objectName().toStdString();
        EXPECT_EQ(accessibleName(frame), QStringLiteral("База данных общежития"));
    }
    const std::pair<TForm*, const char*> dialogs[] = {
        {Form4, "Добавление платежа"}, {Form5, "Удаление"},       {Form6, "Добавление студента"},
        {Form7, "Диаграмма"},          {Form8, "Введите пароль"}, {Form9, "О программе"}};
    for (const auto& [dialog, caption] : dialogs) {
        QAccessible::Role role = QAccessible::NoRole;
        QString name;
        whileModal(dialog, [&, dialog = dialog] {
            role = accessible(dialog)->role();
            name = accessibleName(dialog);
        });
        dialog->ShowModal();
        EXPECT_EQ(role, QAccessible::Dialog) << caption;
        EXPECT_EQ(name, QString::fromUtf8(caption));
    }
}

TEST_F(WindowSetTest, BarsAndProgressHaveNames) {
    EXPECT_EQ(accessibleName(Form2->MainMenu1), QStringLiteral("Строка меню"));
    EXPECT_EQ(accessibleName(Form1->ProgressBar1), QStringLiteral("Загрузка"));
    const std::pair<TDBNavigator*, const char*> bars[] = {
        {Form2->DBNavigator1, "Навигатор: Студенты"},
        {Form2->DBNavigator2, "Навигатор: Оснащение"},
        {Form2->DBNavigator3, "Навигатор: Комнаты"},
        {Form5->DBNavigator1, "Навигатор: Студенты"},
        {Form6->DBNavigator1, "Навигатор: Студенты"}};
    for (const auto& [bar, name] : bars) {
        EXPECT_EQ(accessible(bar)->role(), QAccessible::ToolBar);
        EXPECT_EQ(accessibleName(bar), QString::fromUtf8(name));
        for (int i = 0; i < kNavigatorButtonCount; ++i) {
            QAbstractButton* button = bar->button(TNavigateBtn(i));
            EXPECT_EQ(accessibleName(button), TDBNavigator::accessibleButtonName(TNavigateBtn(i)));
        }
    }
}
