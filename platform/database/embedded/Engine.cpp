#include "platform/database/embedded/Engine.h"

#include "platform/Exception.h"
#include "platform/database/embedded/OracleValues.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace platform::db::embedded {

QString sqlName(const QString &name) {
    QString out = name;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QString sqlText(const QString &text) {
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

int Table::columnIndex(const QString &column) const {
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].name == column)
            return int(i);
    }
    return -1;
}

namespace {

const char *const kSchema[] = {
    "CREATE TABLE _eng_meta(key TEXT PRIMARY KEY, value TEXT)",
    "CREATE TABLE _eng_tables(name TEXT PRIMARY KEY)",
    "CREATE TABLE _eng_columns(table_name TEXT, column_name TEXT, column_id INTEGER, "
    "data_type TEXT, data_length INTEGER, data_precision INTEGER, data_scale INTEGER, "
    "char_length INTEGER, char_used TEXT, not_null INTEGER, not_null_name TEXT, "
    "default_text TEXT, PRIMARY KEY(table_name, column_name))",
    "CREATE TABLE _eng_constraints(name TEXT PRIMARY KEY, table_name TEXT, "
    "constraint_type TEXT, index_name TEXT)",
    "CREATE TABLE _eng_cons_columns(constraint_name TEXT, table_name TEXT, column_name TEXT, "
    "position INTEGER)",
    "CREATE TABLE _eng_indexes(name TEXT PRIMARY KEY, table_name TEXT, uniqueness TEXT, "
    "by_constraint INTEGER)",
    "CREATE TABLE _eng_ind_columns(index_name TEXT, table_name TEXT, column_name TEXT, "
    "column_position INTEGER)",
    "CREATE TABLE _eng_sequences(name TEXT PRIMARY KEY, last_number INTEGER, "
    "increment_by INTEGER, min_value INTEGER, max_value INTEGER, cycle_flag TEXT)",
    "CREATE VIEW DUAL AS SELECT 'X' AS DUMMY",
    "CREATE VIEW USER_TABLES AS SELECT name AS TABLE_NAME, 'USERS' AS TABLESPACE_NAME, "
    "'VALID' AS STATUS FROM _eng_tables",
    "CREATE VIEW USER_TAB_COLUMNS AS SELECT c.table_name AS TABLE_NAME, c.column_name AS "
    "COLUMN_NAME, c.data_type AS DATA_TYPE, c.data_length AS DATA_LENGTH, c.data_precision AS "
    "DATA_PRECISION, c.data_scale AS DATA_SCALE, CASE WHEN c.not_null = 1 OR EXISTS (SELECT 1 "
    "FROM _eng_cons_columns cc JOIN _eng_constraints k ON k.name = cc.constraint_name WHERE "
    "k.constraint_type = 'P' AND cc.table_name = c.table_name AND cc.column_name = "
    "c.column_name) THEN 'N' ELSE 'Y' END AS NULLABLE, c.column_id AS COLUMN_ID, "
    "c.default_text AS DATA_DEFAULT, c.char_length AS CHAR_LENGTH, c.char_used AS CHAR_USED "
    "FROM _eng_columns c",
    "CREATE VIEW USER_CONSTRAINTS AS SELECT name AS CONSTRAINT_NAME, constraint_type AS "
    "CONSTRAINT_TYPE, table_name AS TABLE_NAME, NULL AS SEARCH_CONDITION, index_name AS "
    "INDEX_NAME, 'ENABLED' AS STATUS FROM _eng_constraints UNION ALL SELECT not_null_name, "
    "'C', table_name, '\"' || column_name || '\" IS NOT NULL', NULL, 'ENABLED' FROM "
    "_eng_columns WHERE not_null = 1",
    "CREATE VIEW USER_CONS_COLUMNS AS SELECT constraint_name AS CONSTRAINT_NAME, table_name AS "
    "TABLE_NAME, column_name AS COLUMN_NAME, position AS POSITION FROM _eng_cons_columns UNION "
    "ALL SELECT not_null_name, table_name, column_name, NULL FROM _eng_columns WHERE not_null = "
    "1",
    "CREATE VIEW USER_INDEXES AS SELECT name AS INDEX_NAME, 'NORMAL' AS INDEX_TYPE, table_name "
    "AS TABLE_NAME, uniqueness AS UNIQUENESS, 'VALID' AS STATUS FROM _eng_indexes",
    "CREATE VIEW USER_IND_COLUMNS AS SELECT index_name AS INDEX_NAME, table_name AS "
    "TABLE_NAME, column_name AS COLUMN_NAME, column_position AS COLUMN_POSITION FROM "
    "_eng_ind_columns",
    "CREATE VIEW USER_SEQUENCES AS SELECT name AS SEQUENCE_NAME, min_value AS MIN_VALUE, "
    "max_value AS MAX_VALUE, increment_by AS INCREMENT_BY, cycle_flag AS CYCLE_FLAG, 'Y' AS "
    "ORDER_FLAG, 0 AS CACHE_SIZE, last_number AS LAST_NUMBER FROM _eng_sequences",
    "CREATE VIEW USER_OBJECTS AS SELECT name AS OBJECT_NAME, 'TABLE' AS OBJECT_TYPE FROM "
    "_eng_tables UNION ALL SELECT name, 'INDEX' FROM _eng_indexes UNION ALL SELECT name, "
    "'SEQUENCE' FROM _eng_sequences",
};

const char *const kViews[] = {
    "DUAL",         "USER_TABLES",      "USER_TAB_COLUMNS", "USER_CONSTRAINTS", "USER_CONS_COLUMNS",
    "USER_INDEXES", "USER_IND_COLUMNS", "USER_SEQUENCES",   "USER_OBJECTS"};

const QString kFormat = QStringLiteral("atualiza-embedded-1");

[[noreturn]] void openFailure(const QString &text) {
    throw DatabaseError(text);
}

} // namespace

