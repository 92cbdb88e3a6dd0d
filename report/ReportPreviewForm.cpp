#include "report/ReportPreviewForm.h"
#include "report/PageTextAccessible.h"
#include "report/ReportOutput.h"
#include "report/ReportSetupForm.h"
#include "report/Snapshot.h"
#include "ui_ReportPreviewForm.h"

#include "shell/TApplication.h"
#include "shell/Texts.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <functional>

namespace report {

/// Paints one page at the preview's zoom on a white sheet. The page is read
/// once when it is turned to, not on every paint or screen-reader question.
class PageView : public QWidget {
public:
    PageView(const std::shared_ptr<const PageSource>& pages, QWidget* parent)
        : QWidget(parent), m_pages(pages) {
        exposePageText(
            this, [this] { return m_index + 1; }, [this] { return m_text; });
    }
    /// Shows page `index` (from 0). A page that cannot be read shows blank,
    /// and its error goes to the command that turned to it.
    void show(int index, int zoom) {
        std::exception_ptr failure;
        if (index != m_index || m_pages.get() != m_readFrom) {
            try {
                read(index);
            } catch (...) {
                failure = std::current_exception();
            }
        }
        const double px = logicalDpiX() / 25.4 * zoom / 100.0;
        const QSizeF paper = m_pages->paper();
        m_sheet = QSize(int(paper.width() * px), int(paper.height() * px));
        setFixedSize(m_sheet + QSize(2 * kMargin, 2 * kMargin));
        update();
        notifyPageTextChanged(this);
        if (failure)
            std::rethrow_exception(failure);
    }
    static constexpr int kMargin = 10;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().color(QPalette::Dark));
        const QRect sheet(QPoint(kMargin, kMargin), m_sheet);
        painter.fillRect(sheet.translated(3, 3), Qt::black);
        painter.fillRect(sheet, Qt::white);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setPen(Qt::black);
        m_pages->paint(m_page, m_index, painter, sheet);
    }

private:
    void read(int index) {
        m_index = index;
        m_readFrom = m_pages.get();
        m_page = ReportPage();
        m_text.clear();
        if (index < 0 || index >= m_pages->pageCount())
            return;
        m_page = m_pages->page(index);
        m_text = pageTextLines(*m_pages, m_page, index).join(QLatin1Char('\n'));
    }

    const std::shared_ptr<const PageSource>& m_pages;
    const PageSource* m_readFrom = nullptr; ///< the source m_page was read from
    int m_index = 0;
    ReportPage m_page;
    QString m_text;
    QSize m_sheet;
};

} // namespace report

namespace {

constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 1000;

} // namespace

TReportPreviewForm::TReportPreviewForm(TReportSystem& system, report::ReportPages pages,
                                       QWidget* parent)
    : TReportPreviewForm(system, std::make_shared<report::ReportPages>(std::move(pages)), parent) {}

TReportPreviewForm::TReportPreviewForm(TReportSystem& system,
                                       std::shared_ptr<const report::PageSource> pages,
                                       QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::ReportPreviewForm>()), m_system(system),
      m_pages(std::move(pages)) {
    m_ui->setupUi(this);
    setWindowTitle(system.TitlePreview);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setModal(system.Preview.modal);
    m_zoom = std::clamp(system.Preview.zoom, kMinZoom, kMaxZoom);
    placeControls();
    connectActions();

    goToPage(1);
    // Wide enough for the whole tool bar, whatever the style and font.
    ensurePolished();
    ToolBar->ensurePolished();
    resize(system.Preview.size.expandedTo(QSize(ToolBar->sizeHint().width(), 0)));
    setWindowState(system.Preview.windowState);
    if (system.Preview.centered)
        if (QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
}

TReportPreviewForm::~TReportPreviewForm() = default;

// What the form file cannot say: the menu bar above the layout, the tool bar's
// commands, the status line in the status bar, the page view in the scroll box.
void TReportPreviewForm::placeControls() {
    MainMenu = m_ui->MainMenu;
    ToolBar = m_ui->ToolBar;
    PageEdit = m_ui->PageEdit;
    PageCountLabel = m_ui->PageCountLabel;
    ZoomEdit = m_ui->ZoomEdit;
    ScrollBox = m_ui->ScrollBox;
    StatusBar = m_ui->StatusBar;
    StatusLabel = m_ui->StatusLabel;

    m_ui->PreviewLayout->setMenuBar(MainMenu);
    placeToolBarCommands();
    PageEdit->setValidator(new QIntValidator(1, 999999, PageEdit));
    PageCountLabel->setContentsMargins(4, 0, 4, 0);
    ZoomEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9.]*"), ZoomEdit));
    StatusBar->addWidget(StatusLabel, 1);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    m_view = new report::PageView(m_pages, ScrollBox);
    ScrollBox->setWidget(m_view);
}

