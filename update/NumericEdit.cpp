#include "update/NumericEdit.h"

#include <cmath>

NumericEdit::NumericEdit(QWidget *parent) : QLineEdit(parent) {
    setReadOnly(true);
    setAlignment(Qt::AlignCenter);
}

void NumericEdit::SetValue(double value) {
    value_ = value;
    setText(DisplayText());
}

QString NumericEdit::Format(double value) {
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const double whole = std::round(value); // halves away from zero
    if (whole == 0)
        return QString(); // "#" has no digit to show for zero
    return QString::number(whole, 'f', 0);
}
