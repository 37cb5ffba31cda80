#include "platform/database/Database.h"

#include "platform/database/Backends.h"

#include <QElapsedTimer>
#include <cmath>
#include <limits>

namespace platform::db {

QString QuotedStr(const QString &text) {
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('\'');
    for (QChar c : text) {
        out += c;
        if (c == QLatin1Char('\''))
            out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

// ---------------------------------------------------------------- Connection

Connection::Connection() = default;
Connection::~Connection() = default;

QString Connection::Param(const QString &key) const {
    for (const QString &p : Params) {
        const qsizetype eq = p.indexOf(QLatin1Char('='));
        if (eq > 0 && p.left(eq).trimmed().compare(key, Qt::CaseInsensitive) == 0)
            return p.mid(eq + 1);
    }
    return QString();
}

bool Connection::Connected() const {
    return backend_ && backend_->isOpen();
}

void Connection::Open() {
    if (Connected())
        return;
    const QString driver = Param(QStringLiteral("DriverID"));
    const QString database = Param(QStringLiteral("Database"));
    std::unique_ptr<Backend> backend;
    if (driver.compare(QLatin1String("Embedded"), Qt::CaseInsensitive) == 0) {
        if (database.isEmpty())
            throw DatabaseError(QStringLiteral("Banco embutido: informe o arquivo (Database=)."));
        backend = createEmbeddedBackend(database);
    } else if (driver.compare(QLatin1String("Ora"), Qt::CaseInsensitive) == 0) {
        backend = createOracleBackend(database, Param(QStringLiteral("User_Name")),
                                      Param(QStringLiteral("Password")), OracleOdbcDriver);
    } else if (driver.compare(QLatin1String("ODBC"), Qt::CaseInsensitive) == 0) {
        backend = createOdbcBackend(database, Param(QStringLiteral("User_Name")),
                                    Param(QStringLiteral("Password")));
    } else {
        throw DatabaseError(QStringLiteral("Driver de banco de dados desconhecido: \"%1\" "
                                           "(use Ora, ODBC ou Embedded).")
                                .arg(driver));
    }
    backend->open();
    backend_ = std::move(backend);
}

void Connection::Close() {
    if (backend_)
        backend_->close();
    backend_.reset();
}

ResultSet Connection::Execute(const QString &sql) {
    if (observers_.empty()) {
        // Nobody watches: no time stamps, which cost as much as a key look-up.
        Open();
        return backend_->execute(sql);
    }
    StatementEvent event;
    event.sql = sql;
    event.startedAt = QDateTime::currentDateTime();
    QElapsedTimer timer;
    timer.start();
    ResultSet result;
    try {
        Open();
        result = backend_->execute(sql);
    } catch (const Exception &e) {
        event.ok = false;
        event.error = e.Message();
        event.elapsedUs = timer.nsecsElapsed() / 1000;
        notify(event);
        throw;
    }
    // Outside the try: an observer that throws must not turn a statement that
    // ran into a reported failure.
    event.elapsedUs = timer.nsecsElapsed() / 1000;
    notify(event);
    return result;
}

void Connection::notify(const StatementEvent &event) {
    // A copy, so an observer may add or remove observers while being told.
    const auto observers = observers_;
    for (const auto &o : observers)
        o.second(event);
}

int Connection::AddStatementObserver(StatementObserver observer) {
    const int id = nextObserverId_++;
    observers_.emplace_back(id, std::move(observer));
    return id;
}

void Connection::RemoveStatementObserver(int id) {
    std::erase_if(observers_, [id](const auto &o) { return o.first == id; });
}

// ---------------------------------------------------------------- SqlText

void SqlText::Clear() {
    owner_->Close();
    lines_.clear();
}

void SqlText::Add(const QString &line) {
    owner_->Close();
    lines_.append(line);
}

QString SqlText::Text() const {
    return lines_.join(QLatin1Char('\n'));
}

// ---------------------------------------------------------------- Query

Query::Query(Connection *connection) : connection_(connection) {}

void Query::Open() {
    Close();
    ResultSet r = connection_->Execute(SQL.Text());
    rowsAffected_ = r.rowsAffected;
    if (!r.hasResultSet)
        throw DatabaseError(QStringLiteral("O comando não retornou um conjunto de resultados."));
    result_ = std::move(r);
    row_ = 0;
    active_ = true;
}

void Query::ExecSQL() {
    Close();
    ResultSet r = connection_->Execute(SQL.Text());
    rowsAffected_ = r.rowsAffected;
}

void Query::Close() {
    active_ = false;
    result_ = ResultSet();
    row_ = 0;
}

void Query::requireActive(const char *what) const {
    if (!active_)
        throw Exception(QStringLiteral("%1: a consulta não está aberta.").arg(QLatin1String(what)));
}

bool Query::IsEmpty() const {
    return !active_ || result_.rows.empty();
}

bool Query::Eof() const {
    return !active_ || row_ >= result_.rows.size();
}

void Query::Next() {
    requireActive("Next");
    if (row_ < result_.rows.size())
        ++row_;
}

void Query::First() {
    requireActive("First");
    row_ = 0;
}

int Query::RecordCount() const {
    return active_ ? int(result_.rows.size()) : 0;
}

Field Query::FieldByName(const QString &name) const {
    requireActive("FieldByName");
    for (int i = 0; i < result_.columns.size(); ++i) {
        if (result_.columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return Field(this, i, result_.columns[i]);
    }
    throw Exception(QStringLiteral("Campo '%1' não encontrado.").arg(name));
}

QVariant Query::ValueAt(int index) const {
    // Past the last row (or on an empty result) fields read as NULL.
    if (!active_ || row_ >= result_.rows.size())
        return QVariant();
    const auto &row = result_.rows[row_];
    return index < int(row.size()) ? row[size_t(index)] : QVariant();
}

// ---------------------------------------------------------------- Field

Field::Field(const Query *query, int index, QString name)
    : query_(query), index_(index), name_(std::move(name)) {}

QVariant Field::Value() const {
    return query_->ValueAt(index_);
}

bool Field::IsNull() const {
    const QVariant v = Value();
    return !v.isValid() || v.isNull();
}

QString Field::AsString() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return QString();
    switch (v.typeId()) {
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("dd/MM/yy"))
                                        : dt.toString(QStringLiteral("dd/MM/yy HH:mm:ss"));
    }
    default:
        return v.toString();
    }
}

int Field::AsInteger() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return 0;
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int) {
        const qlonglong n = v.toLongLong();
        if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
            throw ConvertError(QStringLiteral("'%1' não é um valor inteiro válido").arg(n));
        return int(n);
    }
    if (v.typeId() == QMetaType::Double) {
        const double d = v.toDouble();
        if (std::isfinite(d) && d >= std::numeric_limits<int>::min() &&
            d <= std::numeric_limits<int>::max())
            return int(std::trunc(d));
        throw ConvertError(QStringLiteral("'%1' não é um valor inteiro válido").arg(d));
    }
    bool ok = false;
    const int n = v.toString().trimmed().toInt(&ok);
    if (!ok)
        throw ConvertError(QStringLiteral("'%1' não é um valor inteiro válido").arg(v.toString()));
    return n;
}

double Field::AsFloat() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return 0.0;
    if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int ||
        v.typeId() == QMetaType::Double)
        return v.toDouble();
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    if (!ok)
        throw ConvertError(
            QStringLiteral("'%1' não é um valor de ponto flutuante válido").arg(v.toString()));
    return d;
}

QDateTime Field::AsDateTime() const {
    const QVariant v = Value();
    if (!v.isValid() || v.isNull())
        return QDateTime();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    throw ConvertError(QStringLiteral("'%1' não é uma data válida").arg(v.toString()));
}

} // namespace platform::db