// uic puts the boxes into the tool bar; the commands go around them.
void TReportPreviewForm::placeToolBarCommands() {
    Ui::ReportPreviewForm& ui = *m_ui;
    const QList<QAction*> boxes = ToolBar->actions(); // page box, page count, zoom box
    QAction* pageBox = boxes.at(0);
    QAction* zoomBox = boxes.at(2);
    ToolBar->insertActions(pageBox, {ui.open, ui.save, ui.print});
    ToolBar->insertSeparator(pageBox);
    ToolBar->insertActions(pageBox, {ui.first, ui.previous});
    ToolBar->insertActions(zoomBox, {ui.next, ui.last});
    ToolBar->insertSeparator(zoomBox);
    ToolBar->insertAction(zoomBox, ui.zoomOut);
    ToolBar->addActions({ui.zoomIn, ui.fitWidth, ui.fitPage});
    ToolBar->addSeparator();
    ToolBar->addAction(ui.exit);
}

void TReportPreviewForm::connectActions() {
    for (QAction* a : findChildren<QAction*>(Qt::FindDirectChildrenOnly)) {
        if (a->objectName().isEmpty())
            continue;
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
        m_actions.insert(a->objectName(), a);
    }
    // Their errors (a damaged snapshot, a page that cannot be read, a printer
    // that has gone) go to the default error display, like those of every
    // other handler.
    const auto on = [this](const char* name, std::function<void()> handler) {
        connect(action(name), &QAction::triggered, this, guarded(std::move(handler)));
    };
    on("open", [this] { openFile(); });
    on("save", [this] { saveFile(); });
    on("print", [this] { print(); });
    connect(action("exit"), &QAction::triggered, this, &TReportPreviewForm::close);
    on("first", [this] { goToTop(1); });
    on("previous", [this] { goToPage(m_page - 1); });
    on("next", [this] { goToPage(m_page + 1); });
    on("last", [this] { goToBottom(pageCount()); });
    on("gotoPage", [this] { askPage(); });
    on("zoomIn", [this] { setZoom(m_zoom + m_system.Preview.zoomStep); });
    on("zoomOut", [this] { setZoom(m_zoom - m_system.Preview.zoomStep); });
    on("fitWidth", [this] { fitPageWidth(); });
    on("fitPage", [this] { fitPage(); });
    connect(PageEdit, &QLineEdit::returnPressed, this,
            guarded([this] { goToPage(PageEdit->text().toInt()); }));
    connect(ZoomEdit, &QLineEdit::returnPressed, this,
            guarded([this] { setZoom(int(ZoomEdit->text().toDouble())); }));
    action("print")->setVisible(m_system.AllowPrintFromPreview);
}

void TReportPreviewForm::goToPage(int page) {
    m_page = std::clamp(page, 1, std::max(1, pageCount()));
    showPage();
}

void TReportPreviewForm::showPage() {
    // The page number and the commands follow the turn also to a page that
    // cannot be read, so that the operator can turn away from it.
    try {
        m_view->show(m_page - 1, m_zoom);
    } catch (...) {
        updateState();
        throw;
    }
    updateState();
}

