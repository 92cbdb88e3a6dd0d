// Real message boxes, shown and answered on screen (offscreen platform), not
// through the test hook: what the operator sees in them.
#include "shell/MessageBoxes.h"
#include "shell/TApplication.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

/// Runs `look` on the message box once it is shown, then closes it with Escape.
void whenBoxShown(std::function<void(QMessageBox&)> look) {
    QTimer::singleShot(0, [look] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        look(*box);
        box->reject();
    });
}

/// A desktop theme that lays dialog buttons out in its own order.
class ThemeLayout : public QProxyStyle {
public:
    explicit ThemeLayout(QDialogButtonBox::ButtonLayout layout)
        : QProxyStyle(QStyleFactory::create(QStringLiteral("fusion"))), layout_(layout) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_DialogButtonLayout)
            return layout_;
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    QDialogButtonBox::ButtonLayout layout_;
};

} // namespace

TEST(MessageBox, ConfirmationShowsOkBeforeCancelOnEveryTheme) {
    const QDialogButtonBox::ButtonLayout layouts[] = {
        QDialogButtonBox::WinLayout, QDialogButtonBox::MacLayout, QDialogButtonBox::KdeLayout,
        QDialogButtonBox::GnomeLayout, QDialogButtonBox::AndroidLayout};
    for (QDialogButtonBox::ButtonLayout layout : layouts) {
        QApplication::setStyle(new ThemeLayout(layout));
        bool seen = false;
        whenBoxShown([&](QMessageBox& box) {
            seen = true;
            QAbstractButton* ok = box.button(QMessageBox::Ok);
            QAbstractButton* cancel = box.button(QMessageBox::Cancel);
            ASSERT_TRUE(ok && cancel);
            EXPECT_EQ(box.windowTitle(), QStringLiteral("Confirm"));
            EXPECT_EQ(box.text(), QStringLiteral("Delete record?"));
            EXPECT_EQ(ok->text(), QStringLiteral("OK"));
            EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
            EXPECT_LT(ok->mapTo(&box, QPoint()).x(), cancel->mapTo(&box, QPoint()).x())
                << "theme layout " << layout;
            EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Ok));
        });
        EXPECT_FALSE(confirmDeleteRecord()); // Escape is Cancel
        EXPECT_TRUE(seen);
    }
    QApplication::setStyle(QStringLiteral("fusion"));
}

TEST(MessageBox, TextIsNeverReadAsMarkup) {
    // An error text quotes what was typed, such as a date cell's "<b>1".
    const QString typed = QStringLiteral("Invalid date: <b>1");
    const std::function<void()> boxes[] = {
        [&] { showErrorBox(typed, QStringLiteral("Project1")); },
        [&] { showPlainMessage(typed); },
    };
    for (const auto& show : boxes) {
        QString shown;
        Qt::TextFormat format = Qt::AutoText;
        whenBoxShown([&](QMessageBox& box) {
            format = box.textFormat();
            if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
                shown = label->text();
        });
        show();
        EXPECT_EQ(format, Qt::PlainText);
        EXPECT_EQ(shown, typed);
    }
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
