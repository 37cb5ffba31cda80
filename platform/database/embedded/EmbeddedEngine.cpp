#include "platform/database/embedded/EmbeddedEngine.h"

#include "platform/Exception.h"
#include "platform/database/Backends.h"
#include "platform/database/embedded/Engine.h"

#include <QFileInfo>
#include <QSet>

namespace platform::db {

std::unique_ptr<Backend> createEmbeddedBackend(const QString &file) {
    return std::make_unique<embedded::EmbeddedEngine>(file);
}

} // namespace platform::db

namespace platform::db::embedded {

namespace {
const QString kLost = QStringLiteral("ORA-03113: end-of-file on communication channel");
const QString kNotConnected = QStringLiteral("ORA-03114: not connected to ORACLE");

// Files whose connection a test has cut, shared by every engine in the process.
QSet<QString> &lostFiles() {
    static QSet<QString> files;
    return files;
}

QString fileKey(const QString &file) {
    return QFileInfo(file).absoluteFilePath();
}
} // namespace

EmbeddedEngine::EmbeddedEngine(const QString &file, Settings forNewFile)
    : file_(file), settings_(std::move(forNewFile)) {}

EmbeddedEngine::~EmbeddedEngine() = default;

void EmbeddedEngine::createDatabase(const QString &file, Settings settings) {
    if (QFileInfo::exists(file) && QFileInfo(file).size() > 0)
        throw DatabaseError(
            QStringLiteral("Banco embutido: o arquivo \"%1\" já existe.").arg(file));
    Engine engine(file, settings.characterSet, settings.owner);
}

void EmbeddedEngine::open() {
    if (engine_)
        return;
    if (lostFiles().contains(fileKey(file_)))
        throw DatabaseError(kLost);
    engine_ = std::make_unique<Engine>(file_, settings_.characterSet, settings_.owner);
    lost_ = false;
}

void EmbeddedEngine::close() {
    engine_.reset();
}

bool EmbeddedEngine::isOpen() const {
    return engine_ != nullptr;
}

ResultSet EmbeddedEngine::execute(const QString &sql) {
    ++executed_;
    if (loseAt_ > 0 && executed_ >= loseAt_) {
        lost_ = true;
        lostFiles().insert(fileKey(file_));
        engine_.reset();
        throw DatabaseError(kLost);
    }
    if (failAt_ > 0 && executed_ == failAt_) {
        failAt_ = 0;
        throw DatabaseError(failMessage_);
    }
    if (!engine_)
        throw DatabaseError(kNotConnected);
    return engine_->execute(sql);
}

QString EmbeddedEngine::characterSet() const {
    return engine_ ? engine_->charset() : QString();
}

QString EmbeddedEngine::owner() const {
    return engine_ ? engine_->owner() : QString();
}

void EmbeddedEngine::failStatement(int n, const QString &message) {
    failAt_ = executed_ + n;
    failMessage_ = message;
}

void EmbeddedEngine::loseConnectionAt(int n) {
    loseAt_ = executed_ + n;
}

void EmbeddedEngine::restoreConnection(const QString &file) {
    lostFiles().remove(fileKey(file));
}

qint64 EmbeddedEngine::statementsExecuted() const {
    return executed_;
}

} // namespace platform::db::embedded
