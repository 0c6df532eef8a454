"""Monkey run: seeded random input on the real velmora.exe as a careless person gives it (clicks
in and around the window, the label-buttons with 退出, drags, random texts in the target fields
and the path, keys, the picker, targets armed a few seconds ahead), checking after every event:
the program ends only by 退出; the window settles in one of the three views, shows and stays on
the screen; only allowed commands run (the system's shutdown.exe with -s/-r -t 20/0, a program the
path field named, the browser with the address); C:\\QORN\\ holds only whole yyyymmddhhmmss.BMP
files of the screen's size; an armed target left alone fires its command.
Event i draws its input from Random("seed:i"), so `--seed N --events M` replays a run."""

import argparse
import collections
import datetime
import os
import random
import re
import shutil
import struct
import time

from Xlib import X
from Xlib.error import XError

import rig
from rig import COMPACT, FIELDS, FULL, RECT, WIDE

VIEWS = {FULL: "full panel", WIDE: "wide strip", COMPACT: "compact strip"}
ARGUMENTS = {1: "-s -t 20", 2: "-r -t 20", 4: "-s -t 0", 5: "-r -t 0"}  # shutdown's, by option
FOLDER = "C:\\velmora-monkey\\"
PROGRAMS = [FOLDER + "prog.exe", FOLDER + "two words\\app one.exe", FOLDER + "中文\\程序.exe"]
JUNK = ["prog.exe", FOLDER + "gone.exe", "Q:\\no\\x.exe", "abc:\\def", "http://velmora.test/"]
# No BackSpace: a path cut back to a folder would have a due tick open a file manager on it.
KEYS = ["Tab", "Shift_L+Tab", "Return", "Escape", "space", "Up", "Down", "Left", "Right", "Home",
        "End", "Delete", "F4", "Next"]
EVENTS = {"click": 30, "label": 15, "option": 8, "drag": 8, "text": 17, "keys": 8, "picker": 0.6,
          "arm": 2, "wait": 2}
# Where a drag takes hold (x, y, w, h): Label5 inside the countdown's box, in every view; the
# frames' left edges in the full panel.
GRIPS = {"Label5": (12, 11, 88, 18), "Frame1": (16, 52, 7, 121), "Frame2": (192, 52, 7, 129)}
with open(os.path.join(os.path.dirname(__file__), "../../app/drag.h"), encoding="utf-8") as h:
    ADDRESS = re.search(r'kWebAddress\[\]\s*=\s*L"([^"]*)"', h.read()).group(1)


def random_text(rng, field):
    n, path = rng.randint, rng.choice(PROGRAMS)
    if field == 7:  # Text5
        return rng.choice([path, path, f" {path} ", f'"{path}"', rng.choice(JUNK),
                           rng.choice(JUNK), "C:\\" + "x" * n(100, 300) + ".exe"])
    return rng.choice([str(n(0, 99)), str(n(1900, 2100)), str(n(0, 99999)), f" {n(0, 60)} ", "",
                       rng.choice("+-") + str(n(0, 3000)), f"{n(0, 60)}.{n(0, 99)}",
                       "".join(rng.choices("0123456789 +-.,eEabxyzOIl年月日时分秒", k=n(1, 8))),
                       "".join(rng.choices("0123456789", k=n(40, 160)))])


def arguments(line):
    return (line.split(None, 1) + [""])[1].strip()