Engine::Engine(const QString &file, const QString &charset, const QString &owner) {
    const bool isNew = !QFileInfo::exists(file) || QFileInfo(file).size() == 0;
    if (sqlite3_open_v2(file.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db_));
        sqlite3_close(db_);
        db_ = nullptr;
        openFailure(QStringLiteral("Banco embutido: não foi possível abrir o arquivo \"%1\": %2")
                        .arg(file, why));
    }
    sqlite3_extended_result_codes(db_, 1);
    // A double-quoted name is always a name, never a text literal.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    try {
        run(QStringLiteral("PRAGMA busy_timeout = 5000"));
        if (!isNew) {
            sqlite3_stmt *st = nullptr;
            const int rc = sqlite3_prepare_v2(
                db_, "SELECT value FROM _eng_meta WHERE key = 'format'", -1, &st, nullptr);
            QString format;
            if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
                format =
                    QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0)));
            const int code = rc & 0xff;
            sqlite3_finalize(st);
            if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT)
                openFailure(
                    QStringLiteral("Banco embutido: o arquivo \"%1\" não é um banco de dados.")
                        .arg(file));
            if (format != kFormat)
                openFailure(QStringLiteral("Banco embutido: o arquivo \"%1\" não é um banco de "
                                           "dados deste programa.")
                                .arg(file));
        }
        run(QStringLiteral("PRAGMA journal_mode = WAL"));
        run(QStringLiteral("PRAGMA synchronous = NORMAL"));
        run(QStringLiteral("PRAGMA case_sensitive_like = ON"));
        registerFunctions(db_, this);
        sqlite3_prepare_v2(db_, "BEGIN IMMEDIATE", -1, &begin_, nullptr);
        sqlite3_prepare_v2(db_, "COMMIT", -1, &commit_, nullptr);
        sqlite3_prepare_v2(db_, "ROLLBACK", -1, &rollback_, nullptr);
        sqlite3_prepare_v2(db_, "PRAGMA data_version", -1, &dataVersion_, nullptr);
        if (isNew) {
            const QString cs = charset.toUpper();
            if (cs != QLatin1String("WE8MSWIN1252") && cs != QLatin1String("AL32UTF8"))
                openFailure(QStringLiteral("Banco embutido: conjunto de caracteres não suportado: "
                                           "\"%1\" (use WE8MSWIN1252 ou AL32UTF8).")
                                .arg(charset));
            begin();
            for (const char *s : kSchema)
                run(QString::fromLatin1(s));
            charset_ = cs;
            owner_ = owner.toUpper();
            setMeta(QStringLiteral("format"), kFormat);
            setMeta(QStringLiteral("charset"), charset_);
            setMeta(QStringLiteral("owner"), owner_);
            setMeta(QStringLiteral("system_counter"), QStringLiteral("10000"));
            commit();
        }
        load();
        unsigned int version = 0;
        if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version) == SQLITE_OK)
            seenDataVersion_ = version;
        followOtherConnectionsOutside();
    } catch (...) {
        for (sqlite3_stmt *s : {begin_, commit_, rollback_, dataVersion_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
        db_ = nullptr;
        throw;
    }
}

Engine::~Engine() {
    clearStatementCache();
    for (sqlite3_stmt *s : {begin_, commit_, rollback_, dataVersion_})
        sqlite3_finalize(s);
    sqlite3_close(db_);
}

// ---------------------------------------------------------------- SQLite access

void Engine::run(const QString &sql) {
    const QByteArray text = sql.toUtf8();
    const char *tail = text.constData();
    while (tail && *tail) {
        sqlite3_stmt *st = nullptr;
        int rc = sqlite3_prepare_v2(db_, tail, -1, &st, &tail);
        if (rc != SQLITE_OK)
            raise(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
        if (!st)
            break;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE) {
            const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
            sqlite3_finalize(st);
            raise(rc, message);
        }
        sqlite3_finalize(st);
    }
}

qint64 Engine::count(const QString &sql) {
    const ResultSet r = query(sql, true);
    return r.rows.empty() || r.rows[0].empty() ? 0 : r.rows[0][0].toLongLong();
}

void Engine::clearStatementCache() {
    for (const Prepared &p : std::as_const(prepared_))
        sqlite3_finalize(p.statement);
    prepared_.clear();
    translations_.clear();
}

ResultSet Engine::query(const QString &sql, bool wantRows, const std::vector<QVariant> *params) {
    ResultSet result;
    const QByteArray text = sql.toUtf8();
    const bool cached = params && !params->empty();
    Prepared entry;
    if (cached) {
        const auto it = prepared_.constFind(text);
        if (it != prepared_.cend())
            entry = *it;
    }
    int rc = SQLITE_OK;
    if (!entry.statement) {
        rc = sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &entry.statement, nullptr);
        if (rc != SQLITE_OK)
            raise(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
        for (int c = 0; c < sqlite3_column_count(entry.statement); ++c)
            entry.columns << QString::fromUtf8(sqlite3_column_name(entry.statement, c));
        if (cached) {
            if (prepared_.size() >= 200)
                clearStatementCache();
            prepared_.insert(text, entry);
        }
    }
    sqlite3_stmt *st = entry.statement;
    // Gives the statement back: kept ones are reset, others finalized.
    auto release = [&] {
        if (cached) {
            sqlite3_reset(st);
            sqlite3_clear_bindings(st);
        } else {
            sqlite3_finalize(st);
        }
    };
    if (cached) {
        const int count = sqlite3_bind_parameter_count(st);
        for (int i = 0; i < count && i < int(params->size()); ++i) {
            const QVariant &v = (*params)[size_t(i)];
            if (!v.isValid() || v.isNull()) {
                sqlite3_bind_null(st, i + 1);
                continue;
            }
            switch (v.typeId()) {
            case QMetaType::LongLong:
                sqlite3_bind_int64(st, i + 1, v.toLongLong());
                break;
            case QMetaType::Double:
                sqlite3_bind_double(st, i + 1, v.toDouble());
                break;
            default: {
                const QByteArray utf8 = v.toString().toUtf8();
                sqlite3_bind_text(st, i + 1, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
            }
            }
        }
    }
    const int columns = int(entry.columns.size());
    result.hasResultSet = wantRows && columns > 0;
    if (result.hasResultSet)
        result.columns = entry.columns;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (!result.hasResultSet)
            continue;
        std::vector<QVariant> row;
        row.reserve(size_t(columns));
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER:
                row.emplace_back(qlonglong(sqlite3_column_int64(st, c)));
                break;
            case SQLITE_FLOAT:
                row.push_back(numberVariant(sqlite3_column_double(st, c)));
                break;
            case SQLITE_TEXT: {
                const char *chars = reinterpret_cast<const char *>(sqlite3_column_text(st, c));
                const int bytes = sqlite3_column_bytes(st, c);
                if (bytes == 0)
                    row.emplace_back();
                else if (chars[0] == char(kDateMark))
                    row.emplace_back(loadDate(QString::fromUtf8(chars, bytes)));
                else
                    row.emplace_back(QString::fromUtf8(chars, bytes));
                break;
            }
            case SQLITE_BLOB:
                row.emplace_back(QByteArray(static_cast<const char *>(sqlite3_column_blob(st, c)),
                                            sqlite3_column_bytes(st, c)));
                break;
            default:
                row.emplace_back();
            }
        }
        result.rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
        release();
        raise(rc, message);
    }
    release();
    result.rowsAffected = result.hasResultSet ? 0 : sqlite3_changes64(db_);
    return result;
}

