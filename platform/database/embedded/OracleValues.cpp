#include "platform/database/embedded/OracleValues.h"

#include "platform/Exception.h"

#include <QHash>
#include <cmath>

namespace platform::db::embedded {

namespace {

[[noreturn]] void fail(const char *text) {
    throw DatabaseError(QString::fromLatin1(text));
}

// Elements of a date format, longest first so that "HH24" wins over "HH".
const char *const kElements[] = {"YYYY", "RRRR", "HH24", "HH12", "MONTH", "MON", "YY", "RR",
                                 "MM",   "DD",   "HH",   "MI",   "SS",    "AM",  "PM"};

QString elementAt(const QString &format, int i) {
    for (const char *e : kElements) {
        if (format.mid(i, int(qstrlen(e))).compare(QLatin1String(e), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(e);
    }
    return QString();
}

bool isSeparator(QChar c) {
    return c.isSpace() || c.isPunct() || c.isSymbol();
}

const char *const kMonths[] = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                               "MAY",       "JUNE",     "JULY",     "AUGUST",
                               "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};

int rrYear(int twoDigits) {
    const int now = QDate::currentDate().year();
    const int century = now / 100 * 100;
    const int current = now % 100;
    if (current < 50)
        return twoDigits < 50 ? century + twoDigits : century - 100 + twoDigits;
    return twoDigits < 50 ? century + 100 + twoDigits : century + twoDigits;
}

} // namespace

QString storeDate(const QDateTime &dateTime) {
    return QString(QChar(kDateMark)) + dateTime.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

bool isStoredDate(const QString &text) {
    return !text.isEmpty() && text[0] == QChar(kDateMark);
}

QDateTime loadDate(const QString &stored) {
    // Local date-times are dear to build (the time zone is looked up each time)
    // and stored dates repeat a lot, so recent ones are kept.
    thread_local QHash<QString, QDateTime> recent;
    const auto found = recent.constFind(stored);
    if (found != recent.cend())
        return *found;
    // The fixed stored form: mark, "yyyy-MM-dd HH:mm:ss".
    auto number = [&](int from, int digits, bool &ok) {
        int value = 0;
        for (int k = from; k < from + digits; ++k) {
            const QChar c = stored[k];
            if (c < u'0' || c > u'9') {
                ok = false;
                return 0;
            }
            value = value * 10 + (c.unicode() - u'0');
        }
        return value;
    };
    QDateTime value;
    bool ok = stored.size() == 20 && stored[5] == u'-' && stored[8] == u'-' && stored[11] == u' ' &&
              stored[14] == u':' && stored[17] == u':';
    if (ok) {
        const QDate date(number(1, 4, ok), number(6, 2, ok), number(9, 2, ok));
        const QTime time(number(12, 2, ok), number(15, 2, ok), number(18, 2, ok));
        if (ok)
            value = QDateTime(date, time);
    }
    if (recent.size() >= 4096)
        recent.clear();
    recent.insert(stored, value);
    return value;
}

QDateTime parseDate(const QString &text, const QString &format) {
    int year = -1, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool pm = false, hour12 = false;
    const QString in = text.trimmed();
    int p = 0; // position in the input
    int f = 0; // position in the format
    const int n = int(in.size());
    while (f < format.size()) {
        const QString element = elementAt(format, f);
        if (element.isEmpty()) {
            const QChar fc = format[f];
            if (fc == QLatin1Char('"')) {
                const int close = int(format.indexOf(QLatin1Char('"'), f + 1));
                if (close < 0)
                    fail("ORA-01821: date format not recognized");
                const QString literal = format.mid(f + 1, close - f - 1);
                if (in.mid(p, literal.size()) != literal)
                    fail("ORA-01861: literal does not match format string");
                p += int(literal.size());
                f = close + 1;
                continue;
            }
            if (!isSeparator(fc))
                fail("ORA-01821: date format not recognized");
            // Oracle is lenient with punctuation: any run of separators matches.
            if (p < n && isSeparator(in[p])) {
                while (p < n && isSeparator(in[p]))
                    ++p;
            } else if (p < n && !in[p].isDigit() && !in[p].isLetter()) {
                fail("ORA-01861: literal does not match format string");
            }
            ++f;
            continue;
        }
        f += int(element.size());
        if (p >= n)
            fail("ORA-01840: input value not long enough for date format");
        if (element == QLatin1String("MON") || element == QLatin1String("MONTH")) {
            int found = 0;
            for (int m = 0; m < 12 && !found; ++m) {
                const QString full = QString::fromLatin1(kMonths[m]);
                for (const QString &name : {full, full.left(3)}) {
                    if (in.mid(p, name.size()).compare(name, Qt::CaseInsensitive) == 0) {
                        found = m + 1;
                        p += int(name.size());
                        break;
                    }
                }
            }
            if (!found)
                fail("ORA-01843: not a valid month");
            month = found;
            continue;
        }
        if (element == QLatin1String("AM") || element == QLatin1String("PM")) {
            const QString word = in.mid(p, 2).toUpper();
            if (word != QLatin1String("AM") && word != QLatin1String("PM"))
                fail("ORA-01855: AM/A.M. or PM/P.M. required");
            pm = word == QLatin1String("PM");
            p += 2;
            continue;
        }
        const int maxDigits = (element == QLatin1String("YYYY") ||
                               element == QLatin1String("RRRR") || element == QLatin1String("RR"))
                                  ? 4
                                  : 2;
        int start = p;
        while (p < n && p - start < maxDigits && in[p].isDigit())
            ++p;
        if (p == start)
            fail("ORA-01858: a non-numeric character was found where a numeric was expected");
        const int digits = p - start;
        const int value = in.mid(start, digits).toInt();
        if (element == QLatin1String("YYYY") || element == QLatin1String("RRRR")) {
            year = value;
        } else if (element == QLatin1String("YY")) {
            year = QDate::currentDate().year() / 100 * 100 + value;
        } else if (element == QLatin1String("RR")) {
            year = digits <= 2 ? rrYear(value) : value;
        } else if (element == QLatin1String("MM")) {
            if (value < 1 || value > 12)
                fail("ORA-01843: not a valid month");
            month = value;
        } else if (element == QLatin1String("DD")) {
            if (value < 1 || value > 31)
                fail("ORA-01847: day of month must be between 1 and last day of month");
            day = value;
        } else if (element == QLatin1String("HH24")) {
            if (value > 23)
                fail("ORA-01850: hour must be between 0 and 23");
            hour = value;
        } else if (element == QLatin1String("HH") || element == QLatin1String("HH12")) {
            if (value < 1 || value > 12)
                fail("ORA-01849: hour must be between 1 and 12");
            hour = value;
            hour12 = true;
        } else if (element == QLatin1String("MI")) {
            if (value > 59)
                fail("ORA-01851: minutes must be between 0 and 59");
            minute = value;
        } else if (element == QLatin1String("SS")) {
            if (value > 59)
                fail("ORA-01852: seconds must be between 0 and 59");
            second = value;
        }
    }
    if (p < n)
        fail("ORA-01830: date format picture ends before converting entire input string");
    if (year < 0) {
        year = QDate::currentDate().year();
        if (!format.contains(QLatin1String("MM"), Qt::CaseInsensitive) &&
            !format.contains(QLatin1String("MON"), Qt::CaseInsensitive))
            month = QDate::currentDate().month();
    }
    if (year < 1 || year > 9999)
        fail("ORA-01841: (full) year must be between -4713 and +9999, and not be 0");
    if (hour12)
        hour = hour % 12 + (pm ? 12 : 0);
    const QDate date(year, month, day);
    if (!date.isValid())
        fail("ORA-01839: date not valid for month specified");
    return QDateTime(date, QTime(hour, minute, second));
}

QString formatDate(const QDateTime &dt, const QString &format) {
    QString out;
    int f = 0;
    while (f < format.size()) {
        const QString element = elementAt(format, f);
        if (element.isEmpty()) {
            const QChar fc = format[f];
            if (fc == QLatin1Char('"')) {
                const int close = int(format.indexOf(QLatin1Char('"'), f + 1));
                if (close < 0)
                    fail("ORA-01821: date format not recognized");
                out += format.mid(f + 1, close - f - 1);
                f = close + 1;
                continue;
            }
            if (!isSeparator(fc))
                fail("ORA-01821: date format not recognized");
            out += fc;
            ++f;
            continue;
        }
        f += int(element.size());
        const QDate d = dt.date();
        const QTime t = dt.time();
        auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
        if (element == QLatin1String("YYYY") || element == QLatin1String("RRRR"))
            out += QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
        else if (element == QLatin1String("YY") || element == QLatin1String("RR"))
            out += two(d.year() % 100);
        else if (element == QLatin1String("MM"))
            out += two(d.month());
        else if (element == QLatin1String("MON"))
            out += QString::fromLatin1(kMonths[d.month() - 1]).left(3);
        else if (element == QLatin1String("MONTH"))
            out += QString::fromLatin1(kMonths[d.month() - 1]).leftJustified(9);
        else if (element == QLatin1String("DD"))
            out += two(d.day());
        else if (element == QLatin1String("HH24"))
            out += two(t.hour());
        else if (element == QLatin1String("HH") || element == QLatin1String("HH12"))
            out += two(t.hour() % 12 == 0 ? 12 : t.hour() % 12);
        else if (element == QLatin1String("MI"))
            out += two(t.minute());
        else if (element == QLatin1String("SS"))
            out += two(t.second());
        else
            out += t.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM");
    }
    return out;
}

bool parseNumber(const QString &text, double &value) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    for (QChar c : t) {
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('-') ||
              c == QLatin1Char('+') || c == QLatin1Char('e') || c == QLatin1Char('E')))
            return false;
    }
    bool ok = false;
    value = t.toDouble(&ok);
    return ok && std::isfinite(value);
}

QString numberText(double value) {
    if (value == 0)
        return QStringLiteral("0");
    QString s = QString::number(value, 'f', 15);
    // Keep at most 15 significant digits, as the stored double carries.
    const int digitsBeforePoint = int(s.indexOf(QLatin1Char('.'))) - (value < 0 ? 1 : 0);
    const int decimals = std::max(0, 15 - std::max(0, digitsBeforePoint));
    s = QString::number(value, 'f', std::min(decimals, 15));
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s.startsWith(QLatin1String("0.")))
        s.remove(0, 1);
    else if (s.startsWith(QLatin1String("-0.")))
        s.remove(1, 1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

double roundDecimal(double value, int scale) {
    if (!std::isfinite(value))
        return value;
    const double power = std::pow(10.0, scale);
    const double quick = value * power;
    if (std::abs(quick) < 1e15 && std::abs(quick - std::round(quick)) < 1e-7)
        return std::round(quick) / power; // already at the scale
    // Round the shortest decimal text of the double, so 2.675 rounds to 2.68.
    const QString text = QString::number(value, 'g', 15);
    bool ok = false;
    const long double exact = text.toDouble(&ok);
    const long double factor = std::pow(10.0L, scale);
    long double scaled = exact * factor;
    scaled = std::round(scaled * (1 + 1e-15L));
    const double result = double(scaled / factor);
    return result == 0 ? 0.0 : result;
}

double truncDecimal(double value, int scale) {
    const long double factor = std::pow(10.0L, scale);
    const QString text = QString::number(value, 'g', 15);
    const long double exact = text.toDouble();
    const double result = double(std::trunc(exact * factor * (1 + 1e-15L)) / factor);
    return result == 0 ? 0.0 : result;
}

QVariant numberVariant(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::abs(value) < 9.0e15)
        return QVariant(qlonglong(value));
    return QVariant(value);
}

} // namespace platform::db::embedded
