#pragma once

// Pie-shaped progress gauge: a disc filled clockwise from twelve o'clock with the
// share of the maximum reached, and the percentage in the middle ("45%").
//
// The position is kept within 0..maximum: a larger value is stored as the
// maximum (the run driver sets 100 on a gauge of 22 to show it full), a negative
// one as 0, and lowering the maximum below the position lowers the position.
// The percentage is the whole part of position * 100 / maximum; a maximum of 0
// shows 0%. No border.

#include <QColor>
#include <QString>
#include <QWidget>

class Gauge : public QWidget {
    Q_OBJECT

public:
    explicit Gauge(QWidget *parent = nullptr);

    int Position() const { return position_; }
    void SetPosition(int position);
    // Moves the position by delta (clamped like SetPosition).
    void AddProgress(int delta);

    int MaxValue() const { return maxValue_; }
    // A negative maximum is taken as 0.
    void SetMaxValue(int maxValue);

    int PercentDone() const;
    // The text drawn in the middle: the percentage followed by "%".
    QString Text() const;

    QColor ForeColor() const { return foreColor_; }
    void SetForeColor(const QColor &color);
    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor &color);

    QSize sizeHint() const override { return {70, 70}; }

signals:
    // Position or maximum changed (not emitted when a setter changes nothing).
    void changed(int position, int maxValue);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Apply(qint64 position, int maxValue);

    int position_ = 0;
    int maxValue_ = 100;
    QColor foreColor_;
    QColor backColor_ = Qt::white;
};