class Monkey:
    def __init__(self, group, seed, keep_going):
        self.rig, self.screen, self.seed, self.keep_going = group, group.screen, seed, keep_going
        root = self.screen.root.get_geometry()
        self.width, self.height = root.width, root.height
        self.index, self.history = 0, collections.deque(maxlen=30)
        self.findings, self.counts = collections.Counter(), collections.Counter()
        self.held = set()  # the files that texts of the path field named, as lower-case Unix paths
        self.seen = 0  # the stand-ins' log lines checked
        self.exit_at = -1e9  # when 退出 was last clicked (or the monkey ended the program)
        self.velmora = group.start_velmora()

    def note(self, text):
        self.history.append(f"#{self.index} {datetime.datetime.now():%H:%M:%S} {text}")

    def find(self, what):
        self.findings[what] += 1
        if self.findings[what] == 1:
            print(f"FINDING (seed {self.seed}) event #{self.index}: {what}\n  last events:",
                  *self.history, f"replay: monkey.py --seed {self.seed} --events {self.index + 1}",
                  sep="\n    ", flush=True)
        if not self.keep_going:
            raise SystemExit(1)

    def settled(self, timeout=3.0):
        """(x, y, w, h) once two reads 25 ms apart agree on one of the three views, or None."""
        deadline, previous = time.monotonic() + timeout, None
        while (g := self.velmora.geometry()) != previous or g[2:] not in VIEWS:
            if time.monotonic() > deadline:
                return None
            previous = g
            time.sleep(0.025)
        return g

    def dialogs(self):
        """The program's other shown windows with a title (a field's open list has none)."""
        return [w for w in self.screen.windows(self.velmora.program.pid)
                if w.id != self.velmora.window.id and self.screen.title(w)]

    def close_dialogs(self):
        """Escape until no dialog shows. With no window manager keys go to the window under the
        pointer: it goes onto the dialog's top edge first (a click could choose something)."""
        for _ in range(4):
            if not (shown := self.dialogs()):
                return
            self.note(f"{[self.screen.title(w) for w in shown]} open: Escape")
            x, y, w, _ = self.screen.geometry(shown[0])
            self.screen.move(x + w // 2, y + 3)
            self.screen.key("Escape")
            time.sleep(1.0)
        self.find(f"dialogs stay open after Escape: {[self.screen.title(w) for w in shown]}")
        self.velmora.program.kill()  # so that the run goes on; this end is no finding
        self.exit_at = time.monotonic()

    def full_panel(self, what):
        """The full panel as a person opens it: ★ widens the compact strip, 设置 opens the wide
        one. None when it does not come (a field's list or a modal dialog took the click)."""
        self.note(what)
        for _ in range(3):
            if (g := self.settled()) is None or g[2:] == FULL:
                return g
            self.velmora.click("LabelGN(1)" if g[2:] == COMPACT else "LabelGN(2)")
            time.sleep(0.2)

    def await_exit(self):
        """Wine ends the program a second or two after 退出: that end counts as the click's."""
        self.exit_at = time.monotonic()
        try:
            rig.wait_for(lambda: self.velmora.program.poll() is not None, 10, "the end")
            self.exit_at = time.monotonic()
        except AssertionError:
            pass  # a field's list or a dialog took the click

    def type_path(self, text):
        """With the colon last, so that no text on the way holds ":\\" for a due tick to start."""
        if ":\\" in text:
            self.held.add(rig.unix_path(text.strip().strip('"').strip()).lower())
        head, colon, tail = text.partition(":")
        self.velmora.type_into("Text5", head + tail)
        for key in ["Home"] + ["Right"] * len(head) if colon else []:
            self.screen.key(key)
        self.screen.type(colon)

    def do_click(self, rng):
        fx, fy, margin = rng.random(), rng.random(), rng.randint(0, 30)
        button, count = rng.choices([(1, 1), (3, 1), (1, 2)], [85, 10, 5])[0]
        x, y, w, h = self.velmora.geometry()
        cx = min(max(x - margin + int(fx * (w + 2 * margin)), 0), self.width - 1)
        cy = min(max(y - margin + int(fy * (h + 2 * margin)), 0), self.height - 1)
        self.note(f"click {button} x{count} at ({cx - x}, {cy - y}) of the {VIEWS.get((w, h))}")
        for _ in range(count):
            self.screen.click(cx, cy, button)
            time.sleep(0.08)
        ex, ey, ew, eh = RECT["LabelGN(4)"]
        if button == 1 and -2 <= cx - x - ex < ew + 2 and -2 <= cy - y - ey < eh + 2:
            self.await_exit()

    def do_label(self, rng):
        label = rng.choices([f"LabelGN({i})" for i in range(1, 5)], [5, 5, 4, 1])[0]
        if (g := self.settled()) is not None:
            label = "LabelGN(1)" if g[2:] == COMPACT else label  # the only one the strip shows
            self.note(f"{label} in the {VIEWS[g[2:]]}")
            self.velmora.click(label)
            if label == "LabelGN(4)":
                self.await_exit()

    def do_option(self, rng):
        if self.full_panel(f"Option{(option := rng.randint(1, 5))}"):
            self.velmora.click(f"Option{option}", dx=6)  # the round button

    def do_drag(self, rng):
        grip, fa, fb, steps = rng.choice(list(GRIPS)), rng.random(), rng.random(), rng.randint(1, 6)
        dx, dy = rng.randint(-90, 90), rng.randint(-90, 90)
        if (g := self.settled()) is not None:
            x, y, w, h = g
            gx, gy, gw, gh = GRIPS[grip if (w, h) == FULL else "Label5"]
            px, py = x + gx + int(fa * gw), y + gy + int(fb * gh)
            dx, dy = min(max(dx, -x), self.width - x - w), min(max(dy, -y), self.height - y - h)
            self.note(f"drag at ({px - x}, {py - y}) of ({x}, {y}) by ({dx}, {dy}) in {steps}")
            self.screen.drag(px, py, dx, dy, steps=steps)

    def do_text(self, rng):
        text = random_text(rng, field := rng.randint(1, 7))
        if self.full_panel(f"{'Text5' if field == 7 else f'Combo1({field})'} := {text[:50]!r}"):
            self.type_path(text) if field == 7 else self.velmora.type_into(FIELDS[field - 1], text)

    def do_keys(self, rng):
        self.note("keys " + " ".join(keys := [rng.choice(KEYS) for _ in range(rng.randint(1, 4))]))
        for key in keys:
            self.screen.key(*key.split("+"))
            time.sleep(0.03)

    def do_picker(self, rng):
        if self.full_panel("浏览"):  # the checks close it with Escape once it shows
            self.velmora.click("Command1")

    def do_arm(self, rng):
        option, lead, path = rng.randint(1, 5), rng.uniform(2.5, 5.0), rng.choice(PROGRAMS)
        watch = rng.random() < 0.5  # else it fiddles on at once
        if not self.full_panel(f"arm Option{option} {lead:.1f} s ahead, watch {watch}"):
            return
        self.velmora.click(f"Option{option}", dx=6)
        if option == 3:
            self.type_path(path)
        target = datetime.datetime.now() + datetime.timedelta(seconds=lead + 1)
        self.velmora.set_target(target := target.replace(microsecond=0))
        before, started = len(self.rig.runs()), datetime.datetime.now()
        for _ in range(2):  # 启动 or 暂停 does not show here: a click that kept the panel paused
            self.velmora.click("LabelGN(3)")
            time.sleep(1.0)
            if self.velmora.geometry()[2:] == COMPACT:
                break
        if not watch or self.velmora.geometry()[2:] != COMPACT:
            return
        time.sleep(max(0.0, (target - datetime.datetime.now()).total_seconds() + 0.3))
        module, args = (path, None) if option == 3 else (rig.SHUTDOWN, ARGUMENTS[option])
        try:
            rig.wait_for(lambda: any(m.lower() == module.lower() and args in (None, arguments(l))
                                     for _, m, l in self.rig.runs()[before:]), 4, "the firing")
            self.counts["armed and fired"] += 1
        except AssertionError:
            # A graceful firing's wait (5 s, longer with a dialog opened in it) that ended after
            # the start stops the timer; a modal dialog may have taken the start.
            waits = [t for t, _, line in self.rig.runs() if arguments(line).endswith("-t 20")
                     and t > started - datetime.timedelta(seconds=20)]
            if not waits and not self.dialogs():
                self.find(f"armed Option{option} for {target:%H:%M:%S}, left alone, it did not fire")

    def do_wait(self, rng):
        self.note(f"wait {(seconds := rng.uniform(0.2, 1.5)):.2f} s")
        time.sleep(seconds)

    def check_alive(self):
        program = self.velmora.program
        try:
            if program.poll() is None and self.velmora.geometry():
                return
        except XError:  # the window is gone: the program is ending
            pass
        try:
            rig.wait_for(lambda: program.poll() is not None, 10, "the end")
        except AssertionError:
            self.find("the window is gone but the program runs on")
            program.kill()
        if time.monotonic() - self.exit_at > 15:
            with open(os.path.join(self.rig.folder, f"out{self.rig.programs.index(program)}.txt"),
                      encoding="utf-8", errors="replace") as out:
                self.find(f"ended with no click on 退出 ({program.wait()}):\n{out.read()[-2000:]}")
        self.note("ended; starting it again")
        self.counts["restarts"] += 1
        self.velmora = self.rig.start_velmora()

    def check_view(self):
        if self.settled() is None:
            self.find(f"the window stays at {self.velmora.geometry()}, in none of the three views")
        try:
            rig.wait_for(lambda: self.velmora.window.get_attributes().map_state == X.IsViewable,
                         3, "the window to show")
        except AssertionError:
            self.find("the window stays hidden")
        x, y, w, h = self.velmora.geometry()
        if x + w <= 0 or y + h <= 0 or x >= self.width or y >= self.height:
            self.find(f"the window lies off the screen at ({x}, {y})")

    def check_commands(self):
        runs = self.rig.runs()
        for _, module, line in runs[self.seen:]:
            kind = {rig.SHUTDOWN.lower(): "shutdown", rig.BROWSER.lower(): "browser"}.get(
                module.lower(), "program")
            self.counts[kind + (" " + arguments(line) if kind == "shutdown" else "")] += 1
            if not {"shutdown": arguments(line) in ARGUMENTS.values(),  # Wine may quote a path:
                    "browser": line.replace('"', "") == f"{rig.BROWSER} {ADDRESS}",
                    "program": rig.unix_path(module).lower() in self.held}[kind]:
                self.find(f"{kind} not allowed: {line!r} ran {module!r}")
        self.seen = len(runs)

    def check_captures(self):
        folder = rig.unix_path("C:\\QORN")
        for name in os.listdir(folder) if os.path.isdir(folder) else []:
            self.counts["captures"] += 1
            if not self.well_formed(folder, name):
                self.find(f"{name!r} in C:\\QORN\\ is no whole yyyymmddhhmmss.BMP of the screen")
            os.remove(os.path.join(folder, name))  # out of the way: a long run fills no disk

    def well_formed(self, folder, name):
        """Named after a moment, and the header's sizes agree with the file's and the screen's."""
        with open(os.path.join(folder, name), "rb") as bmp:
            data = bmp.read()
        try:
            datetime.datetime.strptime(name, "%Y%m%d%H%M%S.BMP")
            size, offset = struct.unpack_from("<I4xI", data, 2)
            width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
        except (ValueError, struct.error):
            return False
        return (re.fullmatch(r"\d{14}\.BMP", name) and data[:2] == b"BM" and size == len(data)
                and (width, abs(height)) == (self.width, self.height)
                and offset + (width * bits + 31) // 32 * 4 * abs(height) <= size)

    def check(self):
        for step in (self.check_alive, self.close_dialogs, self.check_view, self.check_commands,
                     self.check_captures):
            try:
                step()
            except XError:  # the window went meanwhile: wait for the end and start again
                self.check_alive()

    def run(self, events):
        for self.index in range(events):
            rng = random.Random(f"{self.seed}:{self.index}")
            try:
                getattr(self, "do_" + rng.choices(list(EVENTS), list(EVENTS.values()))[0])(rng)
            except XError:
                self.note("the window is gone")
            self.check()
        self.index = events
        time.sleep(2)  # a last firing lands
        self.check()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=int(time.time()) % 1000000)
    parser.add_argument("--events", type=int, default=300)
    parser.add_argument("--keep-going", action="store_true", help="note every finding, go on")
    args = parser.parse_args()
    print(f"monkey: seed {args.seed}, {args.events} events", flush=True)
    began, group, monkey = time.monotonic(), rig.Rig("monkey", rig.session()), None
    for path in PROGRAMS:
        rig.install("recorder.exe", path)
    try:
        rig.start_backdrop(group)
        monkey = Monkey(group, args.seed, args.keep_going)
        monkey.run(args.events)
    finally:
        group.stop()
        shutil.rmtree(rig.unix_path(FOLDER), ignore_errors=True)
        print(monkey and f"seed {args.seed}: {monkey.index} events in {time.monotonic() - began:.0f} s; "
              + ", ".join(f"{what} {n}" for what, n in sorted(monkey.counts.items()))
              + f"; {sum(monkey.findings.values())} findings ({len(monkey.findings)} distinct)")
    return 1 if monkey.findings else 0


if __name__ == "__main__":
    raise SystemExit(main())
