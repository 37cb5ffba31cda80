-- A run of Oracle statements as an update script writes them. Each statement is
-- one line; the comment lines after it give what Oracle answers: "ok", "rows N",
-- the exact error text, or the result set (header line, then one line per row;
-- values: NULL, numbers, texts, dates as yyyy-MM-ddTHH:mm:ss).
create table FRU (COD NUMBER(3,0) not null, NME VARCHAR2(10 BYTE), PSO NUMBER(7,2), ENT_DTA DATE, SGL CHAR(2))
-- ok
create table FRU (COD NUMBER)
-- ORA-00955: name is already used by an existing object
alter table FRU add constraint FRU_PK  primary key (COD)
-- ok
alter table FRU add constraint FRU_PK2 primary key (NME)
-- ORA-02260: table can have only one primary key
insert into FRU (COD, NME, PSO, ENT_DTA, SGL) values (001, 'Maçã', 1.005, '05/01/01', 'MC')
-- rows 1
insert into fru (cod, nme) values (2, 'Pêra')
-- rows 1
insert into FRU (COD, NME) values (2, 'Uva')
-- ORA-00001: unique constraint (TALVERO.FRU_PK) violated
insert into FRU (COD, NME) values (1000, 'Uva')
-- ORA-01438: value larger than specified precision allowed for this column
insert into FRU (COD, NME) values (3, 'Uvas Itália')
-- ORA-12899: value too large for column "TALVERO"."FRU"."NME" (actual: 11, maximum: 10)
insert into FRU (NME) values ('Uva')
-- ORA-01400: cannot insert NULL into ("TALVERO"."FRU"."COD")
insert into FRU (COD, NME) values ('3a', 'Uva')
-- ORA-01722: invalid number
insert into FRU (COD, ENT_DTA) values (3, '31/02/01')
-- ORA-01839: date not valid for month specified
insert into FRU (COD, ENT_DTA) values (3, '01/13/01')
-- ORA-01843: not a valid month
insert into FRU (COD, ENT_DTA) values (3, '01-01')
-- ORA-01840: input value not long enough for date format
insert into FRU (COD, NOPE) values (3, 1)
-- ORA-00904: "NOPE": invalid identifier
insert into FRU (COD, NME) values (3)
-- ORA-00947: not enough values
insert into FRU (COD) values (3, 'x')
-- ORA-00913: too many values
insert into FRU (COD, COD) values (3, 4)
-- ORA-00957: duplicate column name
INSERT ALL INTO FRU (COD, NME, ENT_DTA) VALUES (10, 'Kiwi', '31/12/30') INTO FRU VALUES (11, 'Caqui', 2.5, '01/01/50', 'CQ') INTO FRU (COD) VALUES (12) SELECT * FROM dual
-- rows 3
select COD, NME, PSO, ENT_DTA, SGL from FRU order by COD
-- COD|NME|PSO|ENT_DTA|SGL
-- 1|Maçã|1.01|2001-01-05T00:00:00|MC
-- 2|Pêra|NULL|NULL|NULL
-- 10|Kiwi|NULL|2030-12-31T00:00:00|NULL
-- 11|Caqui|2.5|1950-01-01T00:00:00|CQ
-- 12|NULL|NULL|NULL|NULL
select COD from FRU where ENT_DTA between '01/01/01' and '31/12/30' order by ENT_DTA desc
-- COD
-- 10
-- 1
select count(*), max(COD) as COD, min(ENT_DTA) from FRU
-- COUNT(*)|COD|MIN(ENT_DTA)
-- 5|12|1950-01-01T00:00:00
select NME from FRU order by NME desc
-- NME
-- NULL
-- Pêra
-- Maçã
-- Kiwi
-- Caqui
update FRU set NME = '' where COD = 11
-- rows 1
select COD from FRU where NME is null order by COD
-- COD
-- 11
-- 12
update FRU set COD = null where COD = 12
-- ORA-01407: cannot update ("TALVERO"."FRU"."COD") to NULL
delete from FRU where COD > 10
-- rows 2
create sequence FRU_SEQ increment by 1 start with 57 nocache order
-- ok
 create sequence FRU_SEQ increment by 1 start with 1 nocache order 
