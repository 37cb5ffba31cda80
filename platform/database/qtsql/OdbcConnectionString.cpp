#include "platform/database/qtsql/OdbcConnectionString.h"

#include "platform/Exception.h"

namespace platform::db::odbc {

namespace {

struct Attr {
    QString key;
    QString value; // unquoted
    QString text;  // as written, "KEY=value"
};

// Splits at ';' outside braces. A brace-quoted value ends at a single '}' ("}}"
// stands for one '}').
QList<Attr> parse(const QString &s) {
    QList<Attr> attrs;
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n) {
        const qsizetype start = i;
        while (i < n && s[i] != QLatin1Char('=') && s[i] != QLatin1Char(';'))
            ++i;
        Attr a;
        a.key = s.mid(start, i - start).trimmed();
        if (i < n && s[i] == QLatin1Char('=')) {
            ++i;
            if (i < n && s[i] == QLatin1Char('{')) {
                ++i;
                while (i < n) {
                    if (s[i] == QLatin1Char('}')) {
                        if (i + 1 < n && s[i + 1] == QLatin1Char('}')) {
                            a.value += QLatin1Char('}');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    a.value += s[i++];
                }
                while (i < n && s[i] != QLatin1Char(';'))
                    ++i;
            } else {
                const qsizetype v = i;
                while (i < n && s[i] != QLatin1Char(';'))
                    ++i;
                a.value = s.mid(v, i - v);
            }
        }
        a.text = s.mid(start, i - start);
        if (!a.key.isEmpty())
            attrs.append(a);
        if (i < n)
            ++i; // the ';'
    }
    return attrs;
}

qsizetype indexOfKey(const QList<Attr> &attrs, const QString &key) {
    for (qsizetype i = 0; i < attrs.size(); ++i) {
        if (attrs[i].key.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

} // namespace

QString QuoteValue(const QString &value) {
    const bool plain = !value.contains(QLatin1Char(';')) && !value.contains(QLatin1Char('{')) &&
                       !value.contains(QLatin1Char('}')) && !value.contains(QLatin1Char('=')) &&
                       value == value.trimmed();
    if (plain)
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QLatin1Char('{') + quoted + QLatin1Char('}');
}

QString Attribute(const QString &key, const QString &value) {
    return key + QLatin1Char('=') + QuoteValue(value);
}

QString ValueOf(const QString &connectionString, const QString &key) {
    const QList<Attr> attrs = parse(connectionString);
    const qsizetype i = indexOfKey(attrs, key);
    return i < 0 ? QString() : attrs[i].value;
}

QString OracleConnectionString(const QString &driver, const QString &service, const QString &user,
                               const QString &password) {
    // The driver name always goes in braces: registered names carry blanks
    // ("Oracle in XE").
    QString d = driver;
    d.replace(QLatin1Char('}'), QLatin1String("}}"));
    return QStringList{QStringLiteral("DRIVER={") + d + QLatin1Char('}'),
                       Attribute(QStringLiteral("DBQ"), service),
                       Attribute(QStringLiteral("UID"), user),
                       Attribute(QStringLiteral("PWD"), password)}
        .join(QLatin1Char(';'));
}

QString WithCredentials(const QString &connectionString, const QString &user,
                        const QString &password) {
    QString out = connectionString;
    auto append = [&out](const QString &attribute) {
        if (!out.isEmpty() && !out.endsWith(QLatin1Char(';')))
            out += QLatin1Char(';');
        out += attribute;
    };
    if (!user.isEmpty())
        append(Attribute(QStringLiteral("UID"), user));
    if (!password.isEmpty())
        append(Attribute(QStringLiteral("PWD"), password));
    return out;
}

QString QodbcDatabaseName(const QString &connectionString) {
    if (connectionString.contains(QLatin1String("DRIVER="), Qt::CaseInsensitive) ||
        connectionString.contains(QLatin1String("SERVER="), Qt::CaseInsensitive))
        return connectionString;
    const QList<Attr> attrs = parse(connectionString);
    const bool fileDsnPrefix =
        connectionString.contains(QLatin1String(".dsn"), Qt::CaseInsensitive);
    const QString lead = fileDsnPrefix ? QStringLiteral("FILEDSN") : QStringLiteral("DSN");
    const qsizetype at = indexOfKey(attrs, lead);
    if (at < 0) {
        // A bare data source name first ("MyDsn" or "MyDsn;UID=x") is what QODBC
        // expects as it is.
        if (attrs.isEmpty() || !attrs.front().text.contains(QLatin1Char('=')))
            return connectionString;
        throw DatabaseError(
            QStringLiteral("A string de conexão ODBC \"%1\" não pode ser usada pelo driver QODBC "
                           "do Qt: informe DRIVER=, SERVER= ou %2=.")
                .arg(connectionString, lead));
    }
    const Attr &first = attrs[at];
    QString out = first.text.mid(first.text.indexOf(QLatin1Char('=')) + 1);
    for (qsizetype i = 0; i < attrs.size(); ++i) {
        if (i != at)
            out += QLatin1Char(';') + attrs[i].text;
    }
    return out;
}

} // namespace platform::db::odbc
