-- Starting state of the fault campaign, after demo/schema.sql: the objects every
-- entry of campanha.json acts on, with rows, so that each group has work to do.

insert into PRM_GER (COD, PST_BKP) values (1, 'E:');

-- 01: a table with its key, renamed.
create table ANTIGA (COD NUMBER(5), NME VARCHAR2(10));
alter table ANTIGA add constraint ANTIGA_PK primary key (COD);
insert into ANTIGA (COD, NME) values (7, 'sete');

-- 02
create sequence SEQ_VELHA increment by 1 start with 5 nocache order;

-- 03: a key column and a plain one renamed.
create table T3 (COD NUMBER(5), NOM VARCHAR2(10));
alter table T3 add constraint T3_PK primary key (COD);
insert into T3 (COD, NOM) values (1, 'um');

-- 04: a plain column and the key column widened.
create table T4 (COD VARCHAR2(10), TXT VARCHAR2(10));
alter table T4 add constraint T4_PK primary key (COD);
insert into T4 (COD, TXT) values ('A1', 'um');
insert into T4 (COD, TXT) values ('B2', 'dois');

-- 05: an older table of the same name, dropped first.
create table T5 (X VARCHAR2(3), Y NUMBER);
alter table T5 add constraint T5_PK primary key (X);
insert into T5 (X, Y) values ('a', 1);

-- 06: the sequence is rebuilt to continue the column.
create table T6 (ID NUMBER(10));
insert into T6 (ID) values (3);
insert into T6 (ID) values (57);
create sequence SEQ_T6 increment by 1 start with 1000 nocache order;

-- 07
create table T7 (COD NUMBER(3), ANT VARCHAR2(5));
insert into T7 (COD, ANT) values (1, 'velho');
insert into T7 (COD, ANT) values (2, 'velho');

-- 08: rebuilt with a new column order.
create table T8 (A NUMBER(3), B VARCHAR2(5), C VARCHAR2(5));
alter table T8 add constraint T8_PK primary key (A);
insert into T8 (A, B, C) values (1, 'b1', 'c1');
insert into T8 (A, B, C) values (2, 'b2', 'c2');

-- 10, 11, 12
create table TMP_A (COD NUMBER(3));
create table TMP_B (COD NUMBER(3), COL_X NUMBER(3), COL_Y NUMBER(3));
create sequence SEQ_A increment by 1 start with 1 nocache order;

-- 16: rows 1 and 2 hold the old text, row 3 lies outside the filter.
create table TXT_TST (COD NUMBER(3), GRP NUMBER(1), DES VARCHAR2(60 BYTE));
insert into TXT_TST (COD, GRP, DES) values (1, 1, 'NÃO SEI');
insert into TXT_TST (COD, GRP, DES) values (2, 1, 'não, não e Não');
insert into TXT_TST (COD, GRP, DES) values (3, 2, 'NÃO');

-- 18, 19, 20: one branch that controls stock, one that does not, an
-- administrator, a blocked one and an ordinary user; screen 7 with its access rows.
insert into FIL (COD, CTL_EST) values (1, 'Sim');
insert into FIL (COD, CTL_EST) values (2, 'Não');
insert into USU (IDT, NME, ADM, BLQ) values ('ANA', 'Ana', 'Sim', 'Não');
insert into USU (IDT, NME, ADM, BLQ) values ('BLQ', 'Bloqueado', 'Sim', 'Sim');
insert into USU (IDT, NME, ADM, BLQ) values ('OPE', 'Operador', 'Não', 'Não');
insert into TEL (NUM, NME, DES) values (7, 'SETE', 'Tela 7');
insert into TEL (NUM, NME, DES) values (8, 'OITO', 'Tela 8');
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'ANA', 7);
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'OPE', 7);
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'OPE', 8);

-- 22: romaneio 1 balanced after a write-off of each kind, romaneio 2 short by
-- one box, romaneio 3 outside the date range.
insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, PSO_LIQ, PSO_BRU) values (1, '15/03/24', 100, 1000, 1100, 85, 850, 935);
insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, PSO_LIQ, PSO_BRU) values (2, '16/03/24', 50, 500, 520, 49, 500, 520);
insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, PSO_LIQ, PSO_BRU) values (3, '01/01/31', 1, 1, 1, 0, 0, 0);
insert into ROM_BXA (COD, ROM_NUM, QDE, PSO_LIQ, PSO_BRU) values (1, 1, 10, 100, 110);
insert into PDT_PED_ITE_BXA (COD, NUM, QDE, PSO_LIQ, PSO_BRU) values (1, 1, 5, 50, 55);
