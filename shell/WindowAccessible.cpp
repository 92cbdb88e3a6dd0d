#include "shell/WindowAccessible.h"

#include "shell/TForm.h"

#include <QAccessibleWidget>
#include <mutex>

namespace {

// Without this a window is a plain widget, which the bus reports as a filler.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(TForm* window) : QAccessibleWidget(window, QAccessible::Window) {}
    QAccessible::Role role() const override {
        // A window shown modally has become a dialog (TForm::ShowModal).
        return widget()->windowType() == Qt::Dialog ? QAccessible::Dialog : QAccessible::Window;
    }
};

QAccessibleInterface* windowFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("TForm"))
        return nullptr;
    auto* window = qobject_cast<TForm*>(object);
    return window && window->isWindow() ? new WindowAccessible(window) : nullptr;
}

} // namespace

void installWindowAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(windowFactory); });
}
