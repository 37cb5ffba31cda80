#include "platform/database/qtsql/QtSqlBackend.h"

#include "platform/Exception.h"

#include <QAtomicInteger>
#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <cmath>
#include <limits>

namespace platform::db {

namespace {

QString newConnectionName() {
    static QAtomicInteger<quint64> counter;
    return QStringLiteral("atualiza-qtsql-%1").arg(counter.fetchAndAddRelaxed(1) + 1);
}

bool isNumericType(int typeId) {
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

// A whole double inside qlonglong's range becomes qlonglong.
QVariant fromDouble(double d) {
    // 2^63 is exactly representable; every double below it in magnitude fits.
    constexpr double limit = 9223372036854775808.0;
    if (std::isfinite(d) && d == std::trunc(d) && d >= -limit && d < limit)
        return QVariant(qlonglong(d));
    return QVariant(d);
}

// Numbers that the driver hands over as text (NUMBER/DECIMAL under high
// precision, so that 19-digit keys keep every digit). Some Oracle client
// settings write a decimal comma.
QVariant fromNumberText(const QString &raw) {
    const QString text = raw.trimmed();
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok)
        return QVariant(whole);
    double d = text.toDouble(&ok);
    if (!ok && text.count(QLatin1Char(',')) == 1 && !text.contains(QLatin1Char('.')))
        d = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok)
        return QVariant(raw); // not a number after all: keep the text
    return fromDouble(d);
}

// Brings a driver value to the Backend conventions.
QVariant convert(const QVariant &v, int declaredType) {
    if (!v.isValid() || v.isNull())
        return QVariant();
    switch (v.typeId()) {
    case QMetaType::QString:
        return isNumericType(declaredType) ? fromNumberText(v.toString()) : v;
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(v.toDouble());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
        return QVariant(v.toLongLong());
    case QMetaType::ULongLong: {
        const qulonglong u = v.toULongLong();
        return u <= qulonglong(std::numeric_limits<qlonglong>::max()) ? QVariant(qlonglong(u))
                                                                      : QVariant(double(u));
    }
    case QMetaType::QDate:
        return QVariant(QDateTime(v.toDate(), QTime(0, 0)));
    default:
        return v;
    }
}

} // namespace

QtSqlBackend::QtSqlBackend(Settings settings) : settings_(std::move(settings)) {}

QtSqlBackend::~QtSqlBackend() {
    removeConnection();
}

QString QtSqlBackend::errorText(const QSqlError &error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    // "[unixODBC][Driver Manager]..." or "[Oracle][ODBC][Ora]ORA-00942: ..."
    QString untagged = text;
    while (untagged.startsWith(QLatin1Char('['))) {
        const qsizetype end = untagged.indexOf(QLatin1Char(']'));
        if (end < 0)
            break;
        untagged = untagged.mid(end + 1).trimmed();
    }
    return untagged.isEmpty() ? text : untagged;
}

void QtSqlBackend::open() {
    if (isOpen())
        return;
    removeConnection();
    if (!QSqlDatabase::isDriverAvailable(settings_.qtDriver))
        throw DatabaseError(settings_.missingPluginText);
    const QString name = newConnectionName();
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(settings_.qtDriver, name);
        connectionName_ = name;
        if (!db.isValid()) {
            // The plugin is there but did not load (a library it needs is missing).
            failure = settings_.missingPluginText;
        } else {
            db.setNumericalPrecisionPolicy(QSql::HighPrecision);
            db.setDatabaseName(settings_.databaseName);
            db.setUserName(settings_.user);
            db.setPassword(settings_.password);
            if (!db.open()) {
                const QString text = errorText(db.lastError());
                failure = settings_.connectErrorText ? settings_.connectErrorText(text) : text;
            }
        }
    }
    if (!failure.isEmpty()) {
        removeConnection();
        throw DatabaseError(failure);
    }
}

void QtSqlBackend::close() {
    removeConnection();
}

bool QtSqlBackend::isOpen() const {
    return !connectionName_.isEmpty() && QSqlDatabase::database(connectionName_, false).isOpen();
}

void QtSqlBackend::removeConnection() {
    if (connectionName_.isEmpty())
        return;
    // Every QSqlDatabase and QSqlQuery on the connection must be gone before
    // removeDatabase; queries live only inside execute().
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(connectionName_);
    connectionName_.clear();
}

ResultSet QtSqlBackend::execute(const QString &sql) {
    if (!isOpen())
        open();
    ResultSet result;
    QSqlQuery query(QSqlDatabase::database(connectionName_, false));
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!query.exec(sql))
        throw DatabaseError(errorText(query.lastError()));
    if (query.isSelect()) {
        result.hasResultSet = true;
        const QSqlRecord record = query.record();
        const int count = record.count();
        std::vector<int> declared(size_t(count), 0);
        for (int i = 0; i < count; ++i) {
            result.columns.append(record.fieldName(i));
            declared[size_t(i)] = record.field(i).metaType().id();
        }
        while (query.next()) {
            std::vector<QVariant> row;
            row.reserve(size_t(count));
            for (int i = 0; i < count; ++i)
                row.push_back(convert(query.value(i), declared[size_t(i)]));
            result.rows.push_back(std::move(row));
        }
        // A fetch that stopped on an error is a failure, not a shorter result.
        if (query.lastError().isValid())
            throw DatabaseError(errorText(query.lastError()));
    } else {
        result.rowsAffected = std::max<qint64>(0, query.numRowsAffected());
    }
    return result;
}

} // namespace platform::db