void Engine::raise(int code, const QString &m) {
    if (m.startsWith(QLatin1String("ORA-")))
        throw DatabaseError(m);
    static const QRegularExpression noColumn(QStringLiteral("^no such column: (.*)$"));
    static const QRegularExpression unique(QStringLiteral("^UNIQUE constraint failed: (.*)$"));
    static const QRegularExpression values(QStringLiteral("has (\\d+) values for (\\d+) columns"));
    QRegularExpressionMatch match;
    if (m.startsWith(QLatin1String("no such table")))
        throw DatabaseError(QStringLiteral("ORA-00942: table or view does not exist"));
    if ((match = noColumn.match(m)).hasMatch()) {
        QStringList parts = match.captured(1).split(QLatin1Char('.'));
        for (QString &p : parts)
            p = QLatin1Char('"') + p + QLatin1Char('"');
        throw DatabaseError(
            QStringLiteral("ORA-00904: %1: invalid identifier").arg(parts.join(QLatin1Char('.'))));
    }
    if ((match = unique.match(m)).hasMatch()) {
        const QStringList cols = match.captured(1).split(QStringLiteral(", "));
        QString tableName;
        QStringList names;
        for (const QString &c : cols) {
            const qsizetype dot = c.lastIndexOf(QLatin1Char('.'));
            tableName = c.left(dot);
            names << c.mid(dot + 1);
        }
        QString indexName;
        for (const Index &ix : indexes_) {
            if (ix.unique && ix.table.compare(tableName, Qt::CaseInsensitive) == 0 &&
                ix.columns.join(QLatin1Char(','))
                        .compare(names.join(QLatin1Char(',')), Qt::CaseInsensitive) == 0)
                indexName = ix.name;
        }
        throw DatabaseError(
            QStringLiteral("ORA-00001: unique constraint (%1.%2) violated").arg(owner_, indexName));
    }
    if ((match = values.match(m)).hasMatch()) {
        throw DatabaseError(match.captured(1).toInt() < match.captured(2).toInt()
                                ? QStringLiteral("ORA-00947: not enough values")
                                : QStringLiteral("ORA-00913: too many values"));
    }
    if (m.startsWith(QLatin1String("ambiguous column name")))
        throw DatabaseError(QStringLiteral("ORA-00918: column ambiguously defined"));
    if (m.contains(QLatin1String("do not have the same number of result columns")))
        throw DatabaseError(
            QStringLiteral("ORA-01789: query block has incorrect number of result columns"));
    if (m.startsWith(QLatin1String("misuse of aggregate")) || m.contains(QLatin1String("GROUP BY")))
        throw DatabaseError(QStringLiteral("ORA-00934: group function is not allowed here"));
    if (m.contains(QLatin1String("syntax error")) || m.contains(QLatin1String("incomplete input")))
        throw DatabaseError(QStringLiteral("ORA-00933: SQL command not properly ended"));
    if ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED)
        throw DatabaseError(QStringLiteral("ORA-00054: resource busy and acquire with NOWAIT "
                                           "specified or timeout expired"));
    throw DatabaseError(QStringLiteral("ORA-00600: internal error code, arguments: [%1]").arg(m));
}

