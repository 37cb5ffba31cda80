#include "platform/database/Script.h"

#include <gtest/gtest.h>

using platform::db::SplitScript;

TEST(Script, SplitsAtSemicolonsThatEndALineOutsideQuotes) {
    struct Case {
        const char *name;
        QString script;
        QStringList statements;
    };
    const std::vector<Case> cases = {
        {"comments and blank lines between statements are left out",
         QStringLiteral("-- header\n\ncreate table A (X NUMBER);\r\n\r\n-- next\ndrop table A;\n"),
         {QStringLiteral("create table A (X NUMBER)"), QStringLiteral("drop table A")}},
        {"a statement over several lines keeps its lines",
         QStringLiteral("create table A (\n  X NUMBER,\n  Y DATE\n);"),
         {QStringLiteral("create table A (\n  X NUMBER,\n  Y DATE\n)")}},
        {"a semicolon inside a text or mid-line does not split",
         QStringLiteral("insert into A values ('x;\ny;');\nselect 1; from DUAL;"),
         {QStringLiteral("insert into A values ('x;\ny;')"),
          QStringLiteral("select 1; from DUAL")}},
        {"a last statement without semicolon still counts",
         QStringLiteral("drop table A;\ndrop table B"),
         {QStringLiteral("drop table A"), QStringLiteral("drop table B")}},
        {"trailing blanks after the semicolon",
         QStringLiteral("drop table A;   \n"),
         {QStringLiteral("drop table A")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SplitScript(c.script), c.statements);
    }
}