void TReportPreviewForm::goToTop(int page) {
    goToPage(page);
    ScrollBox->verticalScrollBar()->setValue(ScrollBox->verticalScrollBar()->minimum());
}

void TReportPreviewForm::goToBottom(int page) {
    goToPage(page);
    // The view has just been resized for the page: the range follows it now.
    QScrollBar* v = ScrollBox->verticalScrollBar();
    v->setRange(0, std::max(0, m_view->height() - ScrollBox->viewport()->height()));
    v->setValue(v->maximum());
}

void TReportPreviewForm::setZoom(int percent) {
    if (percent <= 0)
        return;
    m_zoom = std::clamp(percent, kMinZoom, kMaxZoom);
    showPage();
}

void TReportPreviewForm::fitPageWidth() {
    const double mmWidth = m_pages->paper().width();
    const int room = ScrollBox->viewport()->width() - 2 * report::PageView::kMargin -
                     ScrollBox->verticalScrollBar()->sizeHint().width();
    setZoom(int(room / (mmWidth * logicalDpiX() / 25.4) * 100));
}

void TReportPreviewForm::fitPage() {
    const QSize room = ScrollBox->viewport()->size() -
                       QSize(2 * report::PageView::kMargin, 2 * report::PageView::kMargin);
    const double px = logicalDpiX() / 25.4 / 100;
    const double zw = room.width() / (m_pages->paper().width() * px);
    const double zh = room.height() / (m_pages->paper().height() * px);
    setZoom(int(std::min(zw, zh)));
}

void TReportPreviewForm::updateState() {
    const QString count = QString::number(pageCount());
    PageEdit->setText(QString::number(m_page));
    PageCountLabel->setText(QStringLiteral("of ") + count);
    ZoomEdit->setText(QString::number(m_zoom));
    StatusLabel->setText(QStringLiteral("Page %1 of %2").arg(m_page).arg(count));
    action("first")->setEnabled(m_page > 1);
    action("previous")->setEnabled(m_page > 1);
    action("next")->setEnabled(m_page < pageCount());
    action("last")->setEnabled(m_page < pageCount());
}

void TReportPreviewForm::openSnapshot(const QString& fileName) {
    m_pages = report::openSnapshot(fileName);
    setWindowTitle(applicationTitleFromPath(QCoreApplication::applicationFilePath()) +
                   QStringLiteral(" - [ ") + fileName + QStringLiteral(" ]"));
    goToPage(1);
}

void TReportPreviewForm::saveAs(const QString& fileName) {
    if (fileName.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        report::writePdf(*m_pages, fileName,
                         m_system.ReportTitle.isEmpty() ? QFileInfo(fileName).completeBaseName()
                                                        : m_system.ReportTitle);
    else
        report::saveSnapshot(*m_pages, fileName);
}

void TReportPreviewForm::openFile() {
    const QString name = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open File"), QString(),
        QStringLiteral("Report Snapshot Files (*.rsf);;All Files (*)"));
    if (!name.isEmpty())
        openSnapshot(name);
}

void TReportPreviewForm::saveFile() {
    const QString rsf = QStringLiteral("Report Snapshot Files (*.rsf)");
    const QString pdf = QStringLiteral("Portable Document Format (*.pdf)");
    QFileDialog dialog(this, QString(), QString(), rsf + QStringLiteral(";;") + pdf);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("rsf"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, pdf](const QString& f) {
        dialog.setDefaultSuffix(f == pdf ? QStringLiteral("pdf") : QStringLiteral("rsf"));
    });
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        saveAs(dialog.selectedFiles().front());
}

