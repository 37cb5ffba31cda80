-- Sample data of the demo database, loaded after schema.sql. Plain Oracle SQL, one
-- statement per ";" at the end of a line, so it runs on Oracle as well as on the
-- embedded engine.

-- Data version 18, scrambled with the default key; the program that creates the demo
-- database writes it again with the key in force.
insert into CFG (COD, VER_DAD) values (1, '4D2F33');

-- The company row (COD 1) and two branches; stock is controlled in 1 and 2.
insert into FIL (COD, NME, SGL, CTL_EST) values (1, 'Servidor', 'SRV', 'Sim');
insert into FIL (COD, NME, SGL, CTL_EST) values (2, 'Packing Vacaria', 'VAC', 'Sim');
insert into FIL (COD, NME, SGL, CTL_EST) values (3, 'Escritório Caxias', 'CXS', 'Não');

-- Administrators (one blocked) and ordinary users.
insert into USU (IDT, NME, ADM, BLQ) values ('ADMIN', 'Administrador', 'Sim', 'Não');
insert into USU (IDT, NME, ADM, BLQ) values ('MARIA', 'Maria Souza', 'Sim', 'Não');
insert into USU (IDT, NME, ADM, BLQ) values ('JOAO', 'João Pereira', 'Sim', 'Sim');
insert into USU (IDT, NME, ADM, BLQ) values ('BALANCA', 'Operador da Balança', 'Não', 'Não');
insert into USU (IDT, NME, ADM, BLQ) values ('EXPEDICAO', 'Expedição', 'Não', 'Não');

-- A few screens of the registry and the access rows on them.
insert into TEL (NUM, NME, DES) values (1, 'CRA_EBL', 'Crachá da Embaladora');
insert into TEL (NUM, NME, DES) values (3, 'USU_LOG', 'Usuário Logados');
insert into TEL (NUM, NME, DES) values (27, 'PRM_GER', 'Parâmetros Gerais');
insert into TEL (NUM, NME, DES) values (100, 'CAD_AGN', 'Cadastro de Agenda');
insert into TEL (NUM, NME, DES) values (439, 'MVT_ROM_BXA', 'Movimento de Romaneio - Baixa');
insert into TEL (NUM, NME, DES) values (440, 'MVT_ROM_ENT', 'Movimento de Romaneio - Entrada');
insert into TEL (NUM, NME, DES) values (728, 'REL_ROM_EST', 'Relatório de Romaneio - Estoque');
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) select F.COD, U.IDT, T.NUM from FIL F, USU U, TEL T where F.CTL_EST = 'Sim' and U.ADM = 'Sim';
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'BALANCA', 440);
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'BALANCA', 439);
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (2, 'BALANCA', 440);
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'EXPEDICAO', 439);
insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'EXPEDICAO', 728);

-- Backup folder of the generated backup scripts.
insert into PRM_GER (COD, PST_BKP) values (1, 'D:\Backup');

-- Two logged-in program instances. Their PIDs lie above any PID the operating
-- system hands out, so ending them from the logged-users window cannot hit a live
-- process.
insert into USU_LOG (PID, USU, CPU, TRS, LGN) values (9000001, 'BALANCA', 'BALANCA01', 440, to_date('11/12/2026 07:45:12', 'DD/MM/YYYY HH24:MI:SS'));
insert into USU_LOG (PID, USU, CPU, TRS, LGN) values (9000002, 'EXPEDICAO', 'EXPEDICAO02', 728, to_date('11/12/2026 08:03:40', 'DD/MM/YYYY HH24:MI:SS'));

-- 300 romaneios from January 2024 to December 2026, generated over a numbers table.
create table DEMO_DIG (D NUMBER(1,0) NOT NULL);
insert into DEMO_DIG (D) values (0);
insert into DEMO_DIG (D) values (1);
insert into DEMO_DIG (D) values (2);
insert into DEMO_DIG (D) values (3);
insert into DEMO_DIG (D) values (4);
insert into DEMO_DIG (D) values (5);
insert into DEMO_DIG (D) values (6);
insert into DEMO_DIG (D) values (7);
insert into DEMO_DIG (D) values (8);
insert into DEMO_DIG (D) values (9);
create table DEMO_SEQ (N NUMBER(4,0) NOT NULL);
insert into DEMO_SEQ (N) select A.D * 100 + B.D * 10 + C.D + 1 from DEMO_DIG A, DEMO_DIG B, DEMO_DIG C where A.D < 3;

insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, PSO_LIQ, PSO_BRU) select 24000 + N, to_date(lpad(to_char(mod(N * 11, 28) + 1), 2, '0') || '/' || lpad(to_char(trunc(mod(N - 1, 100) * 12 / 100) + 1), 2, '0') || '/' || to_char(2024 + trunc((N - 1) / 100)), 'DD/MM/YYYY'), 40 + mod(N * 37, 81), (40 + mod(N * 37, 81)) * 18 + mod(N * 7, 9) + mod(N * 113, 1000) / 1000, (40 + mod(N * 37, 81)) * 19.2 + mod(N * 7, 9) + mod(N * 113, 1000) / 1000, 0, 0, 0 from DEMO_SEQ;

drop table DEMO_SEQ purge;
drop table DEMO_DIG purge;

-- Write-offs: a third of the boxes of three romaneios in four, five more boxes of
-- every tenth, and a quarter to order items of every third.
insert into ROM_BXA (COD, ROM_NUM, DTA, QDE, PSO_LIQ, PSO_BRU) select NUM - 24000, NUM, ENT_DTA, trunc(ENT_QDE / 3), round(ENT_PSO_LIQ * trunc(ENT_QDE / 3) / ENT_QDE, 3), round(ENT_PSO_BRU * trunc(ENT_QDE / 3) / ENT_QDE, 3) from ROM where mod(NUM, 4) <> 0;
insert into ROM_BXA (COD, ROM_NUM, DTA, QDE, PSO_LIQ, PSO_BRU) select NUM - 23000, NUM, ENT_DTA, 5, round(ENT_PSO_LIQ * 5 / ENT_QDE, 3), round(ENT_PSO_BRU * 5 / ENT_QDE, 3) from ROM where mod(NUM, 10) = 0;
insert into PDT_PED_ITE_BXA (COD, NUM, DTA, QDE, PSO_LIQ, PSO_BRU) select NUM - 24000, NUM, ENT_DTA, trunc(ENT_QDE / 4), round(ENT_PSO_LIQ * trunc(ENT_QDE / 4) / ENT_QDE, 3), round(ENT_PSO_BRU * trunc(ENT_QDE / 4) / ENT_QDE, 3) from ROM where mod(NUM, 3) = 0;

-- Stored balance = entry minus write-offs.
update ROM set QDE = ENT_QDE - nvl((select sum(B.QDE) from ROM_BXA B where B.ROM_NUM = ROM.NUM), 0) - nvl((select sum(V.QDE) from PDT_PED_ITE_BXA V where V.NUM = ROM.NUM), 0), PSO_LIQ = ENT_PSO_LIQ - nvl((select sum(B.PSO_LIQ) from ROM_BXA B where B.ROM_NUM = ROM.NUM), 0) - nvl((select sum(V.PSO_LIQ) from PDT_PED_ITE_BXA V where V.NUM = ROM.NUM), 0), PSO_BRU = ENT_PSO_BRU - nvl((select sum(B.PSO_BRU) from ROM_BXA B where B.ROM_NUM = ROM.NUM), 0) - nvl((select sum(V.PSO_BRU) from PDT_PED_ITE_BXA V where V.NUM = ROM.NUM), 0);

-- A handful of romaneios whose stored balance went wrong, for the stock-difference
-- report: quantity, net weight, gross weight by one gram, and a whole missing box.
update ROM set QDE = QDE + 2 where NUM in (24017, 24133);
update ROM set PSO_LIQ = PSO_LIQ - 1.5 where NUM in (24058, 24250);
update ROM set PSO_BRU = PSO_BRU + 0.001 where NUM = 24199;
update ROM set QDE = QDE - 1, PSO_LIQ = PSO_LIQ - 18.25, PSO_BRU = PSO_BRU - 19.45 where NUM = 24288;
