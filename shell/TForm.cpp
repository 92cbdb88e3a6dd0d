#include "shell/TForm.h"

#include "data/values/Exceptions.h"
#include "shell/TApplication.h"
#include "shell/WindowAccessible.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QLabel>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QVariant>
#include <QWindow>
#include <cmath>

namespace {

// Designed frame: 4-pixel borders and a 20-pixel caption at 96 dpi.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 28;

int scaled(int designed) {
    return int(std::lround(designed * designScaleFactor()));
}

} // namespace

double designScaleFactor() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    // The window font is 11 px high at 96 dpi and its text 13 px; both grow with
    // the screen, and the layout grows with the new text height.
    const int textHeight = int(std::lround(13.0 * dpi / 96.0));
    return textHeight / 13.0;
}

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {
    installWindowAccessibility();
    addMenuKeys();
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void TForm::addMenuKeys() {
    // The desktop's keys for menus, as the menus have no accelerators: F10
    // opens the menu bar, Shift+F10 the focused control's context menu (the
    // Menu key does that already).
    auto* menuBar = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuBar, &QShortcut::activated, this, [this] {
        QMenuBar* bar = findChild<QMenuBar*>();
        if (!bar)
            return;
        for (QAction* entry : bar->actions())
            if (entry->isVisible() && entry->isEnabled()) {
                bar->setActiveAction(entry);
                return;
            }
    });
    auto* contextMenu = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(contextMenu, &QShortcut::activated, this, [this] {
        QWidget* target = focusWidget() ? focusWidget() : this;
        const QPoint middle = target->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, middle, target->mapToGlobal(middle));
        QCoreApplication::sendEvent(target, &event);
    });
}

namespace {

/// The chosen button of `radio`'s exclusive group (its siblings), or nullptr.
QRadioButton* chosenSibling(QRadioButton* radio) {
    for (QRadioButton* other :
         radio->parentWidget()->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly))
        if (other->autoExclusive() && other->isChecked() && other->isEnabled() &&
            other->isVisibleTo(radio->window()))
            return other;
    return nullptr;
}

} // namespace

bool TForm::focusNextPrevChild(bool next) {
    // A radio button that is not chosen is no Tab stop: Tab goes to the chosen
    // one of its group, or past the group when none is chosen.
    QWidget* start = focusWidget();
    for (int step = 0; step < 100; ++step) {
        if (!QWidget::focusNextPrevChild(next))
            return false;
        auto* radio = qobject_cast<QRadioButton*>(focusWidget());
        if (!radio || !radio->autoExclusive() || radio->isChecked())
            return true;
        if (QRadioButton* chosen = chosenSibling(radio)) {
            chosen->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
        if (focusWidget() == start)
            return true;
    }
    return true;
}

void TForm::applyDesignedGeometry() {
    fitCaptionsToFont();
    const QVariant left = property("designLeft");
    if (!left.isValid())
        return;
    move(scaled(left.toInt()), scaled(property("designTop").toInt()));
    resize(scaled(property("designWidth").toInt() - kFrameWidth),
           scaled(property("designHeight").toInt() - kFrameHeight));
}

void TForm::fitCaptionsToFont() {
    // The substitute window font runs a little wider than the designed one;
    // captions grow to their text instead of being cut off.
    auto widen = [](QWidget* w) {
        const int wanted = w->sizeHint().width();
        if (wanted > w->width())
            w->resize(wanted, w->height());
    };
    for (QLabel* label : findChildren<QLabel*>()) {
        if (!label->wordWrap())
            widen(label);
    }
    for (QAbstractButton* box : findChildren<QAbstractButton*>()) {
        if (qobject_cast<QRadioButton*>(box) || qobject_cast<QCheckBox*>(box))
            widen(box);
    }
}

void TForm::Show() {
    show();
    raise();
    activateWindow();
}

void TForm::Hide() {
    hide();
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm::runCloseSteps(TCloseAction& action) {
    // No window of this system vetoes closing, so the close query always agrees.
    action = TCloseAction::caHide;
    FormClose(action);
}

void TForm::Close() {
    if (modal_) {
        modalResult_ = mrCancel;
        return;
    }
    TCloseAction action;
    runCloseSteps(action);
    if (action == TCloseAction::caNone)
        return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        hide();
}

void TForm::closeEvent(QCloseEvent* event) {
    // The title-bar button, Alt+F4 and the window menu all mean Close; the
    // hiding is done by Close itself, so the platform's own close is refused.
    event->ignore();
    try {
        Close();
    } catch (const std::exception& e) {
        if (Application)
            Application->HandleException(e);
    }
}

void TForm::markModalFor(QWidget* opener) {
    // The window manager learns it too (WM_TRANSIENT_FOR, _NET_WM_STATE_MODAL),
    // so that a desktop keeps the dialog above the window that opened it. Qt
    // writes the transient hint for dialog-type windows only.
    setWindowFlags((windowFlags() & ~Qt::WindowType_Mask) | Qt::Dialog | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::ApplicationModal);
    create();
    windowHandle()->setTransientParent(opener ? opener->window()->windowHandle() : nullptr);
}

int TForm::ShowModal() {
    if (isVisible() || !isEnabled() || modal_)
        throw EInvalidOperation("Cannot make a visible window modal");
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    modal_ = true;
    QPointer<QWidget> activeBefore = QApplication::activeWindow();
    QPointer<QWidget> focusBefore = QApplication::focusWidget();
    std::vector<QPointer<QWidget>> disabled;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != this && w->isVisible() && w->isEnabled() && w->isWindow()) {
            w->setEnabled(false);
            disabled.emplace_back(w);
        }
    }
    markModalFor(activeBefore && activeBefore != this ? activeBefore.data()
                 : disabled.empty()                   ? nullptr
                                                      : disabled.front().data());
    Show();
    modalResult_ = mrNone;
    QEventLoop loop;
    do {
        loop.processEvents(QEventLoop::WaitForMoreEvents);
        if (Application && Application->Terminated()) {
            modalResult_ = mrCancel;
        } else if (modalResult_ != mrNone) {
            TCloseAction action;
            runCloseSteps(action);
            if (action == TCloseAction::caNone)
                modalResult_ = mrNone;
        }
    } while (modalResult_ == mrNone);
    hide();
    setWindowModality(Qt::NonModal);
    modal_ = false;
    for (auto& w : disabled) {
        if (w)
            w->setEnabled(true);
    }
    if (activeBefore)
        activeBefore->activateWindow();
    if (focusBefore)
        focusBefore->setFocus();
    return modalResult_;
}
