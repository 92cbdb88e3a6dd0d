#include "report/PageTextAccessible.h"
#include "report/ReportPages.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <algorithm>

namespace report {

QStringList pageTextLines(const PageSource& pages, int index) {
    if (index < 0 || index >= pages.pageCount())
        return {};
    ReportPage scratch;
    try {
        return pageTextLines(pages, pages.page(index, scratch), index);
    } catch (const std::exception&) {
        return {}; // the preview shows the error; a reader gets no text
    }
}

QStringList pageTextLines(const PageSource& pages, const ReportPage& page, int index) {
    std::vector<const PageItem*> texts;
    for (const PageItem& item : page.items)
        if (item.isText() && !item.text.isEmpty())
            texts.push_back(&item);
    std::stable_sort(texts.begin(), texts.end(), [](const PageItem* a, const PageItem* b) {
        return a->rect.top() < b->rect.top();
    });
    // A text whose middle lies within the first text of a line belongs to it.
    std::vector<std::vector<const PageItem*>> lines;
    for (const PageItem* item : texts) {
        if (lines.empty() || item->rect.center().y() > lines.back().front()->rect.bottom())
            lines.emplace_back();
        lines.back().push_back(item);
    }
    QStringList result;
    for (auto& line : lines) {
        std::stable_sort(line.begin(), line.end(), [](const PageItem* a, const PageItem* b) {
            return a->rect.left() < b->rect.left();
        });
        QStringList parts;
        for (const PageItem* item : line)
            parts << pages.itemText(*item, index);
        result << parts.join(QLatin1Char('\t'));
    }
    return result;
}

namespace {

/// A read-only text: no caret, no selection, no geometry per character.
class PageTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    PageTextAccessible(QWidget* view, std::function<int()> pageNumber,
                       std::function<QString()> text)
        : QAccessibleWidget(view, QAccessible::Document), pageNumber_(std::move(pageNumber)),
          text_(std::move(text)) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return QStringLiteral("Page %1").arg(pageNumber_());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        return s;
    }

    QString text(int startOffset, int endOffset) const override {
        return text_().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(text_().size()); }
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = offset;
        return {};
    }

    /// The text last announced, to tell what changed.
    QString announced;

private:
    std::function<int()> pageNumber_;
    std::function<QString()> text_;
};

} // namespace

void exposePageText(QWidget* view, std::function<int()> pageNumber, std::function<QString()> text) {
    // Registered for the widget, so it is the one Qt hands out for it, and
    // dropped by Qt with the widget.
    QAccessible::registerAccessibleInterface(
        new PageTextAccessible(view, std::move(pageNumber), std::move(text)));
}

void notifyPageTextChanged(QWidget* view) {
    if (!QAccessible::isActive())
        return;
    auto* page = dynamic_cast<PageTextAccessible*>(QAccessible::queryAccessibleInterface(view));
    if (!page)
        return;
    QAccessibleEvent renamed(view, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    const QString now = page->text(0, page->characterCount());
    QAccessibleTextUpdateEvent updated(view, 0, page->announced, now);
    page->announced = now;
    QAccessible::updateAccessibility(&updated);
}

} // namespace report
