#pragma once

// The few tables the SQL targets start from: a key, texts in bytes and characters,
// numbers with and without scale, a date, a sequence, some rows.

namespace fuzz {

inline const char *const kSeedSchema[] = {
    "create table CFG (COD NUMBER(3,0) NOT NULL, VER_DAD VARCHAR2(100 BYTE))",
    "alter table CFG add constraint CFG_PK primary key (COD)",
    "create table ROM (NUM NUMBER(9,0) NOT NULL, ENT_DTA DATE, ENT_QDE NUMBER(9,0), "
    "ENT_PSO_LIQ NUMBER(12,3), OBS VARCHAR2(20 CHAR) DEFAULT 'x', FLG CHAR(1))",
    "alter table ROM add constraint ROM_PK primary key (NUM)",
    "create unique index ROM_UK on ROM (ENT_DTA, ENT_QDE)",
    "create sequence SEQ_ROM start with 10 increment by 1",
    "insert into CFG (COD, VER_DAD) values (1, '4D9A')",
    "insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, FLG) "
    "values (1, '01/02/24', 5, 12.5, 'S')",
    "insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, OBS) "
    "values (2, '03/04/25', 7, 0.125, 'ação')",
};

} // namespace fuzz
