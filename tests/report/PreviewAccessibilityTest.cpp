// The report preview as assistive technology sees it: named bars and boxes,
// and the shown page as a document whose text is the page's, line by line.
#include "report/PageTextAccessible.h"
#include "report/ReportPreviewForm.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace report;

namespace {

PageItem text(double x, double y, const char* content) {
    PageItem item;
    item.rect = QRectF(x, y, 40, 5);
    item.text = QString::fromUtf8(content);
    return item;
}

/// Two pages: a title, then a row of three texts given out of order, and a
/// line that is not text; then a page number.
ReportPages twoPages() {
    ReportPages pages;
    pages.fonts.push_back(FontSpec());
    ReportPage first;
    first.items = {text(100, 20.5, "Петров"), text(20, 10, "Студенты общежития"),
                   text(20, 20, "20571"), text(150, 21, "Физический")};
    PageItem line;
    line.kind = PageItem::Kind::Line;
    line.rect = QRectF(20, 17, 160, 0);
    first.items.push_back(line);
    ReportPage second;
    PageItem number = text(20, 10, "Страница %p из %P"); // filled in when shown
    number.kind = PageItem::Kind::PageNumber;
    second.items = {number};
    pages.pages = {first, second};
    return pages;
}

QString name(QObject* object) {
    return QAccessible::queryAccessibleInterface(object)->text(QAccessible::Name);
}

} // namespace

TEST(PreviewAccessibility, PageLinesTopToBottomAndLeftToRight) {
    const ReportPages pages = twoPages();
    EXPECT_EQ(pageTextLines(pages, 0),
              (QStringList{"Студенты общежития", "20571\tПетров\tФизический"}));
    EXPECT_EQ(pageTextLines(pages, 1), QStringList{"Страница 2 из 2"});
    EXPECT_TRUE(pageTextLines(pages, 2).isEmpty());
}

TEST(PreviewAccessibility, ShownPageIsADocumentWithItsText) {
    TReportSystem system;
    TReportPreviewForm form(system, twoPages());
    QAccessibleInterface* page = QAccessible::queryAccessibleInterface(form.ScrollBox->widget());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->role(), QAccessible::Document);
    QAccessibleTextInterface* text = page->textInterface();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(page->text(QAccessible::Name), QStringLiteral("Page 1"));
    EXPECT_EQ(text->text(0, text->characterCount()),
              QStringLiteral("Студенты общежития\n20571\tПетров\tФизический"));
    form.goToPage(2);
    EXPECT_EQ(page->text(QAccessible::Name), QStringLiteral("Page 2"));
    EXPECT_EQ(text->text(0, text->characterCount()), QStringLiteral("Страница 2 из 2"));
}

TEST(PreviewAccessibility, BarsBoxesAndToolButtonsHaveNames) {
    TReportSystem system;
    TReportPreviewForm form(system, twoPages());
    form.show();
    EXPECT_EQ(name(form.MainMenu), QStringLiteral("Menu bar"));
    EXPECT_EQ(name(form.ToolBar), QStringLiteral("Tool bar"));
    EXPECT_EQ(name(form.PageEdit), QStringLiteral("Page number"));
    EXPECT_EQ(name(form.ZoomEdit), QStringLiteral("Zoom percent"));
    QStringList buttons;
    for (QAction* a : form.ToolBar->actions())
        if (auto* b = qobject_cast<QToolButton*>(form.ToolBar->widgetForAction(a)))
            buttons << name(b);
    EXPECT_EQ(buttons,
              (QStringList{"Open", "Save As", "Print", "First", "Previous", "Next", "Last",
                           "Zoom Out", "Zoom In", "Fit to Page Width", "Fit to Page", "Exit"}));
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
