// SQL functions the engine adds to SQLite: the column rules (ORA_PUT), sequences,
// and Oracle's versions of the functions SQLite lacks or treats differently.

#include "platform/Exception.h"
#include "platform/database/embedded/Engine.h"
#include "platform/database/embedded/OracleValues.h"

#include <cmath>
#include <functional>

namespace platform::db::embedded {

namespace {

// One argument as Oracle sees it: '' is NULL.
struct Value {
    enum Kind { Null, Integer, Real, Text } kind = Null;
    qint64 i = 0;
    double d = 0;
    QString s;

    bool isNull() const { return kind == Null; }
    bool isNumber() const { return kind == Integer || kind == Real; }
    bool isDate() const { return kind == Text && isStoredDate(s); }
};

Value arg(sqlite3_value *v) {
    Value out;
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        out.kind = Value::Integer;
        out.i = sqlite3_value_int64(v);
        out.d = double(out.i);
        break;
    case SQLITE_FLOAT:
        out.kind = Value::Real;
        out.d = sqlite3_value_double(v);
        break;
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        out.s = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                                  sqlite3_value_bytes(v));
        out.kind = out.s.isEmpty() ? Value::Null : Value::Text;
        break;
    default:
        break;
    }
    return out;
}

[[noreturn]] void fail(const char *text) {
    throw DatabaseError(QString::fromLatin1(text));
}

double toNumber(const Value &v) {
    if (v.isNumber())
        return v.d;
    if (v.isDate())
        fail("ORA-00932: inconsistent datatypes: expected NUMBER got DATE");
    double d = 0;
    if (!parseNumber(v.s, d))
        fail("ORA-01722: invalid number");
    return d;
}

QString toText(const Value &v) {
    if (v.kind == Value::Integer)
        return QString::number(v.i);
    if (v.kind == Value::Real)
        return numberText(v.d);
    if (v.isDate())
        return formatDate(loadDate(v.s), kSessionDateFormat);
    return v.s;
}

QDateTime toDate(const Value &v) {
    if (v.isDate())
        return loadDate(v.s);
    if (v.isNumber())
        fail("ORA-00932: inconsistent datatypes: expected DATE got NUMBER");
    return parseDate(v.s, kSessionDateFormat);
}