void Engine::begin() {
    sqlite3_reset(begin_);
    const int rc = sqlite3_step(begin_);
    if (rc != SQLITE_DONE)
        raise(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
}

void Engine::commit() {
    sqlite3_reset(commit_);
    const int rc = sqlite3_step(commit_);
    if (rc != SQLITE_DONE)
        raise(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
}

void Engine::followOtherConnections() {
    // The pager's counter of commits by other connections, as of the transaction
    // just begun; reading it costs no file access.
    unsigned int version = 0;
    if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK)
        return;
    if (qint64(version) == seenDataVersion_)
        return;
    load();
    clearStatementCache();
    seenDataVersion_ = version;
}

void Engine::followOtherConnectionsOutside() {
    // Commits of other connections only; ours leave it alone.
    sqlite3_reset(dataVersion_);
    const int rc = sqlite3_step(dataVersion_);
    if (rc != SQLITE_ROW)
        raise(rc, QString::fromUtf8(sqlite3_errmsg(db_)));
    const qint64 version = sqlite3_column_int64(dataVersion_, 0);
    sqlite3_reset(dataVersion_);
    if (version == seenPragmaVersion_)
        return;
    if (seenPragmaVersion_ >= 0) {
        load();
        clearStatementCache();
    }
    seenPragmaVersion_ = version;
}

void Engine::rollback() {
    if (sqlite3_get_autocommit(db_))
        return;
    sqlite3_reset(rollback_);
    sqlite3_step(rollback_);
    sqlite3_reset(rollback_);
}

// ---------------------------------------------------------------- statements

ResultSet Engine::execute(const QString &sql) {
    const Tokens t = tokenize(sql);
    if (t.empty())
        throw DatabaseError(QStringLiteral("ORA-00900: invalid SQL statement"));
    putSpecs_.clear();
    params_.clear();
    touchedSequences_.clear();
    catalogueChanged_ = false;
    const Token &first = t[0];
    const bool isQuery = first.is("SELECT") || first.is("WITH") || first.isSymbol("(");
    if (first.is("COMMIT") || first.is("ROLLBACK")) {
        if (t.size() > 1 && !(t.size() == 2 && t[1].is("WORK")))
            throw DatabaseError(QStringLiteral("ORA-00933: SQL command not properly ended"));
        return ResultSet(); // every statement is already committed on its own
    }
    bool takesValues = false;
    for (const Token &tok : t)
        takesValues = takesValues || tok.is("NEXTVAL");
    // A plain query is one SQLite statement, atomic on its own; anything else
    // checks the catalogue against other connections inside the transaction that
    // uses it.
    if (isQuery && !takesValues) {
        followOtherConnectionsOutside();
        return select(t);
    }
    begin();
    try {
        followOtherConnections();
        ResultSet r;
        if (isQuery)
            r = select(t);
        else if (first.is("INSERT"))
            r = t.size() > 1 && t[1].is("ALL") ? insertAll(t) : insert(t);
        else if (first.is("UPDATE") || first.is("DELETE"))
            r = updateOrDelete(t);
        else if (first.is("CREATE"))
            create(t);
        else if (first.is("DROP"))
            drop(t);
        else if (first.is("ALTER"))
            alter(t);
        else if (first.is("RENAME"))
            rename(t);
        else if (first.is("TRUNCATE"))
            truncate(t);
        else
            throw DatabaseError(QStringLiteral("ORA-00900: invalid SQL statement"));
        for (const QString &name : std::as_const(touchedSequences_)) {
            if (sequences_.contains(name))
                saveSequence(sequences_[name]);
        }
        commit();
        // Our own commit moves the counter too.
        unsigned int version = 0;
        if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version) == SQLITE_OK)
            seenDataVersion_ = version;
        if (catalogueChanged_)
            clearStatementCache();
        return r;
    } catch (...) {
        rollback();
        if (catalogueChanged_ || !touchedSequences_.isEmpty())
            load();
        if (catalogueChanged_)
            clearStatementCache();
        throw;
    }
}

