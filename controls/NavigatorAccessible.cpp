#include "controls/NavigatorAccessible.h"

#include <QAccessibleWidget>
#include <QWidget>
#include <mutex>

namespace {

QAccessibleInterface* navigatorFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("TDBNavigator") || !object || !object->isWidgetType())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::ToolBar);
}

} // namespace

void installNavigatorAccessibility() {
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(navigatorFactory); });
}
