#pragma once
// One button of the navigator bar with its glyph.
#include <QAbstractButton>

/// The ten buttons of a navigator bar, in their fixed order; the value is the index.
enum TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};

/// Number of navigator buttons.
constexpr int kNavigatorButtonCount = 10;

/// A flat push button that paints its glyph: the normal image while enabled,
/// the greyed one while disabled. Glyphs are drawn as vectors so that they
/// stay sharp at any scale.
class NavigatorButton : public QAbstractButton {
    Q_OBJECT
public:
    NavigatorButton(TNavigateBtn kind, QWidget* parent);
    TNavigateBtn kind() const { return kind_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TNavigateBtn kind_;
};

/// Width and height of a button's glyph image (14 x 13; 10 x 13 for nbPrior and nbNext).
QSize navigatorGlyphSize(TNavigateBtn kind);
/// Paints a glyph into a box of navigatorGlyphSize at origin.
void paintNavigatorGlyph(QPainter& painter, QPointF origin, TNavigateBtn kind, bool enabled,
                         const QPalette& palette);