// ---------------------------------------------------------------- helpers for others

const Table *Engine::table(const QString &name) const {
    const auto it = tables_.constFind(name);
    return it == tables_.cend() ? nullptr : &*it;
}

bool Engine::isDictionaryView(const QString &name) const {
    for (const char *v : kViews) {
        if (name == QLatin1String(v))
            return true;
    }
    return false;
}

int Engine::addPutSpec(const QString &table, const Column &column, bool update) {
    PutSpec target{table, column, update};
    for (const Constraint &c : constraints_) {
        if (c.type == QLatin1Char('P') && c.table == table && c.columns.contains(column.name))
            target.column.notNull = true;
    }
    putSpecs_.push_back(std::move(target));
    return int(putSpecs_.size() - 1);
}

qint64 Engine::nextValue(const QString &name) {
    auto it = sequences_.find(name);
    if (it == sequences_.end())
        throw DatabaseError(QStringLiteral("ORA-02289: sequence does not exist"));
    Sequence &s = *it;
    const qint64 value = s.next;
    if (s.maxValue != 0 &&
        ((s.increment > 0 && value > s.maxValue) || (s.increment < 0 && value < s.minValue)))
        throw DatabaseError(
            QStringLiteral("ORA-08004: sequence %1.NEXTVAL exceeds %2 and cannot be instantiated")
                .arg(name,
                     s.increment > 0 ? QStringLiteral("MAXVALUE") : QStringLiteral("MINVALUE")));
    s.next = value + s.increment;
    currentValues_[name] = value;
    touchedSequences_.insert(name);
    return value;
}