-- ORA-00955: name is already used by an existing object
insert into FRU (COD, NME) values (FRU_SEQ.nextval, 'Seq')
-- rows 1
select FRU_SEQ.currval as ATUAL, SEQUENCE_NAME, LAST_NUMBER, INCREMENT_BY from USER_SEQUENCES
-- ATUAL|SEQUENCE_NAME|LAST_NUMBER|INCREMENT_BY
-- 57|FRU_SEQ|58|1
rename FRU_SEQ to FRUTA_SEQ
-- ok
select NOPE_SEQ.nextval from dual
-- ORA-02289: sequence does not exist
drop sequence FRU_SEQ
-- ORA-02289: sequence does not exist
drop sequence FRUTA_SEQ
-- ok
alter table FRU drop constraint FRU_PK 
-- ok
select INDEX_NAME from USER_INDEXES where TABLE_NAME = 'FRU'
-- INDEX_NAME
alter table FRU drop constraint FRU_PK 
-- ORA-02443: Cannot drop constraint  - nonexistent constraint
drop index FRU_PK 
-- ORA-01418: specified index does not exist
rename FRU to FRUTA
-- ok
select TABLE_NAME from USER_TABLES where TABLE_NAME like 'FRU%'
-- TABLE_NAME
-- FRUTA
select * from FRU
-- ORA-00942: table or view does not exist
alter table FRUTA add constraint FRUTA_PK  primary key (COD)
-- ok
alter table FRUTA add OLD_CAMPO VARCHAR2 (10)
-- ok
alter table FRUTA add OLD_CAMPO VARCHAR2 (10)
-- ORA-01430: column being added already exists in table
alter table FRUTA add DTA_CAD Date
-- ok
update FRUTA set OLD_CAMPO = NME
-- rows 4
alter table FRUTA modify OLD_CAMPO VARCHAR2 (3)
-- ORA-01441: cannot decrease column length because some value is too big
alter table FRUTA modify PSO VARCHAR2 (10)
-- ORA-01439: column to be modified must be empty to change datatype
update FRUTA set PSO = null
-- rows 4
alter table FRUTA modify PSO VARCHAR2 (12,2)
-- ORA-00907: missing right parenthesis
alter table FRUTA modify PSO VARCHAR2 (10)
-- ok
alter table FRUTA rename column OLD_CAMPO to NME_ANT
-- ok
alter table FRUTA drop column NME_ANT
-- ok
alter table FRUTA drop column NME_ANT
-- ORA-00904: "NME_ANT": invalid identifier
select COLUMN_NAME, DATA_TYPE, DATA_LENGTH, DATA_PRECISION, DATA_SCALE, NULLABLE, COLUMN_ID from USER_TAB_COLUMNS where TABLE_NAME = 'FRUTA' order by COLUMN_ID
-- COLUMN_NAME|DATA_TYPE|DATA_LENGTH|DATA_PRECISION|DATA_SCALE|NULLABLE|COLUMN_ID
-- COD|NUMBER|22|3|0|N|1
-- NME|VARCHAR2|10|NULL|NULL|Y|2
-- PSO|VARCHAR2|10|NULL|NULL|Y|3
-- ENT_DTA|DATE|7|NULL|NULL|Y|4
-- SGL|CHAR|2|NULL|NULL|Y|5
-- DTA_CAD|DATE|7|NULL|NULL|Y|6
select CONSTRAINT_TYPE, count(*) from USER_CONSTRAINTS where TABLE_NAME = 'FRUTA' group by CONSTRAINT_TYPE order by 1
-- CONSTRAINT_TYPE|COUNT(*)
-- C|1
-- P|1
drop table FRUTA purge
-- ok
select count(*) from USER_TABLES
-- COUNT(*)
-- 0
select count(*) from USER_CONSTRAINTS
-- COUNT(*)
-- 0
select DUMMY from DUAL
-- DUMMY
-- X
select 7/2 as Q, 'a' || NULL || 'b' as C, upper('ação') as U, lower('ÇÃO') as L, substr('abcdefghijklmnop',1,12.2) as S from dual
-- Q|C|U|L|S
-- 3.5|ab|AÇÃO|ção|abcdefghijkl
drop table FRUTA
-- ORA-00942: table or view does not exist
create tabel X (A NUMBER)
-- ORA-00901: invalid CREATE command
merge into X using Y on (1 = 1)
-- ORA-00900: invalid SQL statement
