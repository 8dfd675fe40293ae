#!/usr/bin/python3
"""infotrakon calendar as a calendar application sees it: every output is read back by an
independent iCalendar reader (python3-icalendar), never by our own code.

Usage: calendar_feed_test.py INFOTRAKON MKAGENDA
"""
import datetime
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

import icalendar

INFOTRAKON = MKAGENDA = None
TODAY = datetime.date(2026, 12, 7)

CARS_COLUMNS = [
    {"name": "id", "type": "long"},
    {"name": "name", "type": "text", "size": 120},
    {"name": "spz", "type": "text", "size": 20},
    {"name": "stk", "type": "datetime"},
    {"name": "emise", "type": "datetime"},
    {"name": "vyrazeno", "type": "boolean"},
]


def day(offset):
    return (TODAY + datetime.timedelta(days=offset)).isoformat()


def agenda(cars, company="Autodoprava Novák s.r.o.", columns=None):
    return {"tables": [
        {"name": "firma", "columns": [{"name": "nazev", "type": "text"}], "rows": [[company]]},
        {"name": "cars", "columns": columns or CARS_COLUMNS, "rows": cars},
    ]}


class Host:
    """A Wine prefix of the test's own whose host settings name C:\\Trakon\\agenda.mdb."""

    def __init__(self, folder):
        self.folder = folder
        self.prefix = os.path.join(folder, "prefix")
        self.data = os.path.join(self.prefix, "drive_c", "Trakon")
        os.makedirs(self.data)
        os.makedirs(os.path.join(self.prefix, "dosdevices"))
        os.symlink("../drive_c", os.path.join(self.prefix, "dosdevices", "c:"))
        self.mdb = os.path.join(self.data, "agenda.mdb")
        self.settings = os.path.join(self.prefix, "system.reg")
        with open(self.settings, "w", encoding="ascii", newline="\n") as hive:
            hive.write("WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n"
                       "#arch=win32\n\n"
                       "[Software\\\\Velmora\\\\Trakon\\\\ProgramSeting] 1765000000\n"
                       "\"LastFullFileNameOpen\"=\"C:\\\\Trakon\\\\agenda.mdb\"\n")
        self.home = os.path.join(folder, "home")
        os.makedirs(self.home)

    def write_agenda(self, description):
        source = os.path.join(self.folder, "agenda.json")
        with open(source, "w", encoding="utf-8") as out:
            json.dump(description, out, ensure_ascii=False)
        # Written beside and renamed, as a host saves: the follower must notice a replaced file.
        fresh = self.mdb + ".new"
        subprocess.run([MKAGENDA, "--force", "--from", source, fresh], check=True,
                       stdout=subprocess.DEVNULL)
        os.replace(fresh, self.mdb)

    def write_demo(self):
        subprocess.run([MKAGENDA, "--force", "--demo", self.mdb, "--today", TODAY.isoformat()],
                       check=True, stdout=subprocess.DEVNULL)

    def command(self, *arguments):
        return [INFOTRAKON, "calendar", "--settings", self.settings, "--wine-prefix",
                self.prefix, "--today", TODAY.isoformat(), *arguments]

    def environment(self):
        return dict(os.environ, HOME=self.home, XDG_CACHE_HOME=os.path.join(self.home, ".cache"),
                    LC_ALL="C.UTF-8")

    def run(self, *arguments):
        return subprocess.run(self.command(*arguments), capture_output=True,
                              env=self.environment(), timeout=60)


def events_of(calendar):
    return [c for c in calendar.walk() if c.name == "VEVENT"]


def by_summary(calendar):
    return {str(e["SUMMARY"]): e for e in events_of(calendar)}


class CalendarTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="infotrakon-calendar-")
        self.host = Host(self.folder)

    def tearDown(self):
        shutil.rmtree(self.folder)

    def export(self, *arguments):
        result = self.host.run(*arguments)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        return icalendar.Calendar.from_ical(result.stdout), result

    def test_the_demo_agendas_deadlines_with_their_reminders(self):
        self.host.write_demo()
        calendar, result = self.export()
        self.assertEqual(str(calendar["METHOD"]), "PUBLISH")
        self.assertEqual(str(calendar["VERSION"]), "2.0")
        self.assertIn("InfoTrakon", str(calendar["PRODID"]))
        self.assertEqual(str(calendar["X-WR-CALNAME"]), "Termíny – Autodoprava Novák s.r.o.")
        events = by_summary(calendar)
        # The Avia is out of service; the Tatra has two deadlines.
        self.assertEqual(sorted(events), [
            "Tatra 815 1M2 3456 - konec STK",
            "Tatra 815 1M2 3456 - končí platnost emisí",
            "Škoda Octavia 2B7 8899 - konec STK",
            "Škoda Octavia 2B7 8899 - končí platnost emisí",
        ])
        tatra = events["Tatra 815 1M2 3456 - končí platnost emisí"]
        self.assertEqual(tatra["DTSTART"].dt, TODAY + datetime.timedelta(days=20))
        self.assertIs(type(tatra["DTSTART"].dt), datetime.date)  # a whole day, no time
        self.assertEqual(tatra["DTEND"].dt, TODAY + datetime.timedelta(days=21))
        self.assertEqual(str(tatra["CATEGORIES"].cats[0]), "emise")
        self.assertEqual(str(events["Tatra 815 1M2 3456 - konec STK"]["CATEGORIES"].cats[0]),
                         "STK")
        alarms = [c for c in tatra.walk() if c.name == "VALARM"]
        self.assertEqual([a["TRIGGER"].dt for a in alarms],
                         [datetime.timedelta(days=-30), datetime.timedelta(days=-7)])
        self.assertEqual([str(a["ACTION"]) for a in alarms], ["DISPLAY", "DISPLAY"])
        self.assertEqual(str(alarms[1]["DESCRIPTION"]),
                         "Za 7 dní: Tatra 815 1M2 3456 - končí platnost emisí (27. 12. 2026)")
        uids = [str(e["UID"]) for e in events_of(calendar)]
        self.assertEqual(len(set(uids)), 4)
        for event in events_of(calendar):
            self.assertEqual(event["SEQUENCE"], 0)
            self.assertIn("DTSTAMP", event)
        self.assertEqual(result.stderr, b"")

    def test_czech_letters_long_names_and_vehicles_without_a_date(self):
        long_name = "Přívěsný vozík Agados " + "Š" * 60 + " s nástavbou pro převoz čerpadel"
        self.host.write_agenda(agenda([
            [1, long_name, "ŘÍ1 2345", day(10), day(400), False],
            [2, "Žuk, dodávka; stará", None, None, day(5), False],
            [3, None, "9Z9 9999", day(-40), day(-1), False],
        ], company="Novák, syn; a spol. \\ Brno"))
        calendar, result = self.export("--remind", "1,0")
        self.assertEqual(str(calendar["X-WR-CALNAME"]), "Termíny – Novák, syn; a spol. \\ Brno")
        events = by_summary(calendar)
        self.assertIn(long_name + " ŘÍ1 2345 - konec STK", events)
        # The raw file folds the long line at 75 octets, never inside a letter.
        raw = result.stdout.decode("utf-8")
        self.assertTrue(all(len(line.encode()) <= 75 for line in raw.split("\r\n")), raw)
        self.assertIn("\r\n ", raw)
        # A Null plate joins as empty text; commas and semicolons survive the escaping.
        self.assertIn("Žuk, dodávka; stará  - končí platnost emisí", events)
        # Deadlines from 30 days before today: the 40-days-old inspection is not listed.
        self.assertIn(" 9Z9 9999 - končí platnost emisí", events)
        self.assertNotIn(" 9Z9 9999 - konec STK", events)
        # The vehicle without an inspection date is named, and the export still succeeds.
        self.assertIn("Žuk, dodávka; stará", result.stderr.decode())
        self.assertIn("stk", result.stderr.decode())
        alarms = [c for c in events[long_name + " ŘÍ1 2345 - konec STK"].walk()
                  if c.name == "VALARM"]
        self.assertEqual([a["TRIGGER"].dt for a in alarms],
                         [datetime.timedelta(days=-1), datetime.timedelta(0)])
        self.assertTrue(str(alarms[0]["DESCRIPTION"]).startswith("Zítra: "))
        self.assertTrue(str(alarms[1]["DESCRIPTION"]).startswith("Dnes: "))

    def test_from_and_no_reminders(self):
        self.host.write_demo()
        calendar, _ = self.export("--from", day(3), "--remind", "none")
        events = by_summary(calendar)
        self.assertEqual(sorted(events), ["Tatra 815 1M2 3456 - končí platnost emisí",
                                          "Škoda Octavia 2B7 8899 - konec STK"])
        self.assertEqual([c for e in events.values() for c in e.walk() if c.name == "VALARM"],
                         [])

    def test_uids_stay_and_sequences_follow_a_moved_date(self):
        cars = [[1, "Tatra 815", "1M2 3456", day(10), day(20), False],
                [2, "Avia", "3C1 0001", day(15), day(25), False]]
        self.host.write_agenda(agenda(cars))
        out = os.path.join(self.folder, "published", "terminy.ics")
        os.makedirs(os.path.dirname(out))
        self.assertEqual(self.host.run("--out", out).returncode, 0)
        with open(out, "rb") as first_file:
            first = icalendar.Calendar.from_ical(first_file.read())
        time.sleep(1.1)  # a later LAST-MODIFIED can be told apart
        cars[0][3] = day(375)  # the Tatra passed its inspection
        self.host.write_agenda(agenda(cars))
        self.assertEqual(self.host.run("--out", out).returncode, 0)
        with open(out, "rb") as second_file:
            second = icalendar.Calendar.from_ical(second_file.read())
        before = {str(e["UID"]): e for e in events_of(first)}
        after = {str(e["UID"]): e for e in events_of(second)}
        self.assertEqual(sorted(before), sorted(after))
        moved = [uid for uid in after if after[uid]["DTSTART"].dt != before[uid]["DTSTART"].dt]
        self.assertEqual(len(moved), 1)
        self.assertEqual(after[moved[0]]["DTSTART"].dt, TODAY + datetime.timedelta(days=375))
        for uid, event in after.items():
            if uid in moved:
                self.assertEqual(event["SEQUENCE"], before[uid]["SEQUENCE"] + 1)
                self.assertGreater(event["LAST-MODIFIED"].dt, before[uid]["LAST-MODIFIED"].dt)
            else:
                self.assertEqual(event["SEQUENCE"], before[uid]["SEQUENCE"])
                self.assertEqual(event["LAST-MODIFIED"].dt, before[uid]["LAST-MODIFIED"].dt)
        # Nothing but the calendar is left in its folder.
        self.assertEqual(os.listdir(os.path.dirname(out)), ["terminy.ics"])

    def test_an_error_leaves_the_earlier_file_as_it_was(self):
        self.host.write_demo()
        out = os.path.join(self.folder, "terminy.ics")
        self.assertEqual(self.host.run("--out", out).returncode, 0)
        with open(out, "rb") as written:
            earlier = written.read()

        def fails(expected_status, expected_text, *arguments):
            result = self.host.run("--out", out, *arguments)
            self.assertEqual(result.returncode, expected_status, result.stderr.decode())
            self.assertIn(expected_text, result.stderr.decode())
            with open(out, "rb") as now:
                self.assertEqual(now.read(), earlier)

        fails(2, "--remind", "--remind", "400")
        fails(2, "--remind", "--remind", "7,x")
        fails(2, "--from", "--from", "2026-13-01")
        fails(2, "--from", "--from", "99999-01-01")
        without_stk = [c for c in CARS_COLUMNS if c["name"] != "stk"]
        self.host.write_agenda(agenda([[1, "Tatra", "1M2", day(3), False]], columns=without_stk))
        fails(1, "stk", )
        with open(self.host.mdb, "wb") as damaged:
            damaged.write(b"\x00\x01\x00\x00Standard Jet DB\x00" + b"\xff" * 5000)
        fails(1, "agenda.mdb")
        os.remove(self.host.mdb)
        fails(1, "agenda.mdb")
        # A file that is no calendar is not written over.
        with open(out, "wb") as other:
            other.write(b"my notes\n")
        earlier = b"my notes\n"
        self.host.write_demo()
        fails(1, "no iCalendar calendar")

    def test_follow_writes_the_file_anew_when_the_agenda_changes(self):
        cars = [[1, "Tatra 815", "1M2 3456", day(10), day(20), False]]
        self.host.write_agenda(agenda(cars))
        out = os.path.join(self.folder, "terminy.ics")
        follower = subprocess.Popen(self.host.command("--out", out, "--follow"),
                                    env=self.host.environment(), stderr=subprocess.PIPE)
        try:
            self.assertTrue(self.wait_for(out, lambda c: len(events_of(c)) == 2),
                            "the first calendar was not written")
            time.sleep(0.5)
            cars[0][4] = day(30)
            self.host.write_agenda(agenda(cars))
            moved = TODAY + datetime.timedelta(days=30)
            self.assertTrue(self.wait_for(out, lambda c: any(
                e["DTSTART"].dt == moved and e["SEQUENCE"] == 1 for e in events_of(c))),
                "the moved date did not reach the calendar")
        finally:
            follower.terminate()
            follower.wait(timeout=10)
            follower.stderr.close()

    @staticmethod
    def wait_for(path, condition, seconds=15):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                with open(path, "rb") as now:
                    if condition(icalendar.Calendar.from_ical(now.read())):
                        return True
            except (OSError, ValueError):
                pass
            time.sleep(0.1)
        return False


if __name__ == "__main__":
    INFOTRAKON, MKAGENDA = sys.argv[1], sys.argv[2]
    unittest.main(argv=sys.argv[:1], verbosity=2)