qint64 Engine::currentValue(const QString &name) {
    if (!sequences_.contains(name))
        throw DatabaseError(QStringLiteral("ORA-02289: sequence does not exist"));
    const auto it = currentValues_.constFind(name);
    if (it == currentValues_.cend())
        throw DatabaseError(
            QStringLiteral("ORA-08002: sequence %1.CURRVAL is not yet defined in this session")
                .arg(name));
    return *it;
}

int Engine::byteLength(const QString &text) const {
    return singleByte_ ? int(text.toUcs4().size()) : int(text.toUtf8().size());
}

QString Engine::quotedOwnerName(const QString &table, const QString &column) const {
    return QStringLiteral("\"%1\".\"%2\".\"%3\"").arg(owner_, table, column);
}

// ---------------------------------------------------------------- catalogue

void Engine::setMeta(const QString &key, const QString &value) {
    bind(QStringLiteral("INSERT OR REPLACE INTO _eng_meta(key, value) VALUES (?1, ?2)"),
         {key, value});
}

void Engine::bind(const QString &sql, std::vector<QVariant> values) {
    query(sql, false, &values);
}

void Engine::load() {
    translations_.clear();
    tables_.clear();
    constraints_.clear();
    indexes_.clear();
    sequences_.clear();
    for (const auto &row : query(QStringLiteral("SELECT key, value FROM _eng_meta"), true).rows) {
        const QString key = row[0].toString();
        if (key == QLatin1String("charset"))
            charset_ = row[1].toString();
        else if (key == QLatin1String("owner"))
            owner_ = row[1].toString();
        else if (key == QLatin1String("system_counter"))
            systemCounter_ = row[1].toInt();
    }
    singleByte_ = charset_ != QLatin1String("AL32UTF8");
    for (const auto &row : query(QStringLiteral("SELECT name FROM _eng_tables"), true).rows) {
        Table t;
        t.name = row[0].toString();
        tables_.insert(t.name, t);
    }
    auto intOr = [](const QVariant &v, int fallback) { return v.isValid() ? v.toInt() : fallback; };
    for (const auto &row :
         query(QStringLiteral("SELECT table_name, column_name, data_type, char_length, "
                              "data_precision, data_scale, char_used, not_null, not_null_name, "
                              "default_text FROM _eng_columns ORDER BY table_name, column_id"),
               true)
             .rows) {
        Column c;
        c.name = row[1].toString();
        c.type = row[2].toString();
        c.length = intOr(row[3], 0);
        c.precision = intOr(row[4], -1);
        c.scale = intOr(row[5], -1);
        c.charSemantics = row[6].toString() == QLatin1String("C");
        c.notNull = row[7].toInt() == 1;
        c.notNullName = row[8].toString();
        c.defaultText = row[9].toString();
        tables_[row[0].toString()].columns.push_back(c);
    }
    for (const auto &row : query(QStringLiteral("SELECT name, table_name, constraint_type, "
                                                "index_name FROM _eng_constraints"),
                                 true)
                               .rows) {
        Constraint c{
            row[0].toString(), row[1].toString(), row[2].toString().at(0), {}, row[3].toString()};
        constraints_.insert(c.name, c);
    }
    for (const auto &row :
         query(QStringLiteral("SELECT constraint_name, column_name FROM _eng_cons_columns ORDER "
                              "BY constraint_name, position"),
               true)
             .rows)
        constraints_[row[0].toString()].columns << row[1].toString();
    for (const auto &row : query(QStringLiteral("SELECT name, table_name, uniqueness, "
                                                "by_constraint FROM _eng_indexes"),
                                 true)
                               .rows) {
        Index ix{row[0].toString(),
                 row[1].toString(),
                 row[2].toString() == QLatin1String("UNIQUE"),
                 {},
                 row[3].toInt() == 1};
        indexes_.insert(ix.name, ix);
    }
    for (const auto &row :
         query(QStringLiteral("SELECT index_name, column_name FROM _eng_ind_columns ORDER BY "
                              "index_name, column_position"),
               true)
             .rows)
        indexes_[row[0].toString()].columns << row[1].toString();
    for (const auto &row : query(QStringLiteral("SELECT name, last_number, increment_by, "
                                                "min_value, max_value, cycle_flag FROM "
                                                "_eng_sequences"),
                                 true)
                               .rows) {
        Sequence s{row[0].toString(),   row[1].toLongLong(),
                   row[2].toLongLong(), row[3].toLongLong(),
                   row[4].toLongLong(), row[5].toString() == QLatin1String("Y")};
        sequences_.insert(s.name, s);
    }
}

