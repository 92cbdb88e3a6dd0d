#include "controls/NavigatorButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>

namespace {

QPainterPath triangle(QPointF a, QPointF b, QPointF c) {
    QPainterPath path;
    path.moveTo(a);
    path.lineTo(b);
    path.lineTo(c);
    path.closeSubpath();
    return path;
}

// The glyph's shape in its own box, as filled areas.
QPainterPath glyphPath(TNavigateBtn kind) {
    QPainterPath path;
    switch (kind) {
    case nbFirst:
        path.addRect(QRectF(2, 2, 2, 9));
        path.addPath(triangle({5, 6.5}, {11, 1}, {11, 12}));
        break;
    case nbPrior:
        path.addPath(triangle({2, 6.5}, {8, 1}, {8, 12}));
        break;
    case nbNext:
        path.addPath(triangle({8, 6.5}, {2, 1}, {2, 12}));
        break;
    case nbLast:
        path.addPath(triangle({9, 6.5}, {3, 1}, {3, 12}));
        path.addRect(QRectF(10, 2, 2, 9));
        break;
    case nbInsert:
        path.addRect(QRectF(2, 5.5, 10, 2));
        path.addRect(QRectF(6, 1.5, 2, 10));
        break;
    case nbDelete:
        path.addRect(QRectF(2, 5.5, 10, 2));
        break;
    case nbEdit:
        path.addPath(triangle({7, 2}, {1.5, 11}, {12.5, 11}));
        break;
    case nbPost: {
        QPainterPathStroker stroker;
        stroker.setWidth(2.2);
        QPainterPath tick;
        tick.moveTo(2, 7);
        tick.lineTo(5, 10);
        tick.lineTo(12, 3);
        path = stroker.createStroke(tick);
        break;
    }
    case nbCancel: {
        QPainterPathStroker stroker;
        stroker.setWidth(2.2);
        QPainterPath cross;
        cross.moveTo(3, 2.5);
        cross.lineTo(11, 10.5);
        cross.moveTo(11, 2.5);
        cross.lineTo(3, 10.5);
        path = stroker.createStroke(cross);
        break;
    }
    case nbRefresh: {
        QPainterPathStroker stroker;
        stroker.setWidth(1.8);
        QPainterPath arc;
        arc.arcMoveTo(QRectF(2.5, 2, 9, 9), 60);
        arc.arcTo(QRectF(2.5, 2, 9, 9), 60, 280);
        path = stroker.createStroke(arc);
        path.addPath(triangle({8.5, 0.5}, {12.5, 3.5}, {8, 6}));
        break;
    }
    }
    return path.simplified();
}

} // namespace

QSize navigatorGlyphSize(TNavigateBtn kind) {
    return kind == nbPrior || kind == nbNext ? QSize(10, 13) : QSize(14, 13);
}

void paintNavigatorGlyph(QPainter& painter, QPointF origin, TNavigateBtn kind, bool enabled,
                         const QPalette& palette) {
    const QPainterPath path = glyphPath(kind);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    if (enabled) {
        painter.translate(origin);
        painter.fillPath(path, palette.color(QPalette::Active, QPalette::ButtonText));
    } else {
        // The greyed image: an etched shape, light shadow under a grey face.
        painter.translate(origin + QPointF(1, 1));
        painter.fillPath(path, palette.color(QPalette::Light));
        painter.translate(-1, -1);
        painter.fillPath(path, palette.color(QPalette::Disabled, QPalette::ButtonText));
    }
    painter.restore();
}

NavigatorButton::NavigatorButton(TNavigateBtn kind, QWidget* parent)
    : QAbstractButton(parent), kind_(kind) {
    setFocusPolicy(Qt::NoFocus);
}

QSize NavigatorButton::sizeHint() const {
    return {24, 25};
}

void NavigatorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    const QSize glyph = navigatorGlyphSize(kind_);
    const int shift = isDown() ? 1 : 0;
    const QPointF origin((width() - glyph.width()) / 2 + shift,
                         (height() - glyph.height()) / 2 + shift);
    paintNavigatorGlyph(painter, origin, kind_, isEnabled(), palette());
}
