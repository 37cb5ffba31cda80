#include "platform/database/Script.h"

#include <QFile>

namespace platform::db {

QStringList SplitScript(const QString &script) {
    QStringList statements;
    QString current;
    bool inText = false; // inside '...'
    bool inName = false; // inside "..."
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!inText && !inName) {
            const QString t = line.trimmed();
            if (current.trimmed().isEmpty() && (t.isEmpty() || t.startsWith(QLatin1String("--"))))
                continue;
        }
        for (QChar c : line) {
            if (c == QLatin1Char('\'') && !inName)
                inText = !inText;
            else if (c == QLatin1Char('"') && !inText)
                inName = !inName;
        }
        const QString right = line.trimmed();
        if (!inText && !inName && right.endsWith(QLatin1Char(';'))) {
            line = line.left(line.lastIndexOf(QLatin1Char(';')));
            current += line;
            const QString statement = current.trimmed();
            if (!statement.isEmpty())
                statements.append(statement);
            current.clear();
        } else {
            current += line;
            current += QLatin1Char('\n');
        }
    }
    if (!current.trimmed().isEmpty())
        statements.append(current.trimmed());
    return statements;
}

void RunScript(Connection &connection, const QString &script) {
    const QStringList statements = SplitScript(script);
    for (int i = 0; i < statements.size(); ++i) {
        try {
            connection.Execute(statements[i]);
        } catch (const DatabaseError &e) {
            throw DatabaseError(QStringLiteral("Comando %1 do script:\n%2\n%3")
                                    .arg(i + 1)
                                    .arg(statements[i], e.Message()));
        }
    }
}

void RunScriptFile(Connection &connection, const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw Exception(
            QStringLiteral("Não foi possível ler o script \"%1\": %2").arg(path, f.errorString()));
    RunScript(connection, QString::fromUtf8(f.readAll()));
}

} // namespace platform::db