void Engine::saveTable(const Table &t) {
    catalogueChanged_ = true;
    bind(QStringLiteral("INSERT OR IGNORE INTO _eng_tables(name) VALUES (?1)"), {t.name});
    bind(QStringLiteral("DELETE FROM _eng_columns WHERE table_name = ?1"), {t.name});
    qlonglong id = 0;
    for (const Column &c : t.columns) {
        qlonglong dataLength = 22;
        if (c.type == QLatin1String("DATE"))
            dataLength = 7;
        else if (c.type != QLatin1String("NUMBER"))
            dataLength = c.charSemantics && !singleByte_ ? c.length * 4 : c.length;
        const bool text = c.type == QLatin1String("VARCHAR2") || c.type == QLatin1String("CHAR");
        bind(QStringLiteral("INSERT INTO _eng_columns VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
                            "?10, ?11, ?12)"),
             {t.name, c.name, ++id, c.type, dataLength,
              c.precision < 0 ? QVariant() : QVariant(qlonglong(c.precision)),
              c.scale < 0 ? QVariant() : QVariant(qlonglong(c.scale)),
              qlonglong(text ? c.length : 0),
              text ? QVariant(c.charSemantics ? QStringLiteral("C") : QStringLiteral("B"))
                   : QVariant(),
              qlonglong(c.notNull ? 1 : 0), c.notNull ? QVariant(c.notNullName) : QVariant(),
              c.defaultText.isEmpty() ? QVariant() : QVariant(c.defaultText)});
    }
}

