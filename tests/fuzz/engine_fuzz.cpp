// EmbeddedEngine::execute on a fresh copy of a small database: any SQL text either
// runs or fails with an Oracle error (platform::DatabaseError, "ORA-nnnnn: ...").
// A SQLite message that reaches the caller untranslated (as ORA-00600 with SQLite's
// text) is a finding too, and so is a failed statement that leaves a change behind
// (every statement is atomic): the catalogue and the rows are compared before and
// after each failed statement that can change anything.
//
// Input: up to 8 statements separated by ";" (a ";" inside a literal simply cuts
// it, which the engine must refuse like any other broken text). Every input starts
// from the same database, so a crash file reproduces on its own.

#include "platform/Exception.h"
#include "platform/database/embedded/EmbeddedEngine.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/SeedSchema.h"

#include <QFile>

using platform::db::embedded::EmbeddedEngine;

namespace {

const QString &templateFile() {
    static const QString path = [] {
        const QString file = fuzz::scratchFolder() + QStringLiteral("/template.db");
        EmbeddedEngine::createDatabase(file);
        EmbeddedEngine engine(file);
        engine.open();
        for (const char *statement : fuzz::kSeedSchema)
            engine.execute(QString::fromUtf8(statement));
        engine.close();
        return file;
    }();
    return path;
}

QString freshCopy() {
    const QString file = fuzz::scratchFolder() + QStringLiteral("/run.db");
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
    if (!QFile::copy(templateFile(), file))
        fuzz::fail("cannot copy the seed database");
    return file;
}

void addRows(QString &out, const platform::db::ResultSet &r) {
    for (const auto &row : r.rows) {
        for (const QVariant &v : row)
            out += (v.isValid() ? v.toString() : QStringLiteral("<null>")) + QChar(0x1f);
        out += QLatin1Char('\n');
    }
}

// The catalogue (without the sequences' next values) and every row of every table.
QString snapshot(EmbeddedEngine &engine) {
    QString out;
    try {
        for (const char *sql :
             {"select TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, DATA_PRECISION, "
              "DATA_SCALE, NULLABLE, COLUMN_ID, DATA_DEFAULT, CHAR_LENGTH, CHAR_USED "
              "from USER_TAB_COLUMNS order by TABLE_NAME, COLUMN_ID",
              "select CONSTRAINT_NAME, CONSTRAINT_TYPE, TABLE_NAME, INDEX_NAME "
              "from USER_CONSTRAINTS order by CONSTRAINT_NAME",
              "select INDEX_NAME, TABLE_NAME, COLUMN_NAME, COLUMN_POSITION "
              "from USER_IND_COLUMNS order by INDEX_NAME, COLUMN_POSITION",
              "select SEQUENCE_NAME, INCREMENT_BY, MIN_VALUE, MAX_VALUE "
              "from USER_SEQUENCES order by SEQUENCE_NAME"})
            addRows(out, engine.execute(QString::fromLatin1(sql)));
        const platform::db::ResultSet tables =
            engine.execute(QStringLiteral("select TABLE_NAME from USER_TABLES order by 1"));
        for (const auto &row : tables.rows) {
            const QString name = row.at(0).toString();
            out += name + QLatin1Char('\n');
            addRows(out, engine.execute(QStringLiteral("select * from \"%1\"").arg(name)));
        }
    } catch (const platform::Exception &e) {
        fuzz::fail("the catalogue or a table cannot be read back", e.Message());
    }
    return out;
}

// Queries without NEXTVAL change nothing; everything else may.
bool mayChange(const QString &sql) {
    const QString s = sql.trimmed().toUpper();
    return !(s.startsWith(QLatin1String("SELECT")) && !s.contains(QLatin1String("NEXTVAL")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size > 4096)
        return 0;
    const QStringList statements = fuzz::text(data, size).split(QLatin1Char(';'));
    if (statements.size() > 8)
        return 0;
    EmbeddedEngine engine(freshCopy());
    engine.open();
    for (const QString &sql : statements) {
        const QString before = mayChange(sql) ? snapshot(engine) : QString();
        try {
            (void)engine.execute(sql);
        } catch (const platform::DatabaseError &e) {
            const QString &m = e.Message();
            if (!m.startsWith(QLatin1String("ORA-")))
                fuzz::fail("DatabaseError without an Oracle error code", m);
            if (m.startsWith(QLatin1String("ORA-00600")))
                fuzz::fail("SQLite error leaked as ORA-00600", m);
            if (mayChange(sql) && snapshot(engine) != before)
                fuzz::fail("a failed statement left a change behind",
                           sql + QStringLiteral("\n") + m);
        } catch (const std::exception &e) {
            fuzz::unexpected(e);
        }
    }
    engine.close();
    return 0;
}
