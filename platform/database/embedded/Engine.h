#pragma once

// Inside of the embedded engine: the catalogue kept in memory and in the hidden
// tables, the statement handlers and the SQLite connection.

#include "platform/database/Backend.h"
#include "platform/database/embedded/Tokenizer.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <sqlite3.h>
#include <vector>

namespace platform::db::embedded {

struct Column {
    QString name;
    QString type;       // NUMBER, VARCHAR2, CHAR, DATE
    int length = 0;     // VARCHAR2/CHAR: in bytes or characters (charSemantics)
    int precision = -1; // NUMBER; -1 = none
    int scale = -1;     // NUMBER; -1 = none (floating)
    bool charSemantics = false;
    bool notNull = false;
    QString notNullName; // SYS_Cnnnnnnn of the NOT NULL constraint
    QString defaultText; // Oracle expression text, "" when none
};

struct Table {
    QString name;
    std::vector<Column> columns;
    int columnIndex(const QString &column) const;
};

struct Constraint {
    QString name;
    QString table;
    QChar type; // P, U
    QStringList columns;
    QString index;
};

struct Index {
    QString name;
    QString table;
    bool unique = false;
    QStringList columns;
    bool createdByConstraint = false;
};

struct Sequence {
    QString name;
    qint64 next = 1; // LAST_NUMBER: the value the next NEXTVAL hands out
    qint64 increment = 1;
    qint64 minValue = 1;
    qint64 maxValue = 0; // 0 = none
    bool cycle = false;
};

// How a value is checked and converted on its way into a column.
struct PutSpec {
    QString table;
    Column column;
    bool update = false;
};

class Translator;

// How a parameter of a translated statement is made from one of its literals.
enum class ParamSource { Text, Number, SessionDate, IsoDate };
struct ParamRecipe {
    int token = 0; // index of the literal among the statement's tokens
    ParamSource source = ParamSource::Text;
};

class Engine {
public:
    Engine(const QString &file, const QString &charset, const QString &owner);
    ~Engine();
    Engine(const Engine &) = delete;
    Engine &operator=(const Engine &) = delete;

    ResultSet execute(const QString &sql);

    const QString &charset() const { return charset_; }
    const QString &owner() const { return owner_; }

    // Used by the translator and the SQL functions.
    const Table *table(const QString &name) const;
    const QMap<QString, Table> &tables() const { return tables_; }
    bool isDictionaryView(const QString &name) const;
    int addPutSpec(const QString &table, const Column &column, bool update);
    const PutSpec &putSpec(int id) const { return putSpecs_[size_t(id)]; }
    qint64 nextValue(const QString &sequence);
    qint64 currentValue(const QString &sequence);
    bool sequenceExists(const QString &name) const { return sequences_.contains(name); }
    int byteLength(const QString &text) const;
    bool singleByte() const { return singleByte_; }
    QString quotedOwnerName(const QString &table, const QString &column) const;

private:
    // Statement kinds.
    ResultSet select(const Tokens &t);
    ResultSet insert(const Tokens &t);
    ResultSet insertAll(const Tokens &t);
    ResultSet updateOrDelete(const Tokens &t);
    void create(const Tokens &t);
    void createTable(const Tokens &t, int i);
    void createIndex(const Tokens &t, int i, bool unique);
    void createSequence(const Tokens &t, int i);
    void drop(const Tokens &t);
    void rename(const Tokens &t);
    void alter(const Tokens &t);
    void truncate(const Tokens &t);
    void alterAdd(Table &table, const Tokens &t, int i, int end);
    void alterModify(Table &table, const Tokens &t, int i, int end);
    void alterDrop(Table &table, const Tokens &t, int i, int end);