void Engine::eraseTable(const QString &name) {
    catalogueChanged_ = true;
    bind(QStringLiteral("DELETE FROM _eng_tables WHERE name = ?1"), {name});
    bind(QStringLiteral("DELETE FROM _eng_columns WHERE table_name = ?1"), {name});
}

void Engine::saveConstraint(const Constraint &c) {
    eraseConstraint(c.name);
    bind(QStringLiteral("INSERT INTO _eng_constraints VALUES (?1, ?2, ?3, ?4)"),
         {c.name, c.table, QString(c.type), c.index.isEmpty() ? QVariant() : QVariant(c.index)});
    for (int i = 0; i < c.columns.size(); ++i)
        bind(QStringLiteral("INSERT INTO _eng_cons_columns VALUES (?1, ?2, ?3, ?4)"),
             {c.name, c.table, c.columns[i], qlonglong(i + 1)});
}

void Engine::eraseConstraint(const QString &name) {
    catalogueChanged_ = true;
    bind(QStringLiteral("DELETE FROM _eng_constraints WHERE name = ?1"), {name});
    bind(QStringLiteral("DELETE FROM _eng_cons_columns WHERE constraint_name = ?1"), {name});
}

void Engine::saveIndex(const Index &ix) {
    eraseIndex(ix.name);
    bind(QStringLiteral("INSERT INTO _eng_indexes VALUES (?1, ?2, ?3, ?4)"),
         {ix.name, ix.table, ix.unique ? QStringLiteral("UNIQUE") : QStringLiteral("NONUNIQUE"),
          qlonglong(ix.createdByConstraint ? 1 : 0)});
    for (int i = 0; i < ix.columns.size(); ++i)
        bind(QStringLiteral("INSERT INTO _eng_ind_columns VALUES (?1, ?2, ?3, ?4)"),
             {ix.name, ix.table, ix.columns[i], qlonglong(i + 1)});
}

void Engine::eraseIndex(const QString &name) {
    catalogueChanged_ = true;
    bind(QStringLiteral("DELETE FROM _eng_indexes WHERE name = ?1"), {name});
    bind(QStringLiteral("DELETE FROM _eng_ind_columns WHERE index_name = ?1"), {name});
}

void Engine::saveSequence(const Sequence &s) {
    bind(QStringLiteral("INSERT OR REPLACE INTO _eng_sequences VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
         {s.name, qlonglong(s.next), qlonglong(s.increment), qlonglong(s.minValue),
          s.maxValue == 0 ? QVariant() : QVariant(qlonglong(s.maxValue)),
          s.cycle ? QStringLiteral("Y") : QStringLiteral("N")});
}

void Engine::eraseSequence(const QString &name) {
    catalogueChanged_ = true;
    bind(QStringLiteral("DELETE FROM _eng_sequences WHERE name = ?1"), {name});
}

QString Engine::newSystemName() {
    catalogueChanged_ = true;
    ++systemCounter_;
    setMeta(QStringLiteral("system_counter"), QString::number(systemCounter_));
    return QStringLiteral("SYS_C%1").arg(systemCounter_, 7, 10, QLatin1Char('0'));
}

} // namespace platform::db::embedded
