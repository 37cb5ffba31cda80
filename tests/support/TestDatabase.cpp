#include "tests/support/TestDatabase.h"

#include "common/Configuracao.h"
#include "platform/database/Script.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace testsupport {

TestDatabase::TestDatabase(Seed seed) {
    file_ = dir_.filePath(QStringLiteral("test.db"));
    TConfiguracao &cfg = Configuracao();
    const TConfiguracao saved = cfg;
    cfg.DriverID = QStringLiteral("Embedded");
    cfg.Database = file_;
    dm_ = std::make_unique<Tdm>();
    cfg = saved;
    if (seed == DemoSchema)
        platform::db::RunScriptFile(*dm_->FDConnection,
                                    SourcePath(QStringLiteral("demo/schema.sql")));
    dm_->FDConnection->AddStatementObserver(
        [this](const platform::db::StatementEvent &e) { log_.append(e.sql); });
}

TestDatabase::~TestDatabase() = default;

void TestDatabase::Exec(const QString &sql) {
    dm_->FDConnection->Execute(sql);
}

QString TestDatabase::Scalar(const QString &sql) {
    const platform::db::ResultSet r = dm_->FDConnection->Execute(sql);
    if (r.rows.empty() || r.rows[0].empty() || r.rows[0][0].isNull())
        return QString();
    return r.rows[0][0].toString();
}

QStringList TestDatabase::Rows(const QString &sql) {
    const platform::db::ResultSet r = dm_->FDConnection->Execute(sql);
    QStringList out;
    for (const auto &row : r.rows) {
        QStringList cols;
        for (const QVariant &v : row)
            cols.append(v.isNull() ? QStringLiteral("<null>") : v.toString());
        out.append(cols.join(QLatin1Char('|')));
    }
    return out;
}

} // namespace testsupport