void resultText(sqlite3_context *ctx, const QString &text) {
    if (text.isEmpty()) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void resultNumber(sqlite3_context *ctx, double d) {
    if (std::isfinite(d) && d == std::floor(d) && std::abs(d) < 9.0e18)
        sqlite3_result_int64(ctx, qint64(d));
    else
        sqlite3_result_double(ctx, d);
}

void resultValue(sqlite3_context *ctx, sqlite3_value *v) {
    sqlite3_result_value(ctx, v);
}

using Body = std::function<void(sqlite3_context *, int, sqlite3_value **)>;

struct Registered {
    Engine *engine;
    Body body;
};

void call(sqlite3_context *ctx, int argc, sqlite3_value **argv) {
    auto *r = static_cast<Registered *>(sqlite3_user_data(ctx));
    try {
        r->body(ctx, argc, argv);
    } catch (const Exception &e) {
        const QByteArray text = e.Message().toUtf8();
        sqlite3_result_error(ctx, text.constData(), int(text.size()));
    }
}

void destroy(void *p) {
    delete static_cast<Registered *>(p);
}

void add(sqlite3 *db, Engine *engine, const char *name, int args, Body body,
         bool deterministic = true) {
    sqlite3_create_function_v2(
        db, name, args, SQLITE_UTF8 | (deterministic ? SQLITE_DETERMINISTIC : 0),
        new Registered{engine, std::move(body)}, call, nullptr, nullptr, destroy);
}

// ORA_PUT(value, target): the value as the column stores it, or the column's error.
void put(Engine *engine, sqlite3_context *ctx, sqlite3_value **argv) {
    const PutSpec &target = engine->putSpec(sqlite3_value_int(argv[1]));
    const Column &c = target.column;
    // Fast paths for the common cases: whole numbers into NUMBER, text into
    // VARCHAR2, judged on SQLite's own value without converting it.
    const int type = sqlite3_value_type(argv[0]);
    if (type == SQLITE_INTEGER && c.type == QLatin1String("NUMBER") && c.scale >= 0) {
        const qint64 n = sqlite3_value_int64(argv[0]);
        const int digits = c.precision > 0 ? c.precision - c.scale : 18;
        if (digits >= 18 ||
            (n < qint64(std::pow(10.0, digits)) && n > -qint64(std::pow(10.0, digits)))) {
            sqlite3_result_int64(ctx, n);
            return;
        }
    }
    if (type == SQLITE_TEXT && c.type == QLatin1String("VARCHAR2")) {
        const unsigned char *bytes = sqlite3_value_text(argv[0]);
        const int size = sqlite3_value_bytes(argv[0]);
        if (size > 0 && bytes[0] != kDateMark) {
            int characters = 0;
            for (int i = 0; i < size; ++i)
                characters += (bytes[i] & 0xC0) != 0x80;
            const int actual = c.charSemantics || engine->singleByte() ? characters : size;
            if (actual <= c.length) {
                sqlite3_result_value(ctx, argv[0]);
                return;
            }
        }
    }
    const Value v = arg(argv[0]);
    const QString where = engine->quotedOwnerName(target.table, c.name);
    if (v.isNull()) {
        if (c.notNull)
            throw DatabaseError(
                target.update
                    ? QStringLiteral("ORA-01407: cannot update (%1) to NULL").arg(where)
                    : QStringLiteral("ORA-01400: cannot insert NULL into (%1)").arg(where));
        sqlite3_result_null(ctx);
        return;
    }
    if (c.type == QLatin1String("NUMBER")) {
        double d = toNumber(v);
        if (c.scale >= 0 || c.precision > 0)
            d = roundDecimal(d, c.scale < 0 ? 0 : c.scale);
        if (c.precision > 0 &&
            std::abs(d) >= std::pow(10.0, c.precision - (c.scale < 0 ? 0 : c.scale)))
            fail("ORA-01438: value larger than specified precision allowed for this column");
        if (v.kind == Value::Integer && c.scale <= 0 && c.precision <= 0)
            sqlite3_result_int64(ctx, v.i);
        else
            resultNumber(ctx, d);
        return;
    }
    if (c.type == QLatin1String("DATE")) {
        const QByteArray utf8 = storeDate(toDate(v)).toUtf8();
        sqlite3_result_text(ctx, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return;
    }
    QString text = toText(v);
    const int actual = c.charSemantics ? int(text.toUcs4().size()) : engine->byteLength(text);
    if (actual > c.length)
        throw DatabaseError(QStringLiteral("ORA-12899: value too large for column %1 (actual: %2, "
                                           "maximum: %3)")
                                .arg(where)
                                .arg(actual)
                                .arg(c.length));
    if (c.type == QLatin1String("CHAR") && actual < c.length)
        text += QString(c.length - actual, QLatin1Char(' '));
    resultText(ctx, text);
}

int compareValues(const Value &a, const Value &b) {
    if (a.isNumber() || b.isNumber()) {
        const double x = toNumber(a), y = toNumber(b);
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return a.s < b.s ? -1 : (a.s > b.s ? 1 : 0);
}

} // namespace

void registerFunctions(sqlite3 *db, Engine *engine) {
    add(db, engine, "ORA_PUT", 2,
        [engine](sqlite3_context *ctx, int, sqlite3_value **argv) { put(engine, ctx, argv); });
    add(
        db, engine, "ORA_NEXTVAL", 1,
        [engine](sqlite3_context *ctx, int, sqlite3_value **argv) {
            sqlite3_result_int64(ctx, engine->nextValue(arg(argv[0]).s));
        },
        false);
    add(
        db, engine, "ORA_CURRVAL", 1,
        [engine](sqlite3_context *ctx, int, sqlite3_value **argv) {
            sqlite3_result_int64(ctx, engine->currentValue(arg(argv[0]).s));
        },
        false);
    add(
        db, engine, "ORA_SYSDATE", 0,
        [](sqlite3_context *ctx, int, sqlite3_value **) {
            resultText(ctx, storeDate(QDateTime::currentDateTime()));
        },
        false);
    add(db, engine, "ORA_CONCAT", -1, [](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
        QString out;
        for (int i = 0; i < argc; ++i)
            out += toText(arg(argv[i]));
        resultText(ctx, out);
    });
    auto textFunction = [&](const char *name, std::function<QString(const QString &)> f) {
        add(db, engine, name, 1, [f](sqlite3_context *ctx, int, sqlite3_value **argv) {
            const Value v = arg(argv[0]);
            if (v.isNull())
                sqlite3_result_null(ctx);
            else
                resultText(ctx, f(toText(v)));
        });
    };
    textFunction("UPPER", [](const QString &s) { return s.toUpper(); });
    textFunction("LOWER", [](const QString &s) { return s.toLower(); });
    textFunction("INITCAP", [](const QString &s) {
        QString out = s.toLower();
        bool start = true;
        for (QChar &c : out) {
            if (c.isLetterOrNumber()) {
                if (start)
                    c = c.toUpper();
                start = false;
            } else {
                start = true;
            }
        }
        return out;
    });
    add(db, engine, "LENGTH", 1, [](sqlite3_context *ctx, int, sqlite3_value **argv) {
        const Value v = arg(argv[0]);
        if (v.isNull())
            sqlite3_result_null(ctx);
        else
            sqlite3_result_int64(ctx, toText(v).toUcs4().size());
    });
    add(db, engine, "SUBSTR", -1, [](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
        if (argc < 2 || argc > 3)
            fail("ORA-00909: invalid number of arguments");
        const Value v = arg(argv[0]);
        const Value p = arg(argv[1]);
        const Value l = argc == 3 ? arg(argv[2]) : Value();
        if (v.isNull() || p.isNull() || (argc == 3 && l.isNull())) {
            sqlite3_result_null(ctx);
            return;
        }
        const QString s = toText(v);
        qint64 pos = qint64(std::trunc(toNumber(p)));
        const qint64 n = s.size();
        if (pos == 0)
            pos = 1;
        if (pos < 0)
            pos = n + pos + 1;
        if (pos < 1 || pos > n) {
            sqlite3_result_null(ctx);
            return;
        }
        qint64 len = n - pos + 1;
        if (argc == 3) {
            len = qint64(std::trunc(toNumber(l)));
            if (len < 1) {
                sqlite3_result_null(ctx);
                return;
            }
        }
        resultText(ctx, s.mid(pos - 1, len));
    });
    add(db, engine, "INSTR", -1, [](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
        if (argc < 2 || argc > 4)
            fail("ORA-00909: invalid number of arguments");
        const Value v = arg(argv[0]), f = arg(argv[1]);
        if (v.isNull() || f.isNull()) {
            sqlite3_result_null(ctx);
            return;
        }
        const QString s = toText(v), find = toText(f);
        qint64 pos = argc > 2 ? qint64(toNumber(arg(argv[2]))) : 1;
        qint64 occurrence = argc > 3 ? qint64(toNumber(arg(argv[3]))) : 1;
        if (pos == 0 || occurrence < 1) {
            sqlite3_result_int64(ctx, 0);
            return;
        }
        qint64 found = -1;
        if (pos > 0) {
            qint64 from = pos - 1;
            while (occurrence-- > 0) {
                found = s.indexOf(find, from);
                if (found < 0)
                    break;
                from = found + 1;
            }
        } else {
            qint64 from = s.size() + pos;
            while (occurrence-- > 0) {
                found = s.lastIndexOf(find, from);
                if (found < 0)
                    break;
                from = found - 1;
            }
        }
        sqlite3_result_int64(ctx, found + 1);
    });
    add(db, engine, "NVL", 2, [](sqlite3_context *ctx, int, sqlite3_value **argv) {
        resultValue(ctx, arg(argv[0]).isNull() ? argv[1] : argv[0]);
    });
    add(db, engine, "NVL2", 3, [](sqlite3_context *ctx, int, sqlite3_value **argv) {
        resultValue(ctx, arg(argv[0]).isNull() ? argv[2] : argv[1]);
    });
    add(db, engine, "DECODE", -1, [](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
        if (argc < 3)
            fail("ORA-00938: not enough arguments for function");
        const Value v = arg(argv[0]);
        int i = 1;
        for (; i + 1 < argc; i += 2) {
            const Value s = arg(argv[i]);
            if ((v.isNull() && s.isNull()) ||
                (!v.isNull() && !s.isNull() && compareValues(v, s) == 0)) {
                resultValue(ctx, argv[i + 1]);
                return;
            }
        }
        if (i < argc)
            resultValue(ctx, argv[i]);
        else
            sqlite3_result_null(ctx);
    });
    for (const char *name : {"ORA_GREATEST", "ORA_LEAST"}) {
        const bool greatest = qstrcmp(name, "ORA_GREATEST") == 0;
        add(db, engine, name, -1, [greatest](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
            int best = 0;
            for (int i = 0; i < argc; ++i) {
                if (arg(argv[i]).isNull()) {
                    sqlite3_result_null(ctx);
                    return;
                }
                const int c = compareValues(arg(argv[i]), arg(argv[best]));
                if ((greatest && c > 0) || (!greatest && c < 0))
                    best = i;
            }
            resultValue(ctx, argv[best]);
        });
    }
    add(db, engine, "TO_CHAR", -1, [](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
        if (argc < 1 || argc > 2)
            fail("ORA-00909: invalid number of arguments");
        const Value v = arg(argv[0]);
        if (v.isNull()) {
            sqlite3_result_null(ctx);
            return;
        }
        if (argc == 1) {
            resultText(ctx, toText(v));
            return;
        }
        const QString format = toText(arg(argv[1]));
        if (v.isDate()) {
            resultText(ctx, formatDate(loadDate(v.s), format));
            return;
        }
        // Number formats: 9 and 0 digits, one decimal point, FM.
        const double d = toNumber(v);
        QString f = format.toUpper();
        const bool fm = f.startsWith(QLatin1String("FM"));
        if (fm)
            f.remove(0, 2);
        for (QChar c : f) {
            if (c != QLatin1Char('9') && c != QLatin1Char('0') && c != QLatin1Char('.') &&
                c != QLatin1Char('D'))
                fail("ORA-01481: invalid number format model");
        }
        f.replace(QLatin1Char('D'), QLatin1Char('.'));
        const qsizetype point = f.indexOf(QLatin1Char('.'));
        const int decimals = point < 0 ? 0 : int(f.size() - point - 1);
        const QString intPart = point < 0 ? f : f.left(point);
        QString digits = QString::number(std::abs(roundDecimal(d, decimals)), 'f', decimals);
        QString whole = digits.section(QLatin1Char('.'), 0, 0);
        const QString fraction = decimals ? digits.section(QLatin1Char('.'), 1) : QString();
        if (whole.size() > intPart.size()) {
            resultText(ctx, QString(f.size() + 1, QLatin1Char('#')));
            return;
        }
        const qsizetype zeroAt = intPart.indexOf(QLatin1Char('0'));
        const int minDigits = zeroAt < 0 ? 0 : int(intPart.size() - zeroAt);
        if (whole == QLatin1String("0") && minDigits == 0 && decimals > 0)
            whole.clear();
        while (whole.size() < minDigits)
            whole.prepend(QLatin1Char('0'));
        QString out = (d < 0 ? QStringLiteral("-") : QString()) + whole +
                      (decimals ? QLatin1Char('.') + fraction : QString());
        if (!fm)
            out = out.rightJustified(f.size() + 1);
        resultText(ctx, out);
    });
    add(db, engine, "TO_DATE", -1, [](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
        if (argc < 1 || argc > 2)
            fail("ORA-00909: invalid number of arguments");
        const Value v = arg(argv[0]);
        if (v.isNull()) {
            sqlite3_result_null(ctx);
            return;
        }
        if (v.isDate()) {
            resultValue(ctx, argv[0]);
            return;
        }
        const QString format = argc == 2 ? toText(arg(argv[1])) : kSessionDateFormat;
        resultText(ctx, storeDate(parseDate(toText(v), format)));
    });
    add(db, engine, "TO_NUMBER", 1, [](sqlite3_context *ctx, int, sqlite3_value **argv) {
        const Value v = arg(argv[0]);
        if (v.isNull())
            sqlite3_result_null(ctx);
        else
            resultNumber(ctx, toNumber(v));
    });
    for (const char *name : {"ROUND", "TRUNC"}) {
        const bool round = qstrcmp(name, "ROUND") == 0;
        add(db, engine, name, -1, [round](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
            if (argc < 1 || argc > 2)
                fail("ORA-00909: invalid number of arguments");
            const Value v = arg(argv[0]);
            if (v.isNull() || (argc == 2 && arg(argv[1]).isNull())) {
                sqlite3_result_null(ctx);
                return;
            }
            if (v.isDate()) {
                const QDateTime dt = loadDate(v.s);
                const QString unit =
                    argc == 2 ? toText(arg(argv[1])).toUpper() : QStringLiteral("DD");
                QDate d = dt.date();
                if (unit == QLatin1String("MM") || unit == QLatin1String("MON") ||
                    unit == QLatin1String("MONTH"))
                    d = QDate(d.year(), d.month(), 1);
                else if (unit == QLatin1String("YYYY") || unit == QLatin1String("YEAR") ||
                         unit == QLatin1String("YY") || unit == QLatin1String("RR"))
                    d = QDate(d.year(), 1, 1);
                else if (unit != QLatin1String("DD") && unit != QLatin1String("DDD"))
                    fail("ORA-01821: date format not recognized");
                else if (round && dt.time().hour() >= 12)
                    d = d.addDays(1);
                resultText(ctx, storeDate(QDateTime(d, QTime(0, 0))));
                return;
            }
            const int places = argc == 2 ? int(toNumber(arg(argv[1]))) : 0;
            const double d = toNumber(v);
            resultNumber(ctx, round ? roundDecimal(d, places) : truncDecimal(d, places));
        });
    }
    add(db, engine, "MOD", 2, [](sqlite3_context *ctx, int, sqlite3_value **argv) {
        const Value a = arg(argv[0]), b = arg(argv[1]);
        if (a.isNull() || b.isNull()) {
            sqlite3_result_null(ctx);
            return;
        }
        const double y = toNumber(b);
        resultNumber(ctx, y == 0 ? toNumber(a) : std::fmod(toNumber(a), y));
    });
    auto numberFunction = [&](const char *name, double (*f)(double)) {
        add(db, engine, name, 1, [f](sqlite3_context *ctx, int, sqlite3_value **argv) {
            const Value v = arg(argv[0]);
            if (v.isNull())
                sqlite3_result_null(ctx);
            else
                resultNumber(ctx, f(toNumber(v)));
        });
    };
    numberFunction("CEIL", [](double d) { return std::ceil(d); });
    numberFunction("FLOOR", [](double d) { return std::floor(d); });
    numberFunction("SIGN", [](double d) { return d > 0 ? 1.0 : (d < 0 ? -1.0 : 0.0); });
    numberFunction("ABS", [](double d) { return std::abs(d); });
    add(db, engine, "POWER", 2, [](sqlite3_context *ctx, int, sqlite3_value **argv) {
        const Value a = arg(argv[0]), b = arg(argv[1]);
        if (a.isNull() || b.isNull())
            sqlite3_result_null(ctx);
        else
            resultNumber(ctx, std::pow(toNumber(a), toNumber(b)));
    });
    for (const char *name : {"LPAD", "RPAD"}) {
        const bool left = qstrcmp(name, "LPAD") == 0;
        add(db, engine, name, -1, [left](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
            if (argc < 2 || argc > 3)
                fail("ORA-00909: invalid number of arguments");
            const Value v = arg(argv[0]), n = arg(argv[1]);
            const Value p = argc == 3 ? arg(argv[2]) : Value();
            if (v.isNull() || n.isNull() || (argc == 3 && p.isNull())) {
                sqlite3_result_null(ctx);
                return;
            }
            const QString s = toText(v);
            const QString pad = argc == 3 ? toText(p) : QStringLiteral(" ");
            const qsizetype width = qsizetype(toNumber(n));
            if (width <= s.size()) {
                resultText(ctx, s.left(std::max<qsizetype>(0, width)));
                return;
            }
            QString fill;
            while (fill.size() < width - s.size())
                fill += pad;
            fill.truncate(width - s.size());
            resultText(ctx, left ? fill + s : s + fill);
        });
    }
    add(db, engine, "REPLACE", -1, [](sqlite3_context *ctx, int argc, sqlite3_value **argv) {
        if (argc < 2 || argc > 3)
            fail("ORA-00909: invalid number of arguments");
        const Value v = arg(argv[0]);
        if (v.isNull()) {
            sqlite3_result_null(ctx);
            return;
        }
        const Value from = arg(argv[1]);
        if (from.isNull()) {
            resultText(ctx, toText(v));
            return;
        }
        const QString to = argc == 3 ? toText(arg(argv[2])) : QString();
        resultText(ctx, toText(v).replace(toText(from), to));
    });
}

} // namespace platform::db::embedded
