#pragma once

// Read-only numeric edit for the data versions: holds a number and shows it
// centred with the display format "#": rounded to a whole number (halves away
// from zero), no separators, and nothing at all for a value that rounds to 0.
// The run driver takes the shown text as the version it writes, so the text is
// the one place where the value is turned into digits.

#include <QLineEdit>
#include <QString>

class NumericEdit : public QLineEdit {
    Q_OBJECT

public:
    explicit NumericEdit(QWidget *parent = nullptr);

    double Value() const { return value_; }
    void SetValue(double value);

    // The text shown for the current value.
    QString DisplayText() const { return Format(value_); }

    // The display format "#" applied to a value.
    static QString Format(double value);

private:
    double value_ = 0;
};
