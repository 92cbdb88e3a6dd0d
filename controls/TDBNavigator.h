#pragma once
// The navigator bar: up to ten buttons that move through, edit and refresh
// the data set of one data source.
#include "controls/ControlDataLink.h"
#include "controls/DataSourceBinding.h"
#include "controls/NavigatorButton.h"

#include <QWidget>
#include <array>

class QAbstractButton;
class TDataSet;
class TDataSource;

/// A row of navigator buttons bound to a data source.
///
/// The window declares which buttons show (property visibleButtons, e.g.
/// "nbFirst,nbPrior,nbNext"; empty means all ten). Shown buttons share the
/// bar's width equally. Each button enables itself from the data set's
/// state; a click on an enabled button performs BtnClick.
class TDBNavigator : public QWidget, private DataLinkClient {
    Q_OBJECT
    Q_PROPERTY(QString dataSourceName READ dataSourceName WRITE setDataSourceName)
    Q_PROPERTY(QString visibleButtons READ visibleButtons WRITE setVisibleButtons)
    Q_PROPERTY(bool confirmDelete READ ConfirmDelete WRITE setConfirmDelete)

public:
    explicit TDBNavigator(QWidget* parent = nullptr);
    ~TDBNavigator() override;

    QString dataSourceName() const { return binding_.name(); }
    /// Binds to the data module's data source of that name (now or when the module is created).
    void setDataSourceName(const QString& name);
    TDataSource* DataSource() const { return link_.DataSource(); }
    void setDataSource(TDataSource* source);

    /// Shown buttons as a comma-separated list of names in index order.
    QString visibleButtons() const;
    /// Sets the shown buttons from names such as "nbFirst,nbPost"; empty shows all ten.
    void setVisibleButtons(const QString& names);

    /// Asks "Delete record?" before nbDelete deletes (on by default).
    bool ConfirmDelete() const { return confirmDelete_; }
    void setConfirmDelete(bool confirm) { confirmDelete_ = confirm; }

    /// Performs a button's action exactly as a click would, whether or not
    /// the button is shown or enabled. Does nothing without a data source or
    /// while its data set is closed. Errors propagate to the caller.
    void BtnClick(TNavigateBtn button);
    void BtnClick(int index) { BtnClick(static_cast<TNavigateBtn>(index)); }

    /// The button widget (for inspection; hidden buttons exist too).
    QAbstractButton* button(TNavigateBtn which) const;
    bool isButtonShown(TNavigateBtn which) const;

    /// "nbFirst" ... "nbRefresh".
    static QString buttonName(TNavigateBtn which);
    /// The short Russian name assistive technology reads for a button.
    static QString accessibleButtonName(TNavigateBtn which);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void linkActiveChanged() override { updateButtons(); }
    void linkRecordChanged(TField*) override { updateButtons(); }
    void linkDataSetChanged() override { updateButtons(); }
    void linkDataSetScrolled(int) override { updateButtons(); }
    void linkEditingChanged() override { updateButtons(); }
    void linkStateChanged() override { updateButtons(); }

    void updateButtons();
    void layoutButtons();
    int shownCount() const;
    TDataSet* openDataSet() const;

    ControlDataLink link_{*this};
    DataSourceBinding binding_{link_};
    std::array<NavigatorButton*, kNavigatorButtonCount> buttons_{};
    std::array<bool, kNavigatorButtonCount> shown_{};
    bool confirmDelete_ = true;
    bool laying_ = false;
};
