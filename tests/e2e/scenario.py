"""One typical use of the program, end to end, from outside its process.

Splash to main window, the whole list, a search, the password, a payment, a
new student checked in, a student removed, the rooms sorted, the chart, the
report saved as PDF, and closing. Each step leaves a screenshot; what the
program wrote is read back from the catalog with the sqlite3 command.
Run by Debian's /usr/bin/python3 (python3-pyatspi) from run-e2e, which
provides the X display and the session and accessibility buses.
"""
import argparse
import os
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pyatspi  # noqa: E402

from atspi_driver import (Program, ScenarioError, cell, column_index, column_texts,  # noqa: E402
                          enabled, find_all, named, showing, wait_for)
from xwindows import close_window, display_ready, modal_hints  # noqa: E402

TITLE = "База данных общежития"
PASSWORD = "0917"
NEW_STUDENT = {"Fname": "Тестов", "Lname": "Тимур", "Fakultet": "Физический", "Kurs": "2"}
PAYMENT = {"month": "март", "cashier": "Касса №2", "sum": "1500"}
# The first line of every page of the shipped report.
REPORT_HEADING = "Студенты общежития и их платежи"


class Scenario:
    def __init__(self, args):
        self.args = args
        self.catalog = args.catalog
        self.artifacts = args.artifacts
        self.shots = 0
        self.started = time.monotonic()
        self.process = None
        self.ui = None

    # ---- helpers -------------------------------------------------------

    def log(self, text):
        print(f"[{time.monotonic() - self.started:6.1f}s] {text}", flush=True)

    def screenshot(self, name, settle=True):
        """Saves the whole screen. The program paints after it answers, so
        the screen is taken again until two takes agree (a few at most)."""
        self.shots += 1
        path = os.path.join(self.artifacts, f"{self.shots:02d}-{name}.png")
        picture = None
        for _ in range(5 if settle else 1):
            taken = subprocess.run(["import", "-window", "root", "-strip", "png:-"], check=True,
                                   timeout=30, capture_output=True).stdout
            if taken == picture:
                break
            picture = taken
        with open(path, "wb") as f:
            f.write(picture)

    def sql(self, query):
        # The program holds the catalog open: wait for its locks, as it does.
        out = subprocess.run(["sqlite3", "-batch", "-noheader", "-separator", "|",
                              "-cmd", ".timeout 5000", self.catalog, query],
                             check=True, timeout=30, capture_output=True, text=True)
        return [line.split("|") for line in out.stdout.splitlines()]

    def sql_value(self, query):
        rows = self.sql(query)
        return rows[0][0] if rows else None

    def check(self, condition, message):
        if not condition:
            raise ScenarioError(message)

    def no_error_box(self):
        text = self.ui.error_box()
        self.check(text is None, f"the program shows an error: {text}")

    def wait_db(self, what, query, expected, timeout=15.0):
        wait_for(f"{what} in the catalog",
                 lambda: self.no_error_box() or self.sql_value(query) == expected, timeout)

    # ---- steps -------------------------------------------------------------

    def start(self):
        wait_for(f"the X display {os.environ.get('DISPLAY')}", display_ready, timeout=20)
        log = open(os.path.join(self.artifacts, "program.log"), "w")
        self.process = subprocess.Popen([self.args.program], cwd=self.artifacts,
                                        stdout=log, stderr=subprocess.STDOUT,
                                        stdin=subprocess.DEVNULL)
        with open(self.args.pid_file, "w") as f:
            f.write(str(self.process.pid))
        self.ui = Program(self.process)
        self.log(f"program {self.process.pid} is on the accessibility bus")

    def splash_to_main_window(self):
        ui = self.ui

        def has_progress_bar(w):
            return bool(find_all(w, lambda a: a.getRole() == pyatspi.ROLE_PROGRESS_BAR))

        def has_pages(w):
            return bool(find_all(w, named("Основная", pyatspi.ROLE_PAGE_TAB)))

        splash = ui.window(TITLE, timeout=20, where=has_progress_bar)
        seen = time.monotonic()
        self.screenshot("splash", settle=False)  # its bar moves on every tick
        self.log("splash shown")
        # The main window comes on the 145th tick of the 10 ms timer, and the
        # splash goes in the same tick.
        self.main = ui.window(TITLE, timeout=30, where=has_pages)
        self.log(f"main window shown {time.monotonic() - seen:.2f}s after the splash was seen")
        ui.wait_closed(splash, timeout=5)
        self.check(self.main.getRole() == pyatspi.ROLE_FRAME,
                   f"the main window reads as {self.main.getRoleName()}, not a frame")
        self.check(not find_all(self.main, lambda a: a.getRole() == pyatspi.ROLE_TABLE and
                                a.queryTable().nRows > 0),
                   "a grid of the main window is filled before any action")
        for name in ("Добавить студента", "Удаление  студента", "Добавить платеж"):
            self.check(not find_all(self.main, lambda a, n=name: a.name == n and
                                    a.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(a)),
                       f'"{name}" is shown before the password')
        self.screenshot("main-window")

    def whole_list(self):
        ui = self.ui
        count = int(self.sql_value("select count(*) from student"))
        ui.press(ui.button(self.main, "Весь список"))
        students = ui.grid(self.main, "Студенты")
        wait_for(f"{count} students in the grid", lambda: students.nRows == count)
        self.check(sorted(column_texts(students, "Id_zach")) ==
                   sorted(r[0] for r in self.sql("select Id_zach from student")),
                   "the grid does not list the catalog's students")
        self.screenshot("whole-list")
        self.log(f"whole list: {count} students")

    def search(self, surname):
        ui = self.ui
        ui.press(ui.control(self.main, "По фамилии", pyatspi.ROLE_RADIO_BUTTON))
        ui.set_text(ui.control(self.main, "Текст поиска", pyatspi.ROLE_TEXT), surname)
        ui.press(ui.button(self.main, "Поиск"))
        expected = sorted(r[0] for r in self.sql(
            f"select Id_zach from student where Fname = '{surname}'"))
        students = ui.grid(self.main, "Студенты")
        wait_for(f'the students named "{surname}"',
                 lambda: sorted(column_texts(students, "Id_zach")) == expected)
        self.check(set(column_texts(students, "Fname")) <= {surname},
                   f'the search for "{surname}" shows other surnames')
        return students

    def password(self):
        ui = self.ui

        # The operator opens "Главное меню" and picks "Ввести пароль".
        ui.press(ui.menu_item(self.main, "Главное меню"), ("ShowMenu", "Press"))
        item = ui.control(self.main, "Ввести пароль", pyatspi.ROLE_MENU_ITEM)
        self.screenshot("main-menu")
        ui.press_no_wait(item)
        window = ui.window("Введите пароль")
        self.check(window.getRole() == pyatspi.ROLE_DIALOG,
                   f"the password window reads as {window.getRoleName()}, not a dialog")
        ui.wait_closed(item.parent)
        entry = ui.control(window, "Пароль", pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_TEXT)
        # A wrong password first: refused with the plain message box.
        ui.set_text(entry, "1234")
        ui.press_no_wait(ui.button(window, "ОК"))
        box = ui.window("Project1")
        self.check(find_all(box, named("Не правильный пароль! Повторите попытку!")),
                   "the wrong-password box does not say so")
        self.screenshot("wrong-password")
        ui.press_no_wait(ui.button(box, "OK"))
        ui.wait_closed(box)
        self.check(showing(window), "the password window closed after a wrong password")

        ui.set_text(entry, PASSWORD)
        ui.press_no_wait(ui.button(window, "ОК"))
        ui.wait_closed(window)
        for name in ("Добавить студента", "Удаление  студента", "Добавить платеж"):
            ui.button(self.main, name, timeout=5)
        # A hidden menu item reads as neither enabled nor visible.
        self.check(not any(enabled(item) for item in
                           find_all(self.main, named("Ввести пароль", pyatspi.ROLE_MENU_ITEM))),
                   '"Ввести пароль" is still in the menu after the password')
        for name in ("Добавить студента", "Удалить студента", "Добавить платеж"):
            self.check(all(enabled(item) for item in
                           find_all(self.main, named(name, pyatspi.ROLE_MENU_ITEM))),
                       f'"{name}" is not in the menu after the password')
        self.screenshot("unlocked")
        self.log("password accepted: editing commands shown")

    def add_payment(self):
        ui = self.ui
        ui.press_no_wait(ui.button(self.main, "Добавить платеж"))
        dialog = ui.window("Добавление платежа")
        students = ui.grid(dialog, "Выберите студента")
        self.check(students.nRows > 0, "the payment dialog lists no students")
        # The student is chosen in the dialog's grid: the last one listed.
        row = students.nRows - 1
        student = cell(students, row, column_index(students, "Id_zach")).name
        ui.press(cell(students, row, 0), ("SetFocus", "Press"))
        combos = find_all(dialog, lambda a: a.getRole() == pyatspi.ROLE_COMBO_BOX)
        self.check(len(combos) == 1, "the payment dialog has no month box")
        combo = combos[0]
        month_text = find_all(combo, lambda a: a.getRole() == pyatspi.ROLE_TEXT)
        self.check(month_text, "the month box cannot be typed into")
        ui.set_text(month_text[0], PAYMENT["month"])
        ui.set_text(ui.control(dialog, "Кассир", pyatspi.ROLE_TEXT), PAYMENT["cashier"])
        ui.set_text(ui.control(dialog, "Сумма оплаты", pyatspi.ROLE_TEXT), PAYMENT["sum"])
        self.screenshot("payment-dialog")
        ui.press_no_wait(ui.button(dialog, "Добавить"))
        ui.wait_closed(dialog)
        self.no_error_box()
        rows = self.sql("select Id_zach, Kashier_fname, Month_oplat, Summ from Platej "
                        f"where Kashier_fname = '{PAYMENT['cashier']}'")
        self.check(rows == [[student, PAYMENT["cashier"], PAYMENT["month"], "1500.0"]],
                   f"the payment in the catalog reads {rows}")
        payments = ui.grid(self.main, "Оплачено студентом:")
        wait_for("the new payment in the main window's payment grid",
                 lambda: PAYMENT["cashier"] in column_texts(payments, "Kashier_fname"))
        self.screenshot("payment-added")
        self.log(f"payment recorded for student {student}")

    def add_and_check_in_student(self):
        ui = self.ui
        new_id = str(int(self.sql_value("select max(Id_zach) from student")) + 1)
        ui.press_no_wait(ui.button(self.main, "Добавить студента"))
        dialog = ui.window("Добавление студента")
        students = ui.grid(dialog, "Студенты")
        empty_rooms = ui.grid(dialog, "Пустующие комнаты")
        wait_for("the empty rooms listed", lambda: empty_rooms.nRows > 0)
        room = cell(empty_rooms, 0, column_index(empty_rooms, "id_room")).name
        before = students.nRows
        ui.press(ui.button(dialog, "Вставить"))
        wait_for("a new row in the student grid", lambda: students.nRows == before + 1)
        id_column = column_index(students, "Id_zach")
        new_row = next((r for r in range(students.nRows)
                        if cell(students, r, id_column).name == ""), None)
        self.check(new_row is not None, "no blank new row in the student grid")
        values = dict(NEW_STUDENT, Id_zach=new_id)
        for title in ("Id_zach", "Fname", "Lname", "Fakultet", "Kurs"):
            ui.set_cell_text(cell(students, new_row, column_index(students, title)), values[title])
        typed = {t: cell(students, new_row, column_index(students, t)).name for t in values}
        self.check(typed == values, f"the new row reads {typed}")
        self.screenshot("new-student")
        ui.press_no_wait(ui.button(dialog, "Заселить в пустую"))
        self.wait_db("the check-in", f"select Id_room from Vselenie where Id_zach = {new_id}", room)
        student = self.sql(f"select Fname, Lname, Fakultet, Kurs from student where Id_zach = "
                           f"{new_id}")
        self.check(student == [[NEW_STUDENT[k] for k in ("Fname", "Lname", "Fakultet", "Kurs")]],
                   f"the new student in the catalog reads {student}")
        wait_for(f"room {room} gone from the empty rooms",
                 lambda: room not in column_texts(empty_rooms, "id_room"))
        self.screenshot("checked-in")
        self.check(close_window("Добавление студента") == 1, "the check-in dialog is not mapped")
        ui.wait_closed(dialog)
        self.log(f"student {new_id} added and checked into room {room}")
        return new_id

    def remove_student(self):
        ui = self.ui
        # A student with neither check-ins nor payments: the catalog refuses
        # to delete one that still has them.
        victim, surname = self.sql(
            "select Id_zach, Fname from student s where not exists "
            "(select 1 from Vselenie v where v.Id_zach = s.Id_zach) and not exists "
            "(select 1 from Platej p where p.Id_zach = s.Id_zach) order by Id_zach desc limit 1")[0]
        ui.press(ui.button(self.main, "Весь список"))
        count = int(self.sql_value("select count(*) from student"))
        ui.press_no_wait(ui.button(self.main, "Удаление  студента"))
        dialog = ui.window("Удаление")
        students = ui.grid(dialog, "Студенты")
        wait_for("the whole list in the removal dialog", lambda: students.nRows == count)
        ids = column_texts(students, "Id_zach")
        row = ids.index(victim)
        ui.press(cell(students, row, 0), ("SetFocus", "Press"))
        wait_for(f"student {victim} selected", lambda: cell(students, row, 0).getState().contains(
            pyatspi.STATE_SELECTED))
        self.screenshot("remove-selected")
        ui.press_no_wait(ui.button(dialog, "Удалить"))
        confirm = ui.window("Confirm")
        self.check(find_all(confirm, named("Delete record?")), 'the box does not ask "Delete record?"')
        self.screenshot("remove-confirm")
        ui.press_no_wait(ui.button(confirm, "OK"))
        ui.wait_closed(confirm)
        self.wait_db(f"student {victim} deleted",
                     f"select count(*) from student where Id_zach = {victim}", "0")
        wait_for("the removal dialog's list without the student",
                 lambda: students.nRows == count - 1 and victim not in column_texts(students,
                                                                                     "Id_zach"))
        self.screenshot("removed")
        self.check(close_window("Удаление") == 1, "the removal dialog is not mapped")
        ui.wait_closed(dialog)
        self.log(f"student {victim} ({surname}) removed")
        return victim

    def sort_rooms(self):
        ui = self.ui
        ui.press(ui.control(self.main, "Оснащение комнат", pyatspi.ROLE_PAGE_TAB))
        ui.press(ui.control(self.main, "По количеству мест", pyatspi.ROLE_RADIO_BUTTON))
        count = int(self.sql_value("select count(*) from Room"))
        rooms = ui.grid(self.main, "Комнаты")
        wait_for(f"{count} rooms in the grid", lambda: rooms.nRows == count)
        places = [int(p) for p in column_texts(rooms, "Kol_mest")]
        self.check(places == sorted(places), f"rooms not sorted by places: {places}")
        self.screenshot("rooms-sorted")
        self.log(f"{count} rooms sorted by places")

    def chart(self):
        """The chart's bars as the accessibility bus gives them: one per room of
        the sorted room list, in its order, with the catalog's places."""
        ui = self.ui
        rooms = ui.grid(self.main, "Комнаты")
        listed = list(zip(column_texts(rooms, "id_room"), column_texts(rooms, "Kol_mest")))
        ui.press_no_wait(ui.button(self.main, "Диаграмма"))
        window = ui.window("Диаграмма")
        self.check(modal_hints("Диаграмма") == (TITLE, True),
                   f"the chart window's hints read {modal_hints('Диаграмма')}, not transient "
                   "for the main window and modal")
        chart = ui.grid(window, "Кол-во мест в комнатах")
        bars = [(cell(chart, r, 0).name, cell(chart, r, 1).name) for r in range(chart.nRows)]
        self.check(bars == listed, f"the chart's bars {bars} are not the room list {listed}")
        catalog = self.sql("select id_room, Kol_mest from Room")
        self.check(sorted(bars) == sorted((room, places) for room, places in catalog),
                   f"the chart's bars {bars} are not the catalog's rooms {catalog}")
        self.screenshot("chart")
        ui.press_no_wait(ui.button(window, "Закрыть"))
        ui.wait_closed(window)
        self.log(f"chart read: {len(bars)} bars, as in the catalog")

    def preview_page(self, preview, first_student):
        """The shown page's text over the accessibility bus: the report's
        heading first, and the first student's line as the catalog has it."""
        page = self.ui.control(preview, "Page 1", pyatspi.ROLE_DOCUMENT_FRAME)
        lines = Program.text(page).split("\n")
        self.check(lines[0] == REPORT_HEADING,
                   f'the preview page begins with "{lines[0]}", not "{REPORT_HEADING}"')
        expected = "\t".join(self.sql("select Id_zach, Fname, Lname, Fakultet, Kurs from student "
                                      f"where Id_zach = {first_student}")[0])
        first = next((line for line in lines if line.split("\t")[0] == first_student), None)
        self.check(first == expected,
                   f'the preview shows student {first_student} as "{first}", not "{expected}"')
        self.log(f"preview page read: {lines[0]!r}, then {first!r}")

    def report_to_pdf(self, present, absent):
        """Runs the report and saves it as PDF; the text read back from the
        file must hold every text of `present` and none of `absent`."""
        ui = self.ui
        pdf = os.path.join(self.artifacts, "report.pdf")
        ui.press(ui.control(self.main, "Основная", pyatspi.ROLE_PAGE_TAB))
        students = ui.grid(self.main, "Студенты")
        first_student = cell(students, 0, column_index(students, "Id_zach")).name
        ui.press_no_wait(ui.button(self.main, "Распечатать отчет"))
        options = ui.window("Output Options")
        file_choice = ui.control(options, "File", pyatspi.ROLE_RADIO_BUTTON)
        if not find_all(options, named("No printers installed!")):
            self.log("a printer is installed")
        else:
            # Without a printer only the preview is offered; the PDF comes
            # from the preview's "Save As".
            self.check(not enabled(file_choice), "File is offered without a printer")
        preview_choice = ui.control(options, "Preview", pyatspi.ROLE_RADIO_BUTTON)
        self.check(preview_choice.getState().contains(pyatspi.STATE_CHECKED),
                   "Preview is not the chosen destination")
        self.screenshot("output-options")
        ok = next(b for b in find_all(options, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON)
                  if b.name.strip() == "OK")
        ui.press_no_wait(ok)
        preview = ui.window("Report Preview", timeout=60)
        self.screenshot("report-preview")
        self.preview_page(preview, first_student)
        save = next((a for a in find_all(preview, named("Save As")) if a.getRole() in (
            pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_MENU_ITEM)), None)
        self.check(save is not None, 'the preview offers no "Save As"')
        ui.press_no_wait(save)
        dialog = wait_for("the save dialog", lambda: next(
            (w for w in ui.windows() if w.name not in ("Report Preview", TITLE) and
             find_all(w, named("File name:", pyatspi.ROLE_TEXT))), None))
        ui.set_text(ui.control(dialog, "File name:", pyatspi.ROLE_TEXT), pdf)
        self.screenshot("save-as-pdf")
        ui.press_no_wait(next(b for b in find_all(
            dialog, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(a))
            if b.name.replace("&", "") == "Save"))
        ui.wait_closed(dialog)
        wait_for("the PDF file", lambda: os.path.exists(pdf) and os.path.getsize(pdf) > 0)
        exit_action = next((a for a in find_all(preview, named("Exit")) if a.getRole() in (
            pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_MENU_ITEM)), None)
        self.check(exit_action is not None, 'the preview offers no "Exit"')
        ui.press_no_wait(exit_action)
        ui.wait_closed(preview)
        text = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], check=True, timeout=60,
                              capture_output=True, text=True).stdout
        for expected in present:
            self.check(expected in text, f'the report PDF does not show "{expected}"')
        for unexpected in absent:
            self.check(unexpected not in text, f'the report PDF shows "{unexpected}"')
        self.log(f"report saved as PDF ({os.path.getsize(pdf)} bytes) showing {present}")

    def close(self):
        self.screenshot("before-close")
        self.check(close_window(TITLE) == 1, "the main window is not mapped")
        try:
            code = self.process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            raise ScenarioError("the program did not end after its main window was closed")
        self.check(code == 0, f"the program ended with exit code {code}")
        self.log("main window closed: the program ended with exit code 0")

    def run(self):
        self.start()
        try:
            self.splash_to_main_window()
            self.whole_list()
            self.search("Петров")
            self.screenshot("search")
            self.password()
            self.add_payment()
            new_student = self.add_and_check_in_student()
            removed = self.remove_student()
            self.sort_rooms()
            self.chart()
            # The report reads the live lists: the whole list after the
            # removal, with the new student and the new payment.
            self.report_to_pdf(["Петров", new_student, NEW_STUDENT["Fname"], PAYMENT["cashier"]],
                               [removed])
            self.close()
        except BaseException:
            try:
                self.screenshot("failure")
            except Exception:
                pass
            raise
        finally:
            if self.process.poll() is None:
                self.process.kill()
                self.process.wait(timeout=10)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--catalog", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--pid-file", required=True)
    args = parser.parse_args()
    # run-e2e's overall limit ends the scenario with SIGTERM: leave through
    # the normal path, which screenshots the failure and ends the program.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit("the scenario's time ran out"))
    scenario = Scenario(args)
    try:
        scenario.run()
    except ScenarioError as error:
        scenario.log(f"FAILED: {error}")
        return 1
    scenario.log(f"passed; screenshots in {args.artifacts}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
