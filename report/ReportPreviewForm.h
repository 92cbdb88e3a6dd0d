#pragma once
// TReportPreviewForm, "Report Preview": pages at a zoom in a scrolling view,
// with its tool bar, menu, page box and status bar.
#include "report/ReportPages.h"
#include "report/ReportSystem.h"

#include <QDialog>
#include <QMap>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QToolBar;

namespace report {
class PageView;
}
namespace Ui {
class ReportPreviewForm;
}

class TReportPreviewForm : public QDialog {
    Q_OBJECT
public:
    TReportPreviewForm(TReportSystem& system, report::ReportPages pages, QWidget* parent = nullptr);
    /// Shows pages read as they are shown (a run's temporary file).
    TReportPreviewForm(TReportSystem& system, std::shared_ptr<const report::PageSource> pages,
                       QWidget* parent = nullptr);
    ~TReportPreviewForm() override;

    int currentPage() const { return m_page; } ///< from 1
    int pageCount() const { return m_pages->pageCount(); }
    const report::PageSource& pages() const { return *m_pages; }
    /// Goes to a page (clamped); updates the boxes, the status bar and the
    /// actions. Throws EReportError, with the page shown blank, when the page
    /// cannot be read.
    void goToPage(int page);
    /// Goes to a page, scrolled to its top or its bottom.
    void goToTop(int page);
    void goToBottom(int page);
    int zoom() const { return m_zoom; }
    void setZoom(int percent);
    void fitPageWidth();
    void fitPage();
    /// Loads a snapshot file in place of the shown pages; the title becomes
    /// the application title, " - [ ", the file name and " ]".
    void openSnapshot(const QString& fileName);
    /// Saves the shown pages as a snapshot, or as PDF for a ".pdf" name.
    void saveAs(const QString& fileName);
    /// The action by its name: open, save, print, exit, first, previous,
    /// next, last, gotoPage, zoomIn, zoomOut, fitWidth, fitPage.
    QAction* action(const QString& name) const { return m_actions.value(name); }

    QMenuBar* MainMenu;
    QToolBar* ToolBar;
    QLineEdit* PageEdit;
    QLabel* PageCountLabel;
    QLineEdit* ZoomEdit;
    QScrollArea* ScrollBox;
    QStatusBar* StatusBar;
    QLabel* StatusLabel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void placeControls();
    void placeToolBarCommands();
    void connectActions();
    void showPage();
    void updateState();
    void openFile();
    void saveFile();
    void print();
    void askPage();
    bool handleKey(QKeyEvent* key);
    void scrollBy(int dx, int dy);

    std::unique_ptr<Ui::ReportPreviewForm> m_ui;
    TReportSystem& m_system;
    std::shared_ptr<const report::PageSource> m_pages;
    report::PageView* m_view;
    QMap<QString, QAction*> m_actions;
    int m_page = 1;
    int m_zoom = 100;
};
