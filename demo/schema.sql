-- Tables of the Veltrana business system that the update tool reads or changes.
-- Runs unchanged on Oracle and on the embedded engine: one statement per ";" at
-- the end of a line, no trailing "/" blocks.

create table CFG (
  COD NUMBER(3,0) NOT NULL,
  VER_DAD VARCHAR2(100 BYTE)
);
alter table CFG add constraint CFG_PK primary key (COD);

create table FIL (
  COD NUMBER(3,0) NOT NULL,
  NME VARCHAR2(45 BYTE),
  SGL VARCHAR2(10 BYTE),
  CTL_EST VARCHAR2(3 CHAR)
);
alter table FIL add constraint FIL_PK primary key (COD);

create table USU_LOG (
  PID NUMBER(7,0) NOT NULL,
  USU VARCHAR2(15 BYTE),
  CPU VARCHAR2(15 BYTE) NOT NULL,
  TRS NUMBER(3,0),
  LGN DATE
);
alter table USU_LOG add constraint USU_LOG_PK primary key (PID, CPU);

create table USU (
  IDT VARCHAR2(15 BYTE) NOT NULL,
  NME VARCHAR2(45 BYTE),
  ADM VARCHAR2(3 CHAR),
  BLQ VARCHAR2(3 CHAR)
);
alter table USU add constraint USU_PK primary key (IDT);

create table TEL (
  NUM NUMBER(4,0) NOT NULL,
  NME VARCHAR2(30 BYTE),
  DES VARCHAR2(80 BYTE)
);
alter table TEL add constraint TEL_PK primary key (NUM);

create table USU_ACE (
  FIL_COD NUMBER(3,0) NOT NULL,
  USU_IDT VARCHAR2(15 BYTE) NOT NULL,
  TEL_NUM NUMBER(4,0) NOT NULL
);
alter table USU_ACE add constraint USU_ACE_PK primary key (FIL_COD, USU_IDT, TEL_NUM);

create table PRM_GER (
  COD NUMBER(3,0) NOT NULL,
  PST_BKP VARCHAR2(100 BYTE)
);
alter table PRM_GER add constraint PRM_GER_PK primary key (COD);

create table ROM (
  NUM NUMBER(9,0) NOT NULL,
  ENT_DTA DATE,
  ENT_QDE NUMBER(9,0),
  ENT_PSO_LIQ NUMBER(12,3),
  ENT_PSO_BRU NUMBER(12,3),
  QDE NUMBER(9,0),
  PSO_LIQ NUMBER(12,3),
  PSO_BRU NUMBER(12,3)
);
alter table ROM add constraint ROM_PK primary key (NUM);

create table ROM_BXA (
  COD NUMBER(9,0) NOT NULL,
  ROM_NUM NUMBER(9,0) NOT NULL,
  DTA DATE,
  QDE NUMBER(9,0),
  PSO_LIQ NUMBER(12,3),
  PSO_BRU NUMBER(12,3)
);
alter table ROM_BXA add constraint ROM_BXA_PK primary key (COD);
create index ROM_BXA_ROM_NUM on ROM_BXA (ROM_NUM);

create table PDT_PED_ITE_BXA (
  COD NUMBER(9,0) NOT NULL,
  NUM NUMBER(9,0) NOT NULL,
  DTA DATE,
  QDE NUMBER(9,0),
  PSO_LIQ NUMBER(12,3),
  PSO_BRU NUMBER(12,3)
);
alter table PDT_PED_ITE_BXA add constraint PDT_PED_ITE_BXA_PK primary key (COD);
create index PDT_PED_ITE_BXA_NUM on PDT_PED_ITE_BXA (NUM);