    // Catalogue helpers.
    void load();
    void createSchema();
    void saveTable(const Table &table);
    void eraseTable(const QString &name);
    void saveConstraint(const Constraint &c);
    void eraseConstraint(const QString &name);
    void saveIndex(const Index &index);
    void eraseIndex(const QString &name);
    void saveSequence(const Sequence &s);
    void eraseSequence(const QString &name);
    void setMeta(const QString &key, const QString &value);
    QString newSystemName();
    void requireFreeObjectName(const QString &name) const;
    Table &requireTable(const QString &name);
    int parseColumn(const Tokens &t, int i, int end, Table &table, std::vector<Constraint> &keys,
                    bool alterAdd);
    int parseType(const Tokens &t, int i, int end, Column &column, bool inParens);
    void addKey(Table &table, Constraint key);
    void dropConstraint(Table &table, const QString &name);
    void createSqliteIndex(const Index &index);
    void rebuildTable(const Table &table);
    QString sqliteColumnType(const Column &c) const;
    qint64 count(const QString &sql);

    // SQLite access.
    void run(const QString &sql);
    // Runs one statement; `params` fill its ?NNN parameters. Statements with
    // parameters are kept prepared, keyed by their text.
    ResultSet query(const QString &sql, bool wantRows,
                    const std::vector<QVariant> *params = nullptr);
    void clearStatementCache();
    // A catalogue statement with ?1..?n bound to `values`.
    void bind(const QString &sql, std::vector<QVariant> values);
    [[noreturn]] void raise(int code, const QString &sqliteMessage);
    void begin();
    void commit();
    void rollback();
    // Reloads the catalogue when another connection has committed since.
    void followOtherConnections();
    // The same for a query run outside a transaction of ours.
    void followOtherConnectionsOutside();

    sqlite3 *db_ = nullptr;
    sqlite3_stmt *begin_ = nullptr;
    sqlite3_stmt *commit_ = nullptr;
    sqlite3_stmt *rollback_ = nullptr;
    sqlite3_stmt *dataVersion_ = nullptr; // PRAGMA data_version
    qint64 seenDataVersion_ = -1;
    qint64 seenPragmaVersion_ = -1;
    QString charset_;
    QString owner_;
    bool singleByte_ = true;
    int systemCounter_ = 0;
    QMap<QString, Table> tables_;
    QMap<QString, Constraint> constraints_;
    QMap<QString, Index> indexes_;
    QMap<QString, Sequence> sequences_;
    QHash<QString, qint64> currentValues_;
    QSet<QString> touchedSequences_;
    std::vector<PutSpec> putSpecs_;
    // Literals of the statement being translated, bound as parameters.
    std::vector<QVariant> params_;
    struct Prepared {
        sqlite3_stmt *statement = nullptr;
        QStringList columns;
    };
    QHash<QByteArray, Prepared> prepared_;
    // Translated queries by statement shape (the tokens with their literals left
    // out), so that a query repeated with other values skips the translator.
    struct Translation {
        QString sql;
        std::vector<ParamRecipe> recipes; // the first parameters
        std::vector<QVariant> constants;  // the rest (column defaults)
        std::vector<PutSpec> putSpecs;
    };
    // A translation of this shape, with the statement's parameters and value
    // checks filled in; false when there is none.
    bool reuseTranslation(const QString &shape, const Tokens &t, QString &sql);
    // Keeps the translation just made by `tr` (with the parameters and value
    // checks it produced) when its literals did not shape its text.
    void keepTranslation(QString shape, const QString &sql, const Translator &tr);
    QHash<QString, Translation> translations_;
    static QString shapeOf(const Tokens &t);
    bool catalogueChanged_ = false;

    // Translators of the current statement bind their literals here.
    std::vector<QVariant> &params() { return params_; }

    friend class Translator;
};

// Prefix of the engine's own objects inside the SQLite file.
inline const QString kHiddenPrefix = QStringLiteral("_eng_");
// Names of the engine's and SQLite's own objects, which statements cannot reach.
inline bool isHiddenName(const QString &name) {
    return name.startsWith(kHiddenPrefix, Qt::CaseInsensitive) ||
           name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive);
}

void registerFunctions(sqlite3 *db, Engine *engine);

// Double-quoted SQLite identifier.
QString sqlName(const QString &name);
// SQLite text literal.
QString sqlText(const QString &text);

} // namespace platform::db::embedded
