"""Monkey run: seeded random input on the real velmora.exe as a careless person gives it, with the
invariants (the check_ methods) looked at after every event. It stops at the first finding. Event
i draws from Random("seed:i"): `--seed N --events M` replays a run."""

import argparse
import collections
import contextlib
import random
import shutil
import struct
import time
from datetime import datetime, timedelta
from pathlib import Path

from Xlib import X
from Xlib.error import XError

import rig

VIEWS = {rig.FULL: "full panel", rig.WIDE: "wide strip", rig.COMPACT: "compact strip"}
ARGUMENTS = {1: "-s -t 20", 2: "-r -t 20", 4: "-s -t 0", 5: "-r -t 0"}  # shutdown's, by option
ABORT = "-a"  # 暂停 within a graceful one's 20 s
FOLDER = "C:\\velmora-monkey\\"
PROGRAMS = [FOLDER + "prog.exe", FOLDER + "two words\\app one.exe", FOLDER + "中文\\程序.exe"]
JUNK = ["prog.exe", FOLDER + "gone.exe", "Q:\\no\\x.exe", "abc:\\def", "http://velmora.test/"]
# No BackSpace: a path cut back to a folder would have a due tick open a file manager on it.
KEYS = "Tab Shift_L+Tab Return Escape space Up Down Left Right Home End Delete F4 Next".split()
EVENTS = {"click": 34, "label": 15, "option": 8.6, "drag": 8, "text": 17, "keys": 8, "arm": 2}
MOMENT = "%Y%m%d%H%M%S.BMP"  # a capture's name


def random_text(rng, field):
    n, path = rng.randint, rng.choice(PROGRAMS)
    if field == 7:  # Text5
        return rng.choice([path, f" {path} ", f'"{path}"', rng.choice(JUNK), "C:\\" + "x" * 260])
    return rng.choice([str(n(0, 99)), str(n(1900, 2100)), str(n(0, 99999)), f" {n(0, 60)} ", "",
                       rng.choice("+-") + str(n(0, 3000)), f"{n(0, 60)}.{n(0, 99)}",
                       "".join(rng.choices("0123456789 +-.,eEabxyzOIl年月日时分秒", k=n(1, 8))),
                       "".join(rng.choices("0123456789", k=n(40, 160)))])


def arguments(line):
    return (line.split(None, 1) + [""])[1].strip()


def attempt(call, *args):
    """call(*args), or None when it fails (a wait timed out, a modal dialog took the arming)."""
    with contextlib.suppress(AssertionError):
        return call(*args)


