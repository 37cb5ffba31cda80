#include "update/Mnt_Componentes.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

BevelPanel::BevelPanel(QWidget *parent, int bevelWidth, int borderWidth)
    : QWidget(parent), bevelWidth_(bevelWidth), borderWidth_(borderWidth) {
    setAutoFillBackground(true);
}

QRect BevelPanel::ClientRect() const {
    const int inset = 2 * bevelWidth_ + borderWidth_;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void BevelPanel::paintEvent(QPaintEvent *) {
    QPainter p(this);
    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Dark);
    // One bevel: lines of `width` pixels, top-left in one colour, bottom-right in the other.
    auto bevel = [&](QRect r, const QColor &topLeft, const QColor &bottomRight) {
        for (int i = 0; i < bevelWidth_; ++i) {
            p.setPen(topLeft);
            p.drawLine(r.topLeft(), r.topRight());
            p.drawLine(r.topLeft(), r.bottomLeft());
            p.setPen(bottomRight);
            p.drawLine(r.bottomLeft(), r.bottomRight());
            p.drawLine(r.topRight(), r.bottomRight());
            r.adjust(1, 1, -1, -1);
        }
    };
    const QRect outer = rect();
    bevel(outer, light, dark);
    const int inset = bevelWidth_ + borderWidth_;
    bevel(outer.adjusted(inset, inset, -inset, -inset), dark, light);
}

CaptionLabel::CaptionLabel(const QString &caption, QWidget *parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    SetCaption(caption);
}

void CaptionLabel::SetCaption(const QString &caption) {
    caption_ = caption;
    QString shown = caption;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setText(shown);
}