void TReportPreviewForm::print() {
    TReportSetupForm setup(m_system, pageCount(), this);
    if (setup.exec() != QDialog::Accepted || !m_system.SelectedPrinter)
        return;
    QPrinter& printer = m_system.printerToPrintOn();
    if (m_system.Duplex)
        printer.setDuplex(*m_system.Duplex);
    report::printPages(*m_pages, printer, setup.chosenPages(), m_system.Copies, m_system.Collate);
}

void TReportPreviewForm::askPage() {
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Go to Page"),
                                               QStringLiteral("Enter page to move to:"),
                                               QLineEdit::Normal, QString::number(m_page), &ok);
    if (!ok)
        return;
    const int page = text.trimmed().toInt(&ok);
    if (ok) // a non-number is ignored
        goToPage(page);
}

void TReportPreviewForm::showEvent(QShowEvent* event) {
    // The window sees every key before its controls do.
    qApp->installEventFilter(this);
    QDialog::showEvent(event);
}

void TReportPreviewForm::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(this);
    QDialog::hideEvent(event);
}

bool TReportPreviewForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        // Ctrl+Home and Ctrl+End are the first and last page's shortcuts, but
        // they also scroll to the top and bottom, even on that page already:
        // the key is taken here rather than by the (maybe disabled) action.
        const bool ctrlHomeEnd = (key->modifiers() & Qt::ControlModifier) &&
                                 (key->key() == Qt::Key_Home || key->key() == Qt::Key_End);
        if (ctrlHomeEnd)
            event->accept();
        return ctrlHomeEnd;
    }
    return handleKey(key);
}

void TReportPreviewForm::scrollBy(int dx, int dy) {
    QScrollBar* h = ScrollBox->horizontalScrollBar();
    QScrollBar* v = ScrollBox->verticalScrollBar();
    h->setValue(h->value() + dx);
    v->setValue(v->value() + dy);
}

bool TReportPreviewForm::handleKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shift = mods & Qt::ShiftModifier;
    QScrollBar* v = ScrollBox->verticalScrollBar();
    const int step = v->singleStep() * 3;
    const int pageHeight = ScrollBox->viewport()->height();
    const int pageWidth = ScrollBox->viewport()->width();
    switch (key->key()) {
    case Qt::Key_Home:
        if (ctrl)
            goToTop(1);
        else
            v->setValue(v->minimum());
        return true;
    case Qt::Key_End:
        if (ctrl)
            goToBottom(pageCount());
        else
            v->setValue(v->maximum());
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        if (ctrl)
            return false; // page-moving shortcuts
        scrollBy(0, key->key() == Qt::Key_PageUp ? -pageHeight : pageHeight);
        return true;
    case Qt::Key_Down:
        if (v->value() >= v->maximum() && m_page < pageCount()) {
            goToPage(m_page + 1);
            v->setValue(v->minimum());
        } else {
            scrollBy(0, step);
        }
        return true;
    case Qt::Key_Up:
        if (v->value() <= v->minimum() && m_page > 1) {
            goToPage(m_page - 1);
            v->setValue(v->maximum());
        } else {
            scrollBy(0, -step);
        }
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!ctrl)
            return false;
        scrollBy((key->key() == Qt::Key_Left ? -1 : 1) * (shift ? pageWidth : step), 0);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Backspace:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    if (ctrl)
        return false;
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    const QChar ch = text.front();
    if (ch.isDigit() || ch == u'.')
        return false; // for the page and zoom boxes
    switch (ch.toUpper().unicode()) {
    case u'B':
        goToPage(1);
        break;
    case u'E':
        goToPage(pageCount());
        break;
    case u'N':
        goToPage(m_page + 1);
        break;
    case u'P':
        goToPage(m_page - 1);
        break;
    case u'F':
        fitPage();
        break;
    case u'W':
        fitPageWidth();
        break;
    case u'X':
        close();
        break;
    case u'+':
        setZoom(m_zoom + m_system.Preview.zoomStep);
        break;
    case u'-':
        setZoom(m_zoom - m_system.Preview.zoomStep);
        break;
    default:
        break; // every other character is discarded
    }
    return true;
}
