#include "shell/TApplication.h"

#include "data/values/Exceptions.h"
#include "shell/MessageBoxes.h"
#include "shell/QtTranslations.h"
#include "shell/TForm.h"
#include "shell/Texts.h"

#include <QFont>
#include <QLocale>
#include <QToolTip>
#include <algorithm>

TApplication* Application = nullptr;

namespace {

void substituteWindowsFonts() {
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

// The program takes no arguments, so Qt's own options (-style, -reverse,
// -platform, ...) must not reach it either: Qt sees the program name alone.
int& programNameOnly(int& argc) {
    argc = std::min(argc, 1);
    return argc;
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(programNameOnly(argc), argv) {
    Application = this;
    title_ = applicationTitleFromPath(QApplication::applicationFilePath());
    // The title names the application where the desktop shows its own name
    // (the window class). It is not a display name: Qt would append that to
    // every window title.
    setApplicationName(title_);
    installQtTranslations(QLocale::system());
    setQuitOnLastWindowClosed(false);
    substituteWindowsFonts();
    QFont windowFont(QStringLiteral("MS Sans Serif"));
    windowFont.setPixelSize(11);
    setFont(windowFont);
    setWindowIcon(QIcon(QStringLiteral(":/MAINICON.png")));
}

TApplication::~TApplication() {
    DestroyComponents();
    if (Application == this)
        Application = nullptr;
}

void TApplication::adopt(std::string name, std::function<void()> destroy, TForm* window) {
    owned_.push_back({std::move(name), std::move(destroy)});
    if (window && !mainForm_)
        mainForm_ = window;
}

int TApplication::Run() {
    if (mainForm_)
        mainForm_->Show();
    if (terminated_)
        return 0;
    exec();
    return 0;
}

void TApplication::Terminate() {
    terminated_ = true;
    // Queued, like a posted quit message: the loop ends when it takes it.
    QMetaObject::invokeMethod(
        this, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void TApplication::DestroyComponents() {
    QToolTip::hideText();
    while (!owned_.empty()) {
        auto destroy = std::move(owned_.back().destroy);
        owned_.pop_back();
        destroy();
    }
    mainForm_ = nullptr;
}

void TApplication::HandleException(const std::exception& error) {
    if (dynamic_cast<const EAbort*>(&error))
        return;
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    showErrorBox(withClosingPeriod(QString::fromUtf8(error.what())), title_);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        HandleException(e);
    }
    return false;
}
