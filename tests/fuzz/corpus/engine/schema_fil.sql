create table FIL (
  COD NUMBER(3,0) NOT NULL,
  NME VARCHAR2(45 BYTE),
  SGL VARCHAR2(10 BYTE),
  CTL_EST VARCHAR2(3 CHAR)
);
alter table FIL add constraint FIL_PK primary key (COD)