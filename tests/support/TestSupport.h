#pragma once

#include <QString>
#include <QTemporaryDir>

namespace testsupport {

// Absolute path of a file of the source tree ("demo/schema.sql").
QString SourcePath(const QString &relative);

// Whole content of a UTF-8 text file; fails the test when it cannot be read.
QString ReadText(const QString &path);

} // namespace testsupport
