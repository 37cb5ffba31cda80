#pragma once

// Oracle's value rules as the engine applies them: numbers, dates in the session
// format, and the text forms Oracle gives them.
//
// A DATE is kept in SQLite as text: a marker character followed by
// "YYYY-MM-DD HH:MM:SS", so dates sort and compare among themselves and can be told
// apart from ordinary text wherever they travel.

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace platform::db::embedded {

inline constexpr char16_t kDateMark = 0x0001;
// The session's NLS_DATE_FORMAT.
inline const QString kSessionDateFormat = QStringLiteral("DD/MM/RR");

QString storeDate(const QDateTime &dateTime);
bool isStoredDate(const QString &text);
QDateTime loadDate(const QString &stored);

// TO_DATE: throws DatabaseError (ORA-01861, ORA-01843, ORA-01847, ...) when the
// text does not fit the format.
QDateTime parseDate(const QString &text, const QString &format);
// TO_CHAR(date, format).
QString formatDate(const QDateTime &dateTime, const QString &format);

// Text to number as Oracle converts it implicitly; false when it is not a number.
bool parseNumber(const QString &text, double &value);
// The text Oracle gives a number (TO_CHAR without format): "0.5" is ".5".
QString numberText(double value);
// Rounds half away from zero to `scale` decimal places, in decimal.
double roundDecimal(double value, int scale);
// Truncates toward zero to `scale` decimal places.
double truncDecimal(double value, int scale);
// A whole double becomes qlonglong, anything else stays double.
QVariant numberVariant(double value);

} // namespace platform::db::embedded
