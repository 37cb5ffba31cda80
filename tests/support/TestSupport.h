#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>

namespace testsupport {

// Absolute path of a file of the source tree ("demo/schema.sql").
QString SourcePath(const QString &relative);

// Whole content of a UTF-8 text file; fails the test when it cannot be read.
QString ReadText(const QString &path);

// Processes events until the condition holds (true) or `ms` milliseconds have
// passed (false).
bool WaitUntil(const std::function<bool()> &condition, int ms = 5000);

} // namespace testsupport
