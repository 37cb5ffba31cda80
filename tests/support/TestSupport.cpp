#include "tests/support/TestSupport.h"

#include <QFile>
#include <gtest/gtest.h>

namespace testsupport {

QString SourcePath(const QString &relative) {
    QString root = qEnvironmentVariable("ATUALIZA_SOURCE_DIR");
    if (root.isEmpty())
        root = QStringLiteral(ATUALIZA_SOURCE_DIR_DEFAULT);
    return root + QLatin1Char('/') + relative;
}

QString ReadText(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return QString();
    }
    return QString::fromUtf8(f.readAll());
}

} // namespace testsupport