class Monkey:
    def __init__(self, group, seed):
        self.rig, self.screen, self.seed, self.index = group, group.screen, seed, 0
        self.width, self.height = self.screen.geometry(self.screen.root)[2:]
        self.history, self.counts = collections.deque(maxlen=30), collections.Counter()
        # The files the path field named (lower-case Unix paths), the log lines checked.
        self.held, self.seen, self.exit_at = set(), 0, -1e9  # and when 退出 was last clicked
        self.velmora = group.start_velmora()

    def note(self, text):
        self.history.append(f"#{self.index} {datetime.now():%H:%M:%S} {text}")

    def find(self, what):
        raise AssertionError(f"FINDING (seed {self.seed}) event #{self.index}: {what}\n  last "
                             "events:\n    " + "\n    ".join(self.history) + "\n  replay: "
                             f"monkey.py --seed {self.seed} --events {self.index + 1}")

    def settled(self):
        """(x, y, w, h) once the window shows and two reads agree on a view; None after 3 s."""
        reads = [None]

        def agree():
            reads.append(g := self.velmora.geometry())
            shown = self.velmora.window.get_attributes().map_state == X.IsViewable
            return g == reads[-2] and g[2:] in VIEWS and shown and g
        return attempt(rig.wait_for, agree, 3, "", 0.025)

    def dialogs(self, titled=True):
        """The program's other shown windows with a title, or without one: a field's open list."""
        return [w for w in self.screen.windows(self.velmora.program.pid)
                if w != self.velmora.window and bool(self.screen.title(w)) == titled]

    def close_list(self):
        """A field's open list takes the next press for itself (a drag would then move the window
        by a stale point): a click on the countdown, where a click does nothing, closes it."""
        if self.dialogs(titled=False):
            self.velmora.click("Label2")
            time.sleep(0.2)

    def full_panel(self, what):
        """The full panel, opened as a person does (★, 设置); None: a modal dialog took a click."""
        self.note(what)
        self.close_list()
        for _ in range(3):
            if (g := self.settled()) is None or g[2:] == rig.FULL:
                return g
            self.velmora.click("LabelGN(1)" if g[2:] == rig.COMPACT else "LabelGN(2)")
            time.sleep(0.2)

    def click(self, what, x, y, button=1, count=1):
        """On 退出 (as the window stood before) it waits for the end Wine brings a second or two
        later (unless a field's list or a dialog took the click): that end is the click's."""
        self.note(what)
        qx, qy, qw, qh = self.velmora.rect("LabelGN(4)")
        for _ in range(count):
            self.screen.click(x, y, button)
            time.sleep(0.08)
        if button == 1 and -2 <= x - qx < qw + 2 and -2 <= y - qy < qh + 2:
            self.exit_at = time.monotonic()
            attempt(rig.wait_for, lambda: self.velmora.program.poll() is not None, 10, "")

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
        self.click(f"click {button} x{count} at ({cx - x}, {cy - y}) of the {VIEWS.get((w, h))}",
                   cx, cy, button, count)

    def do_label(self, rng):
        label = rng.choices([f"LabelGN({i})" for i in range(1, 5)], [5, 5, 4, 1])[0]
        if g := self.settled():
            label = "LabelGN(1)" if g[2:] == rig.COMPACT else label  # the only one it shows
            self.click(f"{label} in the {VIEWS[g[2:]]}", *self.velmora.at(label))

    def do_option(self, rng):
        """An option's round button, or (rarely) 浏览: the checks close the picker with Escape."""
        name = rng.choices([f"Option{rng.randint(1, 5)}", "Command1"], [8, 0.6])[0]
        if self.full_panel(name):
            self.velmora.click(name, dx=6 if name != "Command1" else None)

    def do_drag(self, rng):
        """On Label5 inside the countdown's box, the grip every view shows."""
        fx, fy, steps = rng.random(), rng.random(), rng.randint(1, 6)
        dx, dy = rng.randint(-90, 90), rng.randint(-90, 90)
        if g := self.settled():
            x, y, w, h = g
            px, py = x + 12 + int(fx * 88), y + 11 + int(fy * 18)
            dx, dy = min(max(dx, -x), self.width - x - w), min(max(dy, -y), self.height - y - h)
            self.note(f"drag at ({px - x}, {py - y}) of ({x}, {y}) by ({dx}, {dy}) in {steps}")
            self.close_list()
            self.screen.move(px + 1, py)  # rest on the grip first: it notes where it was taken
            time.sleep(0.05)
            self.screen.drag(px, py, dx, dy, steps=steps)

    def do_text(self, rng):
        text = random_text(rng, field := rng.randint(1, 7))
        if not self.full_panel(f"{'Text5' if field == 7 else f'Combo1({field})'} := {text[:50]!r}"):
            return
        self.type_path(text) if field == 7 else self.velmora.type_into(rig.FIELDS[field - 1], text)

    def do_keys(self, rng):
        self.note("keys " + " ".join(keys := [rng.choice(KEYS) for _ in range(rng.randint(1, 4))]))
        for key in keys:
            self.screen.key(*key.split("+"))
            time.sleep(0.03)

    def do_arm(self, rng):
        option, lead, path = rng.randint(1, 5), rng.randint(3, 5), rng.choice(PROGRAMS)
        watch = rng.random() < 0.5  # or fiddle on at once
        if not self.full_panel(f"arm Option{option} {lead + 1} s ahead, watch {watch}"):
            return
        if option == 3:
            self.type_path(path)
        before, since = len(self.rig.runs()), datetime.now() - timedelta(seconds=20)
        if not (target := attempt(self.velmora.arm, f"Option{option}", lead)) or not watch:
            return
        module, args = (path, None) if option == 3 else (rig.SHUTDOWN, ARGUMENTS[option])
        if attempt(rig.wait_for, lambda: any(m.lower() == module.lower() and args in (
                None, arguments(line)) for _, m, line in self.rig.runs()[before:]),
                   (target - datetime.now()).total_seconds() + 4.3, ""):
            self.counts["armed and fired"] += 1
        # A graceful firing's wait (5 s, longer with a dialog opened in it) that ended after the
        # start stops the timer; a modal dialog may have taken the start (or 启动 itself above).
        elif not self.dialogs() and not any(arguments(line).endswith("-t 20") and t > since
                                            for t, _, line in self.rig.runs()):
            self.find(f"Option{option} armed for {target:%H:%M:%S} and left alone: no firing")

    def check_alive(self):
        program = self.velmora.program
        with contextlib.suppress(XError):  # the window is gone: the program is ending
            if program.poll() is None and self.velmora.geometry():
                return
        if not attempt(rig.wait_for, lambda: program.poll() is not None, 10, ""):
            self.find("the window is gone but the program runs on")
        if time.monotonic() - self.exit_at > 15:
            out = Path(self.rig.folder, f"out{self.rig.programs.index(program)}.txt")
            self.find(f"ended with no click on 退出 ({program.wait()}):\n"
                      f"{out.read_text(encoding='utf-8', errors='replace')[-2000:]}")
        self.note("ended; starting it again")
        self.counts["restarts"] += 1
        self.velmora = self.rig.start_velmora()

    def check_dialogs(self):
        """Escape closes open dialogs. With no window manager keys go to the window under the
        pointer: it goes onto the dialog's top edge first (a click could choose something)."""
        for tries in range(5):
            if not (shown := self.dialogs()):
                return
            titles = [self.screen.title(w) for w in shown]
            if tries == 4:
                self.find(f"dialogs stay open after Escape: {titles}")
            self.note(f"{titles} open: Escape")
            x, y, w, _ = self.screen.geometry(shown[0])
            self.screen.move(x + w // 2, y + 3)
            self.screen.key("Escape")
            time.sleep(1.0)

    def check_view(self):
        x, y, w, h = (g := self.settled()) or self.velmora.geometry()
        if not g or x + w <= 0 or y + h <= 0 or x >= self.width or y >= self.height:
            self.find(f"the window at {(x, y, w, h)} is in no view, not shown, or off the screen")

    def check_commands(self):
        """Only these run: the system's shutdown.exe with -s/-r -t 20/0 or -a, the browser with the
        link's address (Wine may quote its path), a program the path field named."""
        for _, module, line in (runs := self.rig.runs())[self.seen:]:
            kind = {rig.SHUTDOWN.lower(): "shutdown " + arguments(line),
                    rig.BROWSER.lower(): "browser"}.get(module.lower(), "program")
            self.counts[kind] += 1
            allowed = {*ARGUMENTS.values(), ABORT}
            if not (arguments(line) in allowed if kind.startswith("shutdown") else
                    line.replace('"', "") == rig.BROWSER + " velmora.test" if kind == "browser"
                    else rig.unix_path(module).lower() in self.held):
                self.find(f"{kind} not allowed: {line!r} ran {module!r}")
        self.seen = len(runs)

    def check_captures(self):
        """Only whole BMPs of the screen named after a moment, removed then (to fill no disk)."""
        for path in Path(rig.unix_path("C:\\QORN")).glob("*"):
            if path.suffix.lower() == ".tmp":  # a capture being written, renamed once whole
                continue
            data = path.read_bytes()
            size, offset, width, height, bits = struct.unpack_from("<2xI4xI4xii2xH", data.ljust(30))
            with contextlib.suppress(ValueError):  # strptime: no moment
                if (f"{datetime.strptime(path.name, MOMENT):{MOMENT}}" == path.name
                        and data[:2] == b"BM" and size == len(data)
                        and (width, abs(height)) == (self.width, self.height)
                        and offset + (width * bits + 31) // 32 * 4 * abs(height) <= size):
                    self.counts["captures"] += 1
                    path.unlink()
                    continue
            self.find(f"{path.name!r} in C:\\QORN\\ is no whole {MOMENT} of the screen")

    def run(self, events):
        for self.index in range(events + 1):  # and a last look, once a late firing has landed
            rng = random.Random(f"{self.seed}:{self.index}")
            with contextlib.suppress(XError):  # the window went meanwhile: the checks see to it
                if self.index == events:
                    time.sleep(2)
                else:
                    getattr(self, "do_" + rng.choices(list(EVENTS), list(EVENTS.values()))[0])(rng)
            for check in (self.check_alive, self.check_dialogs, self.check_view,
                          self.check_commands, self.check_captures):
                try:
                    check()
                except XError:  # the window went meanwhile: wait for the end and start again
                    self.check_alive()


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=int(time.time()) % 1000000)
    parser.add_argument("--events", type=int, default=150)
    args = parser.parse_args()
    print(f"monkey: seed {args.seed}, {args.events} events", flush=True)
    began, group, monkey = time.monotonic(), rig.Rig("monkey", rig.session()), None
    for program in PROGRAMS:
        rig.install("recorder.exe", program)
    try:
        rig.start_backdrop(group)
        (monkey := Monkey(group, args.seed)).run(args.events)
    finally:
        group.stop()
        shutil.rmtree(rig.unix_path(FOLDER), ignore_errors=True)
        took = time.monotonic() - began
        print(monkey and f"seed {args.seed}: {monkey.index} events in {took:.0f} s; "
              f"{dict(sorted(monkey.counts.items()))}", flush=True)
