#include "controls/TDBNavigator.h"

#include "controls/NavigatorAccessible.h"
#include "data/dataset/TDataSet.h"
#include "data/dataset/TDataSource.h"
#include "shell/MessageBoxes.h"
#include "shell/TApplication.h"

#include <QEvent>
#include <QStringList>
#include <algorithm>

namespace {

constexpr const char* kButtonNames[kNavigatorButtonCount] = {
    "nbFirst",  "nbPrior", "nbNext", "nbLast",   "nbInsert",
    "nbDelete", "nbEdit",  "nbPost", "nbCancel", "nbRefresh"};

// Delay of the first repeat of nbPrior and nbNext, and the interval after it.
constexpr int kRepeatDelayMs = 400;
constexpr int kRepeatIntervalMs = 100;

constexpr int kMinButtonWidth = 20;
constexpr int kMinHeight = 18;

} // namespace

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
    installNavigatorAccessibility();
    shown_.fill(true);
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        const auto kind = static_cast<TNavigateBtn>(i);
        auto* b = new NavigatorButton(kind, this);
        b->setObjectName(buttonName(kind));
        b->setAccessibleName(accessibleButtonName(kind));
        if (kind == nbPrior || kind == nbNext) {
            b->setAutoRepeat(true);
            b->setAutoRepeatDelay(kRepeatDelayMs);
            b->setAutoRepeatInterval(kRepeatIntervalMs);
        }
        connect(b, &QAbstractButton::clicked, this, guarded([this, kind] { BtnClick(kind); }));
        buttons_[static_cast<size_t>(i)] = b;
    }
    updateButtons();
    layoutButtons();
}

TDBNavigator::~TDBNavigator() {
    link_.setDataSource(nullptr);
}

void TDBNavigator::setDataSourceName(const QString& name) {
    binding_.setName(name);
}

void TDBNavigator::setDataSource(TDataSource* source) {
    binding_.setDataSource(source);
}

QString TDBNavigator::buttonName(TNavigateBtn which) {
    return QString::fromLatin1(kButtonNames[which]);
}

QString TDBNavigator::accessibleButtonName(TNavigateBtn which) {
    static const QString names[kNavigatorButtonCount] = {
        QStringLiteral("Первая"),    QStringLiteral("Предыдущая"), QStringLiteral("Следующая"),
        QStringLiteral("Последняя"), QStringLiteral("Вставить"),   QStringLiteral("Удалить"),
        QStringLiteral("Изменить"),  QStringLiteral("Сохранить"),  QStringLiteral("Отменить"),
        QStringLiteral("Обновить")};
    return names[which];
}

QString TDBNavigator::visibleButtons() const {
    QStringList names;
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        if (shown_[static_cast<size_t>(i)])
            names << buttonName(static_cast<TNavigateBtn>(i));
    }
    return names.join(QLatin1Char(','));
}

void TDBNavigator::setVisibleButtons(const QString& names) {
    const QStringList wanted = names.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        const QString name = buttonName(static_cast<TNavigateBtn>(i));
        shown_[static_cast<size_t>(i)] =
            wanted.isEmpty() || std::any_of(wanted.cbegin(), wanted.cend(), [&](const QString& w) {
                return w.trimmed().compare(name, Qt::CaseInsensitive) == 0;
            });
    }
    layoutButtons();
}

QAbstractButton* TDBNavigator::button(TNavigateBtn which) const {
    return buttons_[static_cast<size_t>(which)];
}

bool TDBNavigator::isButtonShown(TNavigateBtn which) const {
    return shown_[static_cast<size_t>(which)];
}

int TDBNavigator::shownCount() const {
    return static_cast<int>(std::count(shown_.cbegin(), shown_.cend(), true));
}

TDataSet* TDBNavigator::openDataSet() const {
    const TDataSource* source = link_.DataSource();
    TDataSet* ds = source ? source->DataSet() : nullptr;
    return ds && ds->Active() ? ds : nullptr;
}

void TDBNavigator::BtnClick(TNavigateBtn which) {
    TDataSet* ds = openDataSet();
    if (!ds)
        return;
    switch (which) {
    case nbFirst:
        ds->First();
        break;
    case nbPrior:
        ds->Prior();
        break;
    case nbNext:
        ds->Next();
        break;
    case nbLast:
        ds->Last();
        break;
    case nbInsert:
        ds->Insert();
        break;
    case nbDelete:
        if (!confirmDelete_ || confirmDeleteRecord())
            ds->Delete();
        break;
    case nbEdit:
        ds->Edit();
        break;
    case nbPost:
        ds->Post();
        break;
    case nbCancel:
        ds->Cancel();
        break;
    case nbRefresh:
        ds->Refresh();
        break;
    }
}

void TDBNavigator::updateButtons() {
    std::array<bool, kNavigatorButtonCount> on{};
    const TDataSet* ds = link_.Active() ? openDataSet() : nullptr;
    if (ds && isEnabled()) {
        const bool modifiable = ds->CanModify();
        const bool editing = link_.Editing();
        on[nbFirst] = on[nbPrior] = !ds->Bof();
        on[nbNext] = on[nbLast] = !ds->Eof();
        on[nbInsert] = on[nbRefresh] = modifiable;
        on[nbDelete] = modifiable && !(ds->Bof() && ds->Eof());
        on[nbEdit] = modifiable && !editing;
        on[nbPost] = on[nbCancel] = modifiable && editing;
    }
    for (int i = 0; i < kNavigatorButtonCount; ++i)
        buttons_[static_cast<size_t>(i)]->setEnabled(on[static_cast<size_t>(i)]);
}

void TDBNavigator::layoutButtons() {
    if (laying_)
        return;
    laying_ = true;
    // Shown buttons share the width equally; the bar is cut to a whole
    // multiple of the button width and never smaller than the minimums.
    const int count = std::max(1, shownCount());
    setMinimumSize(count * kMinButtonWidth, kMinHeight);
    const int each = std::max(width(), count * kMinButtonWidth) / count;
    const int height = std::max(this->height(), kMinHeight);
    if (size() != QSize(each * count, height))
        resize(each * count, height);
    int x = 0;
    for (int i = 0; i < kNavigatorButtonCount; ++i) {
        NavigatorButton* b = buttons_[static_cast<size_t>(i)];
        if (!shown_[static_cast<size_t>(i)]) {
            b->hide();
            continue;
        }
        b->setGeometry(x, 0, each, height);
        b->show();
        x += each;
    }
    laying_ = false;
}

void TDBNavigator::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutButtons();
}

void TDBNavigator::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        updateButtons();
    QWidget::changeEvent(event);
}
