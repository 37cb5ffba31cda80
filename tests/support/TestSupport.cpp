#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace testsupport {

bool WaitUntil(const std::function<bool()> &condition, int ms) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

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
