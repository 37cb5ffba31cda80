// Runs an Oracle script written the way update scripts are written, statement by
// statement through Connection/Query, and compares every answer with what Oracle
// gives: "ok", "rows N", the exact error text, or the rows.

#include "platform/database/Database.h"
#include "tests/support/TestSupport.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform::db;

namespace {

struct Step {
    int line = 0;
    QString sql;
    QStringList expected;
};

std::vector<Step> readScript(const QString &path) {
    std::vector<Step> steps;
    const QStringList lines = testsupport::ReadText(path).split(QLatin1Char('\n'));
    bool header = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.startsWith(QLatin1String("--"))) {
            if (!header && !steps.empty())
                steps.back().expected << line.mid(3);
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        header = false;
        steps.push_back(Step{i + 1, line, {}});
    }
    return steps;
}

QString render(const QVariant &v) {
    if (!v.isValid() || v.isNull())
        return QStringLiteral("NULL");
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(Qt::ISODate);
    if (v.typeId() == QMetaType::Double)
        return QString::number(v.toDouble(), 'g', 15);
    return v.toString();
}

// What the connection answers, in the script's notation.
QStringList answer(Connection &connection, const QString &sql) {
    try {
        Query query(&connection);
        query.SQL.Add(sql);
        const QString first = sql.trimmed().section(QLatin1Char(' '), 0, 0).toLower();
        if (first != QLatin1String("select")) {
            query.ExecSQL();
            const bool dml = first == QLatin1String("insert") || first == QLatin1String("update") ||
                             first == QLatin1String("delete");
            return {dml ? QStringLiteral("rows %1").arg(query.RowsAffected())
                        : QStringLiteral("ok")};
        }
        query.Open();
        QStringList out{query.FieldNames().join(QLatin1Char('|'))};
        for (; !query.Eof(); query.Next()) {
            QStringList row;
            for (int c = 0; c < query.FieldNames().size(); ++c)
                row << render(query.ValueAt(c));
            out << row.join(QLatin1Char('|'));
        }
        return out;
    } catch (const platform::DatabaseError &e) {
        return {e.Message()};
    }
}

} // namespace

TEST(EngineScript, SchemaChangesAnswerAsOracle) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Connection connection;
    connection.Params = {QStringLiteral("DriverID=Embedded"),
                         QStringLiteral("Database=") + dir.filePath(QStringLiteral("db.sqlite"))};
    const auto steps = readScript(
        testsupport::SourcePath(QStringLiteral("tests/platform/data/engine/schema_changes.sql")));
    ASSERT_GT(steps.size(), 50u);
    for (const Step &step : steps) {
        SCOPED_TRACE(QStringLiteral("line %1: %2").arg(step.line).arg(step.sql).toStdString());
        EXPECT_EQ(answer(connection, step.sql).join(QLatin1Char('\n')).toStdString(),
                  step.expected.join(QLatin1Char('\n')).toStdString());
    }
}
