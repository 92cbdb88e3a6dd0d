#pragma once
// Base of every window: the show, hide, close and modal rules that all windows share.
#include <QPointer>
#include <QWidget>
#include <vector>

enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2 };
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);

    /// Makes the window visible and brings it to the front (also when already visible).
    void Show();
    /// Makes the window invisible; it and its controls keep their contents.
    void Hide();
    /// Ends a modal showing, or hides the window; closing the main form ends the process.
    void Close();
    /// Shows the window modally and returns its modal result.
    int ShowModal();

    int ModalResult() const { return modalResult_; }
    void setModalResult(int result) { modalResult_ = result; }
    bool IsModal() const { return modal_; }

protected:
    /// The window's OnShow handler. Runs each time the program shows the
    /// hidden window (Show, ShowModal), just before it appears. It does not
    /// run when the window system shows the window again on its own, such as
    /// on restoring it from minimized, nor for Show on a window already visible.
    virtual void FormShow() {}
    /// The window's OnClose handler; may change the action.
    virtual void FormClose(TCloseAction& action) { (void)action; }

    /// Places the window by its designed outer geometry at 96 dpi, scaled for
    /// this screen by the text-height rule. Uses the dynamic properties
    /// designLeft, designTop, designWidth, designHeight set in the .ui file.
    void applyDesignedGeometry();

    /// Widens labels, radio buttons and check boxes whose caption does not fit.
    void fitCaptionsToFont();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void runCloseSteps(TCloseAction& action);
    void markModalFor(QWidget* opener);
    void addMenuKeys();

    int modalResult_ = mrNone;
    bool modal_ = false;
};

/// Factor by which designed pixel geometry grows on this screen (1 at 96 dpi).
double designScaleFactor();
