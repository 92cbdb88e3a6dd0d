#!/usr/bin/env python3
"""Writes db/demo/data.sql: the demo ZEMT catalog's rows, for SQLite and PostgreSQL alike.

Deterministic (fixed seed), so the committed file only changes when this script does.
Run: python3 tools/make-demo-data.py > db/demo/data.sql
"""
import random

rng = random.Random(20571)

SURNAMES_M = ["Иванов", "Петров", "Сидоров", "Смирнов", "Кузнецов", "Попов", "Васильев", "Соколов",
              "Михайлов", "Новиков", "Фёдоров", "Морозов", "Волков", "Алексеев", "Лебедев", "Семёнов",
              "Егоров", "Павлов", "Козлов", "Степанов", "Николаев", "Орлов", "Андреев", "Макаров",
              "Никитин", "Захаров", "Зайцев", "Соловьёв", "Борисов", "Яковлев", "Григорьев", "Романов",
              "Воробьёв", "Сергеев", "Кузьмин", "Фролов", "Александров", "Дмитриев", "Королёв", "Гусев",
              "Киселёв", "Ильин", "Максимов", "Поляков", "Сорокин", "Виноградов", "Ковалёв", "Белов"]
NAMES_M = ["Александр", "Дмитрий", "Максим", "Сергей", "Андрей", "Алексей", "Артём", "Илья", "Кирилл",
           "Михаил", "Никита", "Матвей", "Роман", "Егор", "Иван", "Олег", "Павел", "Денис", "Евгений",
           "Владимир", "Тимур", "Глеб"]
NAMES_F = ["Анастасия", "Мария", "Анна", "Виктория", "Екатерина", "Наталья", "Ольга", "Елена",
           "Дарья", "Полина", "Ксения", "Алина", "Юлия", "Татьяна", "Светлана", "Ирина", "Вера",
           "Софья"]
FACULTIES = ["Экономический", "Юридический", "Исторический", "Физико-математический",
             "Филологический", "Механический", "Химический", "Строительный", "Энергетический",
             "Информационных технологий"]
CASHIERS = ["Смирнова Т.В.", "Кузнецова О.Н.", "Белова Г.П.", "касса 2"]
MONTHS = ["январь", "февраль", "март", "апрель", "май", "июнь", "июль", "август", "сентябрь",
          "октябрь", "ноябрь", "декабрь"]


def feminine(surname):
    # Every surname in the list ends in -ов, -ев, -ёв or -ин: the feminine form adds -а.
    return surname + "а"


def q(text):
    return "'" + text.replace("'", "''") + "'"


def students():
    ids = set()
    rows = []
    while len(rows) < 320:
        kurs = rng.randint(1, 5)
        number = 20000 + (5 - kurs) * 1000 + rng.randint(100, 999)
        if number in ids:
            continue
        ids.add(number)
        surname = rng.choice(SURNAMES_M)
        if rng.random() < 0.45:
            surname, name = feminine(surname), rng.choice(NAMES_F)
        else:
            name = rng.choice(NAMES_M)
        rows.append((number, surname, name, rng.choice(FACULTIES), kurs))
    # The record-book number every example uses.
    rows[0] = (20571, "Петров", "Иван", "Экономический", 3)
    rows[1] = (20572, "O'Neil", "Патрик", "Филологический", 2)
    return rows


def rooms():
    rows = []
    for korpus, count in ((1, 30), (2, 30), (3, 28), (4, 24)):
        for n in range(1, count + 1):
            places = rng.choice((2, 2, 3, 3, 3, 4))
            rows.append((korpus * 100 + n, korpus, places, places + rng.randint(0, 1), places // 2 + 1,
                         places, places, places))
    return rows


def checkins(student_rows, room_rows):
    waiting = [s[0] for s in student_rows]
    rng.shuffle(waiting)
    waiting.remove(20571)
    waiting.insert(0, 20571)
    rows = []
    for room in room_rows:
        fill = rng.random()
        places = room[2]
        if fill < 0.15:
            take = 0                      # empty room
        elif fill < 0.55:
            take = rng.randint(1, places - 1)  # partly free
        else:
            take = places                 # full
        for _ in range(take):
            if not waiting:
                return rows
            day = rng.randint(25, 31) if rng.random() < 0.8 else rng.randint(1, 28)
            month = 8 if day > 28 else 9
            rows.append((waiting.pop(0), room[0], f"2026-{month:02d}-{day:02d}"))
    return rows


def payments(checkin_rows):
    rows = []
    for student, _room, _date in checkin_rows:
        for month in range(9, 9 + rng.randint(1, 4)):
            summ = rng.choice(("850", "850", "850", "900.50", "1200"))
            day = rng.randint(1, 10)
            rows.append((student, rng.choice(CASHIERS), MONTHS[month - 1], summ, f"2026-{month:02d}-{day:02d}"))
    return rows


def main():
    s = students()
    r = rooms()
    c = checkins(s, r)
    p = payments(c)
    print("-- Demo rows of the ZEMT catalog. Written by tools/make-demo-data.py; do not edit.")
    print("BEGIN;")
    for row in s:
        print(f"INSERT INTO student (Id_zach, Fname, Lname, Fakultet, Kurs) VALUES "
              f"({row[0]}, {q(row[1])}, {q(row[2])}, {q(row[3])}, {row[4]});")
    for row in r:
        print("INSERT INTO Room (id_room, Korpus, Kol_mest, Kol_Stul, Kol_stol, Kol_Krovat, Kol_Shkaf, Kol_tumb) "
              f"VALUES ({', '.join(str(v) for v in row)});")
    for row in c:
        print(f"INSERT INTO Vselenie (Id_zach, Id_room, Date_vselenie) VALUES ({row[0]}, {row[1]}, '{row[2]}');")
    for row in p:
        print("INSERT INTO Platej (Id_zach, Kashier_fname, Month_oplat, Summ, Date_platej) VALUES "
              f"({row[0]}, {q(row[1])}, {q(row[2])}, {row[3]}, '{row[4]}');")
    print("COMMIT;")


if __name__ == "__main__":
    main()
