-- ZEMT catalog for the embedded SQLite database.
-- STRICT tables make the database refuse a text its column cannot take, as a
-- server would. Foreign keys are enforced by every connection the program
-- opens (PRAGMA foreign_keys=ON); SQLite cannot store that in the file.
-- Dates are ISO 'YYYY-MM-DD' text; the CHECK keeps them well-formed.

CREATE TABLE student (
    Id_zach  INTEGER PRIMARY KEY,
    Fname    TEXT NOT NULL DEFAULT '',
    Lname    TEXT,
    Fakultet TEXT,
    Kurs     INTEGER CHECK (Kurs BETWEEN 1 AND 6)
) STRICT;

CREATE TABLE Room (
    id_room    INTEGER PRIMARY KEY,
    Korpus     INTEGER,
    Kol_mest   INTEGER CHECK (Kol_mest >= 0),
    Kol_Stul   INTEGER,
    Kol_stol   INTEGER,
    Kol_Krovat INTEGER,
    Kol_Shkaf  INTEGER,
    Kol_tumb   INTEGER
) STRICT;

CREATE TABLE Vselenie (
    Id_vselenie   INTEGER PRIMARY KEY,
    Id_zach       INTEGER NOT NULL REFERENCES student (Id_zach),
    Id_room       INTEGER NOT NULL REFERENCES Room (id_room),
    Date_vselenie TEXT DEFAULT (date('now', 'localtime'))
                  CHECK (Date_vselenie IS NULL OR date(Date_vselenie) IS Date_vselenie)
) STRICT;
CREATE INDEX vselenie_zach ON Vselenie (Id_zach);
CREATE INDEX vselenie_room ON Vselenie (Id_room);

CREATE TABLE Platej (
    Id_platej     INTEGER PRIMARY KEY,
    Id_zach       INTEGER NOT NULL REFERENCES student (Id_zach),
    Kashier_fname TEXT,
    Month_oplat   TEXT,
    Summ          REAL,
    Date_platej   TEXT DEFAULT (date('now', 'localtime'))
                  CHECK (Date_platej IS NULL OR date(Date_platej) IS Date_platej)
) STRICT;
CREATE INDEX platej_zach ON Platej (Id_zach);

CREATE VIEW svobodn ("Комната", "Корпус", "Свободно мест") AS
    SELECT r.id_room, r.Korpus,
           r.Kol_mest - (SELECT count(*) FROM Vselenie v WHERE v.Id_room = r.id_room)
    FROM Room r
    WHERE r.Kol_mest > (SELECT count(*) FROM Vselenie v WHERE v.Id_room = r.id_room);

-- A room takes no more students than it has places.
CREATE TRIGGER vselenie_room_full_insert BEFORE INSERT ON Vselenie
WHEN (SELECT count(*) FROM Vselenie WHERE Id_room = NEW.Id_room)
     >= coalesce((SELECT Kol_mest FROM Room WHERE id_room = NEW.Id_room), 0)
     AND EXISTS (SELECT 1 FROM Room WHERE id_room = NEW.Id_room)
BEGIN
    SELECT RAISE(ABORT, 'В комнате нет свободных мест');
END;

CREATE TRIGGER vselenie_room_full_update BEFORE UPDATE OF Id_room ON Vselenie
WHEN NEW.Id_room IS NOT OLD.Id_room
     AND (SELECT count(*) FROM Vselenie WHERE Id_room = NEW.Id_room)
         >= coalesce((SELECT Kol_mest FROM Room WHERE id_room = NEW.Id_room), 0)
     AND EXISTS (SELECT 1 FROM Room WHERE id_room = NEW.Id_room)
BEGIN
    SELECT RAISE(ABORT, 'В комнате нет свободных мест');
END;

-- Change log. A workstation that reopens a table reads only the rows added
-- since its last read, as long as adding rows is all that happened to the
-- table: each inserted row logs its rowid, each updated or deleted row an
-- entry without one, which sends readers back to a full read. Entries are
-- numbered without gaps (AUTOINCREMENT, and a rolled-back write gives its
-- numbers back); a reader that finds a gap after its last entry, or the
-- numbering gone backwards, reads the whole table. The log keeps its last
-- 10,000 entries: each write drops the oldest. Readers trust the log only
-- while these triggers exist and the schema is unchanged since their last
-- read; a catalog without the log is read in full every time.
CREATE TABLE zemt_change_log (
    seq     INTEGER PRIMARY KEY AUTOINCREMENT,
    tbl     TEXT NOT NULL,
    row_key INTEGER
) STRICT;

CREATE TRIGGER zemt_log_student_insert AFTER INSERT ON student BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('student', NEW.rowid);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_student_update AFTER UPDATE ON student BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('student', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_student_delete AFTER DELETE ON student BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('student', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;

CREATE TRIGGER zemt_log_room_insert AFTER INSERT ON Room BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('room', NEW.rowid);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_room_update AFTER UPDATE ON Room BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('room', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_room_delete AFTER DELETE ON Room BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('room', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;

CREATE TRIGGER zemt_log_vselenie_insert AFTER INSERT ON Vselenie BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('vselenie', NEW.rowid);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_vselenie_update AFTER UPDATE ON Vselenie BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('vselenie', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_vselenie_delete AFTER DELETE ON Vselenie BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('vselenie', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;

CREATE TRIGGER zemt_log_platej_insert AFTER INSERT ON Platej BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('platej', NEW.rowid);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_platej_update AFTER UPDATE ON Platej BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('platej', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
CREATE TRIGGER zemt_log_platej_delete AFTER DELETE ON Platej BEGIN
    INSERT INTO zemt_change_log (tbl, row_key) VALUES ('platej', NULL);
    DELETE FROM zemt_change_log WHERE seq <= last_insert_rowid() - 10000;
END;
