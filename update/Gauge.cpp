#include "update/Gauge.h"

#include <QFont>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

// Windows' default colour of the active caption gradient, the fill colour of the
// update window's gauges.
static const QColor Gradient_Active_Caption(185, 209, 234);

Gauge::Gauge(QWidget *parent) : QWidget(parent), foreColor_(Gradient_Active_Caption) {
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(19);
    f.setBold(true);
    setFont(f);
}

void Gauge::SetPosition(int position) {
    Apply(position, maxValue_);
}

void Gauge::AddProgress(int delta) {
    Apply(static_cast<qint64>(position_) + delta, maxValue_);
}

void Gauge::SetMaxValue(int maxValue) {
    Apply(position_, std::max(maxValue, 0));
}

void Gauge::Apply(qint64 position, int maxValue) {
    const int clamped = static_cast<int>(std::clamp<qint64>(position, 0, maxValue));
    if (clamped == position_ && maxValue == maxValue_)
        return;
    position_ = clamped;
    maxValue_ = maxValue;
    update();
    emit changed(position_, maxValue_);
}

int Gauge::PercentDone() const {
    if (maxValue_ == 0)
        return 0;
    return static_cast<int>(static_cast<qint64>(position_) * 100 / maxValue_);
}

QString Gauge::Text() const {
    return QString::number(PercentDone()) + QLatin1Char('%');
}

void Gauge::SetForeColor(const QColor &color) {
    foreColor_ = color;
    update();
}

void Gauge::SetBackColor(const QColor &color) {
    backColor_ = color;
    update();
}

void Gauge::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(foreColor_);
    p.setBrush(backColor_);
    p.drawEllipse(disc);
    const int percent = PercentDone();
    if (percent > 0) {
        p.setBrush(foreColor_);
        // Qt angles are in 1/16 degree, counter-clockwise from three o'clock.
        if (percent >= 100)
            p.drawEllipse(disc);
        else
            p.drawPie(disc, 90 * 16, -percent * 360 * 16 / 100);
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.setFont(font());
    p.drawText(rect(), Qt::AlignCenter, Text());
}
