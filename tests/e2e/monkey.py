"""Monkey run: the real velmora.exe under Wine in Xvfb, driven by seeded random input as a careless
person would give it, and watched all the time for what must never happen.

What it does: clicks anywhere in and around the window (the label-buttons too, "退出" included,
after which it starts the program again), drags on the grips, types random texts into the six
target fields and the program path, changes the option, opens the program picker and cancels it,
presses keys, opens the fields' lists, and now and then arms the timer with a target a few seconds
ahead, so that the five actions fire while it goes on.

What it checks after every event:
- the program runs, unless a click may have hit "退出"; a deliberate "退出" ends it;
- the window shows, on the screen, with the size of one of the three views once it has settled;
  a label-button changes the view as the view table says, and a drag on a grip moves the window
  by the drag;
- no dialog stays open (a key that opened the picker is answered with Escape);
- every command the stand-ins logged is one an option allows: shutdown.exe only with
  "-s -t 20", "-r -t 20", "-s -t 0" or "-r -t 0"; a started program only a path that the program
  path field was given; the browser only with the web address;
- C:\\QORN\\ holds nothing but yyyymmddhhmmss.BMP files, each a BMP of the screen's size;
- a target armed and then left alone fires its option's command.

Every event draws its choices from a generator seeded with (seed, event number) before it looks at
the window, so `--seed N --events M` replays the same input. On a finding it prints the seed, the
event and the last 30 events.

    python3 monkey.py [--seed N] [--events M] [--keep-going] [--verbose]

Run it inside tools/wine-session.sh with VELMORA_BUILD_DIR set (ctest and bench/monkey.sh do).
"""

import argparse
import collections
import datetime
import os
import random
import re
import shutil
import subprocess
import sys
import time

import layout
import rig
import xclient
from timer_ui import COMPACT, FULL, WIDE, CAPTURE_FOLDER, arguments, image_name

VIEWS = {FULL: "full panel", WIDE: "wide strip", COMPACT: "compact strip"}
SHUTDOWN_ARGUMENTS = {"-s -t 20", "-r -t 20", "-s -t 0", "-r -t 0"}
PICKER_TITLE = "请选择文件"
CAPTURE_NAME = re.compile(r"\d{14}\.BMP")
# A non-capture file in the capture folder is a finding once it has stayed this long: the capture
# is written under a temporary name first and renamed when whole.
STRAY_GRACE_S = 3.0

# Programs the monkey may put into the path field: copies of recorder.exe.
PROGRAM_FOLDER = "C:\\velmora-monkey"
PROGRAMS = [PROGRAM_FOLDER + "\\prog.exe", PROGRAM_FOLDER + "\\two words\\app one.exe"]
CHINESE_PROGRAM = PROGRAM_FOLDER + "\\中文\\程序.exe"
JUNK_PATHS = ["prog.exe", "app one.exe", "C:\\velmora-monkey\\missing.exe", "Q:\\nowhere\\x.exe",
              "abc:\\def", "C:\\velmora-monkey\\prog", "http://velmora.test/"]

# View after a click on "★" and on "设置", from each view.
STAR = {FULL: FULL, WIDE: COMPACT, COMPACT: WIDE}
SETTINGS = {FULL: WIDE, WIDE: FULL, COMPACT: FULL}

# Keys a careless person hits. No BackSpace: a path field cut back to a folder would have the
# timer open that folder in a file manager window, which is no fault but clutters the screen.
KEYS = ["Tab", "shift+Tab", "Return", "Escape", "space", "Up", "Down", "Left", "Right", "Home",
        "End", "Delete", "F4", "Next"]

# name: weight
EVENTS = {"click": 27, "label": 14, "option": 8, "drag": 8, "field": 12, "path": 5, "keys": 6,
          "list": 5, "picker": 0.6, "arm": 2, "wait": 2, "exit": 1}


def web_address():
    """The address the link opens, as the program's source gives it."""
    source = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "app", "drag.h")
    with open(source, encoding="utf-8") as header:
        return re.search(r'kWebAddress\[\]\s*=\s*L"([^"]*)"', header.read()).group(1)


class Finding(Exception):
    pass


class WindowGone(Exception):
    """The main window is no more: the program is ending (or has ended)."""


# ---------------------------------------------------------------------------------------------
# Random input. Each drawer takes the event's own generator and nothing of the window's state.

def random_field_text(rng):
    kind = rng.choice(["digits", "digits", "blank", "signed", "fraction", "letters", "chinese",
                       "mixed", "long", "empty"])
    if kind == "digits":
        return str(rng.choice([rng.randint(0, 99), rng.randint(1900, 2100), rng.randint(0, 99999)]))
    if kind == "blank":
        return " " * rng.randint(0, 2) + str(rng.randint(0, 60)) + " " * rng.randint(0, 2)
    if kind == "signed":
        return rng.choice("+-") + str(rng.randint(0, 3000))
    if kind == "fraction":
        return f"{rng.randint(0, 60)}.{rng.randint(0, 99)}"
    if kind == "letters":
        return "".join(rng.choice("abcxyzOIlE") for _ in range(rng.randint(1, 5)))
    if kind == "chinese":
        return "".join(rng.choice("年月日时分秒二零") for _ in range(rng.randint(1, 2)))
    if kind == "mixed":
        return "".join(rng.choice("0123456789 +-.,eE") for _ in range(rng.randint(1, 8)))
    if kind == "long":
        return "".join(rng.choice("0123456789") for _ in range(rng.randint(40, 160)))
    return ""


def random_path(rng):
    kind = rng.random()
    if kind < 0.45:
        path = rng.choice(PROGRAMS)
        return rng.choice([path, path, " " + path + " ", '"' + path + '"'])
    if kind < 0.55:
        return CHINESE_PROGRAM
    if kind < 0.95:
        return rng.choice(JUNK_PATHS)
    return "C:\\" + "x" * rng.randint(100, 300) + ".exe"


def draw_event(seed, index):
    rng = random.Random(f"{seed}:{index}")
    kind = rng.choices(list(EVENTS), weights=list(EVENTS.values()))[0]
    event = {"kind": kind}
    if kind == "click":
        event.update(fx=rng.random(), fy=rng.random(), margin=rng.randint(0, 30),
                     button=rng.choices(["left", "right", "double"], [85, 10, 5])[0])
    elif kind == "label":
        event["label"] = rng.choices(["LabelGN(1)", "LabelGN(2)", "LabelGN(3)"], [35, 35, 30])[0]
    elif kind == "option":
        event["option"] = rng.randint(1, 5)
    elif kind == "drag":
        event.update(grip=rng.choice(["Frame1", "Frame2", "Label5"]), fa=rng.random(),
                     fb=rng.random(), dx=rng.randint(-90, 90), dy=rng.randint(-90, 90),
                     steps=rng.randint(1, 6))
    elif kind == "field":
        event.update(field=rng.randint(1, 6), text=random_field_text(rng))
    elif kind == "path":
        event["text"] = random_path(rng)
    elif kind == "keys":
        event["keys"] = [rng.choice(KEYS) for _ in range(rng.randint(1, 4))]
    elif kind == "list":
        event.update(field=rng.randint(1, 6), pick=rng.random() < 0.6, row=rng.randint(0, 8))
    elif kind == "picker":
        event.update(typed=rng.choice(["", "", "abc", "prog.exe", "不存在.exe", "recorder.exe"]),
                     key=rng.choice(["Escape", "Return"]))
    elif kind == "arm":
        event.update(option=rng.randint(1, 5), lead=rng.uniform(2.5, 5.0),
                     path=rng.choice(PROGRAMS), watch=rng.random() < 0.5)
    elif kind == "wait":
        event["seconds"] = round(rng.uniform(0.2, 1.5), 2)
    return event


# ---------------------------------------------------------------------------------------------

class Monkey:
    def __init__(self, test_rig, seed, keep_going=False, verbose=False, out=sys.stdout):
        self.rig, self.seed, self.keep_going, self.out = test_rig, seed, keep_going, out
        self.verbose = verbose
        self.history = collections.deque(maxlen=30)
        self.findings = []
        self.kinds = collections.Counter()  # finding text -> how often
        self.events_done = 0
        self.restarts = 0
        self.shutdowns = collections.Counter()
        self.program_starts = 0
        self.browser_starts = 0
        self.captures_checked = 0
        self.dialogs_closed = 0
        self.held_paths = set()  # every text the path field was given that could start something
        self.log_seen = 0
        # A graceful command's wait runs until its capture is written (longer when a dialog
        # opened inside it), and its end stops the timer whatever was started meanwhile.
        self.grace_since = None  # when the command of a wait still running came
        self.last_capture = None  # when the last capture was taken, by its name
        self.strays = {}  # name -> first seen (monotonic)
        self.exit_clicked_at = None  # when a click last may have hit "退出"
        self.clicked_at = None
        self.address = web_address()
        self.x = xclient.Display()
        self.screen = rig.screenshot()
        self.seconds = collections.Counter()  # time spent, by event kind and by check
        self.velmora = None
        self.window = None

    # --- set-up ------------------------------------------------------------------------------

    def prepare(self):
        for path in PROGRAMS + [CHINESE_PROGRAM]:
            target = rig.unix_path(path)
            os.makedirs(os.path.dirname(target), exist_ok=True)
            shutil.copy(self.rig.exe("recorder.exe"), target)
        self.rig.install_browser_standin()
        self.log_seen = len(self.rig.started())  # the browser stand-in's own probe
        self.rig.start_backdrop()
        self.start_program()

    def cleanup(self):
        shutil.rmtree(rig.unix_path(PROGRAM_FOLDER), ignore_errors=True)

    def start_program(self):
        self.velmora = self.rig.start_velmora()
        self.window = self.velmora.window
        self.exit_clicked_at = None
        self.killed_at = None

    # --- bookkeeping -------------------------------------------------------------------------

    def note(self, text):
        line = f"#{self.events_done} {text}"
        self.history.append(line)
        if self.verbose:
            print(f"{datetime.datetime.now():%H:%M:%S.%f}"[:12] + " " + line, file=self.out,
                  flush=True)

    def keep_evidence(self):
        """With VELMORA_MONKEY_SHOTS set to a folder: the screen and the window holding the
        keyboard at a finding, to see what a replay cannot show when timing made the fault."""
        folder = os.environ.get("VELMORA_MONKEY_SHOTS")
        if not folder:
            return
        os.makedirs(folder, exist_ok=True)
        shot = os.path.join(folder, f"monkey-{self.seed}-{self.events_done}.png")
        subprocess.run(["import", "-window", "root", shot], capture_output=True)
        focus = subprocess.run(["xdotool", "getwindowfocus", "getwindowname"],
                               capture_output=True, text=True).stdout.strip()
        print(f"  screen: {shot}; keyboard focus on {focus!r}", file=self.out)

    def find(self, what):
        message = f"event #{self.events_done}: {what}"
        self.findings.append(message)
        self.kinds[what] += 1
        if self.kinds[what] > 1:  # the same fault again: counted, not printed again
            if not self.keep_going:
                raise Finding(message)
            return
        print(f"FINDING (seed {self.seed}) {message}", file=self.out)
        print("  last events:", file=self.out)
        for line in self.history:
            print("    " + line, file=self.out)
        print(f"  replay: monkey.py --seed {self.seed} --events {self.events_done + 1}",
              file=self.out)
        self.keep_evidence()
        self.out.flush()
        if not self.keep_going:
            raise Finding(message)

    # --- the window --------------------------------------------------------------------------

    def geometry(self):
        try:
            return layout.Rect(*self.x.geometry(self.window))
        except xclient.BadWindow:
            raise WindowGone() from None

    def view(self):
        g = self.geometry()
        return (g.w, g.h), g

    def settled_view(self, timeout=3.0):
        """The view once the window's size has stayed the same for two reads 25 ms apart and is
        one of the three; None when it does not settle on one within the timeout."""
        deadline = time.monotonic() + timeout
        previous = None
        while True:
            size, g = self.view()
            if size in VIEWS and previous == g:
                return size, g
            if time.monotonic() > deadline:
                return None
            previous = g
            time.sleep(0.025)

    def screen_point(self, g, x, y):
        return g.x + x, g.y + y

    def exit_rect(self, g):
        return layout.rect("LabelGN(4)").grow(2).moved(g.x, g.y)

    def press(self, x, y, button=1, count=1):
        for n in range(count):
            if n:
                time.sleep(0.08)
            self.x.click(x, y, button)

    # --- events ------------------------------------------------------------------------------

    def do_click(self, e):
        size, g = self.view()
        area = layout.Rect(g.x, g.y, g.w, g.h).grow(e["margin"])
        x = min(max(area.x + int(e["fx"] * area.w), 0), self.screen.width - 1)
        y = min(max(area.y + int(e["fy"] * area.h), 0), self.screen.height - 1)
        button = {"left": 1, "right": 3, "double": 1}[e["button"]]
        on_exit = button == 1 and self.exit_rect(g).contains(x, y)
        if on_exit:
            self.exit_clicked_at = time.monotonic()
        self.note(f"click {e['button']} at ({x - g.x}, {y - g.y}) of the {VIEWS.get(size, size)}")
        self.press(x, y, button, 2 if e["button"] == "double" else 1)
        time.sleep(0.05)
        if on_exit:
            # Wine takes a second or two to end the process; wait here, as after a deliberate
            # 退出, so that the next events' own waits (a picker that cannot show) do not
            # outlast the time in which an end counts as this click's.
            program = self.velmora.program
            try:
                rig.wait_for(lambda: not program.running(), 10, interval=0.05)
                self.exit_clicked_at = time.monotonic()
            except AssertionError:
                pass  # a list or a dialog took the click: the program goes on

    def click_control(self, g, name):
        self.close_lists()
        self.clicked_at = (g.x, g.y)  # where the window was when the control was clicked
        x, y = self.screen_point(g, *layout.rect(name).centre)
        self.press(x, y)

    def close_lists(self):
        """Closes a field's list left open, as a person who sees it would: like any drop-down
        list it takes the next click in the program for itself, and a deliberate click would
        change nothing. Escape first; when the keyboard has gone elsewhere (Wine lets a click on
        another program's window through without closing the list), a click on the countdown,
        where a click does nothing."""
        if not self.lists():
            return
        self.note("a list is open: Escape")
        self.x.key("Escape")
        try:
            rig.wait_for(lambda: not self.lists(), 1, interval=0.05)
            return
        except AssertionError:
            pass
        self.note("the list is still open: click on the countdown")
        self.press(*self.screen_point(self.geometry(), *layout.rect("Label2").centre))
        try:
            rig.wait_for(lambda: not self.lists(), 3, interval=0.05)
        except AssertionError:
            self.find("a field's list stays open after Escape and a click")

    def do_label(self, e):
        settled = self.settled_view()
        if settled is None:
            return
        size, g = settled
        label = e["label"] if size != COMPACT else "LabelGN(1)"  # the only one the strip shows
        self.note(f"{label} in the {VIEWS[size]}")
        self.click_control(g, label)
        if label == "LabelGN(1)":
            self.expect_view(STAR[size], f"★ in the {VIEWS[size]}")
        elif label == "LabelGN(2)":
            self.expect_view(SETTINGS[size], f"设置 in the {VIEWS[size]}")
        else:
            # Starting shrinks the window, pausing leaves it: give a start the time to show.
            time.sleep(0.3)
            self.expect_view((COMPACT, FULL), "启动/暂停")

    def expect_view(self, expected, what, timeout=3.0):
        expected = expected if isinstance(expected, tuple) and isinstance(expected[0], tuple) \
            else (expected,)
        deadline = time.monotonic() + timeout
        while True:
            settled = self.settled_view(timeout=1.0)
            if settled and settled[0] in expected:
                place = (settled[1].x, settled[1].y)
                if place != self.clicked_at:  # a view keeps the window's top-left corner
                    self.find(f"{what} moved the window from {self.clicked_at} to {place}")
                return settled
            if time.monotonic() > deadline:
                if self.explained_by_dialog(what):
                    return None
                shown = settled[0] if settled else self.view()[0]
                self.find(f"{what}: the window is {shown}, expected "
                          f"{' or '.join(VIEWS[v] for v in expected)}")
                return None

    def do_exit(self, e):
        settled = self.settled_view()
        if settled is None or settled[0] == COMPACT:
            return  # "退出" lies beyond the compact strip; the next event brings it back
        size, g = settled
        self.note(f"退出 in the {VIEWS[size]}")
        self.exit_clicked_at = time.monotonic()
        self.click_control(g, "LabelGN(4)")
        program = self.velmora.program
        try:
            rig.wait_for(lambda: not program.running(), 10, interval=0.05)
        except AssertionError:
            self.find("退出 did not end the program within 10 s")

    def do_option(self, e):
        g = self.full_panel(f"Option{e['option']}")
        if g is None:
            return
        box = layout.rect(f"Option{e['option']}")
        self.close_lists()
        self.press(*self.screen_point(g, box.x + 6, box.y + box.h // 2))
        time.sleep(0.03)

    def grip_point(self, size, grip, fa, fb):
        """A window point where pointer moves reach the grip, for the view shown (None when the
        grip is not in the view)."""
        if size == FULL and grip == "Frame1":
            box = layout.rect("Frame1")
            return (box.x + int(fa * 7), box.y + 4 + int(fb * (box.h - 8))) if fb < 0.5 \
                else (box.x + 4 + int(fa * (box.w - 20)), box.y + int(fb * 7))
        if size == FULL and grip == "Frame2":
            box = layout.rect("Frame2")
            return (box.x + int(fa * 7), box.y + 4 + int(fb * (box.h - 8))) if fb < 0.5 \
                else (box.x + 4 + int(fa * (box.w - 8)), box.y + int(fb * 7))
        if grip == "Frame1" or grip == "Frame2":
            grip = "Label5"
        # Label5 where nothing in front of it takes the pointer: the countdown's box in any view,
        # and in the full panel also the band of the large box above the frames.
        if size == FULL and fb < 0.5:
            return 12 + int(fa * 360), 43 + int(fb * 8)
        return 12 + int(fa * 88), 11 + int(fb * 18)

    def do_drag(self, e):
        settled = self.settled_view()
        if settled is None:
            return
        size, g = settled
        self.close_lists()  # an open list would take the pointer for itself
        start = self.grip_point(size, e["grip"], e["fa"], e["fb"])
        dx = min(max(e["dx"], -g.x), self.screen.width - g.right)
        dy = min(max(e["dy"], -g.y), self.screen.height - g.bottom)
        x0, y0 = self.screen_point(g, *start)
        self.note(f"drag {e['grip']} from {start} by ({dx}, {dy}) in {e['steps']} steps, "
                  f"window at ({g.x}, {g.y})")
        # Rest on the grip first, so that it remembers where it was taken.
        self.x.move(x0 + 1, y0)
        time.sleep(0.04)
        self.x.move(x0, y0)
        time.sleep(0.04)
        self.x.button(1, True)
        for step in range(1, e["steps"] + 1):
            time.sleep(0.03)
            self.x.move(x0 + dx * step // e["steps"], y0 + dy * step // e["steps"])
        time.sleep(0.03)
        self.x.button(1, False)
        # The grip moves with the window, the window by the pointer's offset: where the pointer
        # ends, the grabbed point is. Twips round each step to a pixel, so allow one per step.
        slack = e["steps"] + 1

        def arrived():
            now = self.geometry()
            return now if (abs(now.x - g.x - dx) <= slack and abs(now.y - g.y - dy) <= slack) \
                else None

        try:
            rig.wait_for(arrived, 3, interval=0.05)
        except AssertionError:
            if self.explained_by_dialog("the drag"):
                return
            now = self.geometry()
            self.find(f"drag by ({dx}, {dy}) on {e['grip']} moved the window from ({g.x}, {g.y}) "
                      f"to ({now.x}, {now.y})")

    def type_into(self, g, name, text, delay=None):
        """Clicks into a field, selects what it holds and types over it. (Wine's edit controls
        ignore Ctrl+A, so the selection is made with End, Shift+Home.)"""
        self.close_lists()
        box = layout.rect(name)
        self.press(*self.screen_point(g, box.x + min(12, box.w // 3), box.y + box.h // 2))
        self.x.key("End")
        self.x.key("shift+Home")
        if text:
            if delay is None:
                delay = 12 if text.isascii() else 150  # Wine takes up xdotool's spare keys late
            rig.xdotool("type", "--delay", delay, "--", text)

    def do_field(self, e):
        g = self.full_panel(f"Combo1({e['field']}) := {e['text'][:40]!r}"
                            + (f"... ({len(e['text'])} chars)" if len(e["text"]) > 40 else ""))
        if g is None:
            return
        self.type_into(g, f"Picture1({e['field']})", e["text"])

    def type_path(self, g, text):
        """Types a path into the field with its colon last, so that no text on the way to it
        holds ":\\" (a tick that found a bare "C:\\" would start a file manager on the drive)."""
        self.held_paths.add(text)
        colon = text.find(":")
        if colon < 0:
            self.type_into(g, "Text5", text)
            return
        self.type_into(g, "Text5", text[:colon] + text[colon + 1:], delay=None if
                       text.isascii() else 150)
        for k in ["Home"] + ["Right"] * colon:
            self.x.key(k)
        rig.xdotool("type", ":")

    def do_path(self, e):
        g = self.full_panel(f"Text5 := {e['text'][:60]!r}")
        if g is None:
            return
        self.type_path(g, e["text"])

    def do_keys(self, e):
        self.note("keys " + " ".join(e["keys"]))
        for k in e["keys"]:
            self.x.key(k)
            time.sleep(0.03)

    def do_list(self, e):
        g = self.full_panel(f"list of Combo1({e['field']}), "
                            + (f"row {e['row']}" if e["pick"] else "Escape"))
        if g is None:
            return
        box = layout.rect(f"Picture1({e['field']})")
        self.press(*self.screen_point(g, box.right - 5, box.y + box.h // 2))
        time.sleep(0.25)
        if e["pick"]:
            self.press(*self.screen_point(g, box.x + 10, box.bottom + 8 + 14 * e["row"]))
        else:
            self.x.key("Escape")
        time.sleep(0.05)

    def other_windows(self):
        """(window, title) of the program's visible windows besides the main one."""
        return [(w, self.x.window_name(w))
                for w in self.x.visible_windows(self.velmora.program.pid) if w != self.window]

    def dialogs(self):
        """The picker and its messages: windows with a title."""
        return [(w, name) for w, name in self.other_windows() if name]

    def lists(self):
        """A combo box's open list: a top-level window without a title."""
        return [w for w, name in self.other_windows() if not name]

    def explained_by_dialog(self, what, wait=5.0):
        """Whether a dialog explains why the window did not answer: a click or key of an earlier
        event hit "浏览", and the picker, modal, showed only after that event's check (Wine takes
        a second or two to show it). Closes it."""
        try:
            rig.wait_for(self.dialogs, wait, interval=0.1)
        except AssertionError:
            return False
        self.close_dialogs(f"{what} did nothing: a dialog came up")
        return True

    def point_at(self, window):
        """Puts the pointer onto the window's top edge, where no control lies."""
        try:
            x, y, w, _ = self.x.geometry(window)
        except xclient.BadWindow:  # gone meanwhile: the next look at the dialogs tells
            return
        self.x.move(x + w // 2, y + 3)

    def close_dialogs(self, why, stray=True):
        """Escape until no dialog is open; a dialog that four of them leave open is a finding.
        `stray`: a dialog the monkey did not mean to open (a key or click that hit "浏览")."""
        for attempt in range(4):
            open_now = self.dialogs()
            if not open_now:
                return
            if attempt == 0:
                self.note(f"{why}: {[name for _, name in open_now]} open, Escape")
                self.dialogs_closed += stray
            # With no window manager the keyboard goes to the X window under the pointer: over
            # the backdrop the Escape would go to that other program. A person looks at the
            # dialog; the pointer goes onto its title (no click: that could choose something).
            self.point_at(open_now[0][0])
            self.x.key("Escape")
            try:
                rig.wait_for(lambda: len(self.dialogs()) < len(open_now), 5, interval=0.1)
            except AssertionError:
                pass
        left = self.dialogs()
        if left:
            self.find(f"dialogs stay open after Escape: {[name for _, name in left]}")
            # So that the run can go on. Killing an X window ends the whole Wine process (its X
            # connection breaks): that end is the monkey's doing, not a finding.
            for w, _ in left:
                subprocess.run(["xdotool", "windowkill", str(w)], capture_output=True)
            self.killed_at = time.monotonic()

    def do_picker(self, e):
        """浏览, a name typed or none, then Escape or Enter. The dialog opens in the program's
        folder, where recorder.exe lies beside it: Enter on that name chooses it; on another
        name the dialog says the file is missing, or does nothing."""
        g = self.full_panel(f"浏览, type {e['typed']!r}, {e['key']}")
        if g is None:
            return
        self.click_control(g, "Command1")
        try:
            rig.wait_for(lambda: any(n == PICKER_TITLE for _, n in self.dialogs()), 15,
                         interval=0.1)
        except AssertionError:
            self.find("浏览 showed no dialog within 15 s")
            return
        time.sleep(1.0)  # a look at it; Wine's dialog takes keys only once it has filled in
        if e["typed"]:
            rig.xdotool("type", "--delay", 150 if not e["typed"].isascii() else 30, "--",
                        e["typed"])
        if e["key"] == "Return":
            if e["typed"] == "recorder.exe":
                self.held_paths.add(rig.windows_path(self.rig.exe("recorder.exe")))
            self.x.key("Return")
            try:  # a chosen file closes it, once the dialog has caught up with the keys
                rig.wait_for(lambda: not self.dialogs(), 3, interval=0.1)
            except AssertionError:
                pass
        # Escape for whatever is still open (a message about a missing file, the dialog), again
        # if the dialog was not ready for the first one, as a person would.
        self.close_dialogs("the picker", stray=False)

    def do_arm(self, e):
        """To the full panel, the option, a target `lead` seconds ahead, then "启动"."""
        g = self.full_panel(f"arm Option{e['option']} {e['lead']:.1f} s ahead")
        if g is None:
            return
        box = layout.rect(f"Option{e['option']}")
        self.close_lists()
        self.press(*self.screen_point(g, box.x + 6, box.y + box.h // 2))
        if e["option"] == 3:
            self.type_path(g, e["path"])
        later = datetime.datetime.now() + datetime.timedelta(seconds=e["lead"])
        target = later.replace(microsecond=0) + datetime.timedelta(seconds=1)
        texts = [str(target.year)] + [f"{v:02d}" for v in (target.month, target.day, target.hour,
                                                           target.minute, target.second)]
        for index, text in enumerate(texts, start=1):
            self.type_into(g, f"Picture1({index})", text)
        # The caption, "启动" or "暂停", does not show from here: a click that leaves the full
        # panel for a while was a pause, and the next one starts. (A start that shrinks the
        # window late leaves the second click outside it.)
        runs_before = len(self.rig.started())
        started = datetime.datetime.now().replace(microsecond=0)
        self.click_control(g, "LabelGN(3)")
        try:
            rig.wait_for(lambda: self.view()[0] == COMPACT, 1.5, interval=0.05)
        except AssertionError:
            self.click_control(g, "LabelGN(3)")
            if self.expect_view(COMPACT, "启动 in the full panel after a pause") is None:
                return
        self.note(f"armed for {target:%H:%M:%S}")
        if e["watch"]:
            # Half the time the monkey leaves it alone until it fires, so that the actions fire
            # often enough, and then the firing is due; the other half it fiddles on at once.
            time.sleep(max(0.0, (target - datetime.datetime.now()).total_seconds() + 0.3))
            self.expect_firing(e, target, runs_before, started)

    def expect_firing(self, e, target, runs_before, started):
        """The command of the option armed for `target`, when nothing else had a say: no grace
        wait of an earlier firing still running (its end stops the timer), no dialog."""
        self.check_commands()
        self.check_captures()
        if self.grace_since is not None or (self.last_capture is not None
                                            and self.last_capture >= started):
            return  # an earlier wait ran on after the start, or runs still
        if e["option"] == 3:
            wanted, what = (lambda run: run.module.lower() == e["path"].lower()), e["path"]
        else:
            args = {1: "-s -t 20", 2: "-r -t 20", 4: "-s -t 0", 5: "-r -t 0"}[e["option"]]
            wanted = (lambda run: image_name(run.module) == "shutdown.exe"
                      and arguments(run.command_line) == args)
            what = "shutdown " + args
        try:
            rig.wait_for(lambda: any(map(wanted, self.rig.started()[runs_before:])), 4,
                         interval=0.1)
        except AssertionError:
            if not self.explained_by_dialog("the firing", wait=0.5):
                self.find(f"armed Option{e['option']} for {target:%H:%M:%S} and left it alone, "
                          f"but {what} did not come")
            return
        if e["option"] in (1, 2):
            # The grace wait has begun, at least 5 s before the capture: the window answers
            # at once all the same.
            settled = self.settled_view()
            if settled is not None:
                size, g = settled
                self.note(f"★ in the {VIEWS[size]} during the grace wait")
                self.click_control(g, "LabelGN(1)")
                self.expect_view(STAR[size], "★ during the grace wait", timeout=1.5)

    def full_panel(self, what):
        """Opens the full panel from a strip as a person would ("★" to widen the compact strip,
        then "设置"), and notes `what`; the window's geometry, or None."""
        settled = self.settled_view()
        if settled is None:
            return None
        size, g = settled
        self.note(f"{what} (from the {VIEWS[size]})")
        if size == COMPACT:
            self.click_control(g, "LabelGN(1)")
            settled = self.expect_view(WIDE, "★ in the compact strip")
            if settled is None:
                return None
            size, g = settled
        if size == WIDE:
            self.click_control(g, "LabelGN(2)")
            settled = self.expect_view(FULL, "设置 in the wide strip")
            if settled is None:
                return None
            size, g = settled
        return g

    def do_wait(self, e):
        self.note(f"wait {e['seconds']} s")
        time.sleep(e["seconds"])

    # --- checks ------------------------------------------------------------------------------

    def check_alive(self):
        program = self.velmora.program
        if program.running():
            try:
                self.geometry()
                return
            except WindowGone:
                pass
            try:
                rig.wait_for(lambda: not program.running(), 10, interval=0.05)
            except AssertionError:
                self.find("the window is gone but the program runs on")
                rig.kill_wine_processes({"velmora.exe"}, VELMORA_E2E_TAG=self.rig.tag)
        recent_exit = self.exit_clicked_at is not None and \
            time.monotonic() - self.exit_clicked_at < 15
        killed = self.killed_at is not None and time.monotonic() - self.killed_at < 15
        if not recent_exit and not killed:
            self.find(f"the program ended with no click on 退出 (exit code "
                      f"{program.process.returncode}):\n{program.output_text()}")
        self.note("ended; starting it again")
        self.restarts += 1
        self.grace_since = None  # a wait ends with the program
        self.start_program()

    def shows(self):
        try:
            return self.x.viewable(self.window)
        except xclient.BadWindow:
            raise WindowGone() from None

    def check_view(self):
        """The window shows, in one of the three views, and not off the screen."""
        if self.view()[0] not in VIEWS and self.settled_view() is None:
            size, g = self.view()
            self.find(f"the window stays {size[0]} x {size[1]} at ({g.x}, {g.y}), none of the "
                      f"three views")
        if not self.shows():
            try:
                rig.wait_for(self.shows, 3, interval=0.05)
            except AssertionError:
                self.find("the window stays hidden")
        g = self.geometry()
        if g.right <= 0 or g.bottom <= 0 or g.x >= self.screen.width or g.y >= self.screen.height:
            self.find(f"the window lies off the screen at ({g.x}, {g.y})")

    def check_commands(self):
        runs = self.rig.started()
        for run in runs[self.log_seen:]:
            args = arguments(run.command_line)
            if image_name(run.module) == "shutdown.exe":
                self.shutdowns[args] += 1
                if args.endswith("-t 20"):
                    self.grace_since = run.time
                self.note(f"shutdown {args}")
                if args not in SHUTDOWN_ARGUMENTS:
                    self.find(f"shutdown.exe got {args!r}: {run}")
            elif run.module.lower() == rig.BROWSER.lower():
                self.browser_starts += 1
                self.note("browser started")
                if args != self.address:
                    self.find(f"the browser got {args!r}, not {self.address!r}: {run}")
            else:
                self.program_starts += 1
                self.note(f"program started: {run.module}")
                if not self.was_held(run.module):
                    self.find(f"started {run.module!r}, which the path field never held "
                              f"({sorted(self.held_paths)})")
        self.log_seen = len(runs)

    def was_held(self, module):
        module = module.lower()
        for text in self.held_paths:
            path = text.strip()
            if len(path) >= 2 and path[0] == '"' and path[-1] == '"':
                path = path[1:-1].strip()
            if module == path.lower():
                return True
        return False

    def check_captures(self):
        folder = rig.unix_path(CAPTURE_FOLDER)
        try:
            names = os.listdir(folder)
        except FileNotFoundError:
            return
        for name in names:
            path = os.path.join(folder, name)
            if CAPTURE_NAME.fullmatch(name):
                self.check_capture(path, name)
                continue
            first = self.strays.setdefault(name, time.monotonic())
            if time.monotonic() - first > STRAY_GRACE_S and os.path.exists(path):
                self.find(f"{name} in {CAPTURE_FOLDER}, which holds nothing but captures")
                os.remove(path)
        self.strays = {n: t for n, t in self.strays.items() if n in names}

    def check_capture(self, path, name):
        self.captures_checked += 1
        self.note(f"capture {name} checked")
        try:
            taken = datetime.datetime.strptime(name[:14], "%Y%m%d%H%M%S")
        except ValueError:
            self.find(f"{name} is not named after a moment")
            os.remove(path)
            return
        described = subprocess.run(["identify", "-format", "%m %w %h\n", path],
                                   capture_output=True, text=True, timeout=30)
        kind, width, height = (described.stdout.split() + ["?", "0", "0"])[:3]
        if described.returncode != 0 or not kind.startswith("BMP") or \
                (width, height) != (str(self.screen.width), str(self.screen.height)):
            self.find(f"{name} is not a BMP of the screen's size: {described.stdout!r} "
                      f"{described.stderr.strip()!r}")
        self.last_capture = max(self.last_capture or taken, taken)
        if self.grace_since is not None and taken >= self.grace_since.replace(microsecond=0):
            self.grace_since = None
        os.remove(path)  # checked: out of the way, so the long run does not fill the disk

    def check(self):
        for name, step in (("alive", self.check_alive),
                           ("dialogs", lambda: self.close_dialogs("after the event")),
                           ("view", self.check_view), ("commands", self.check_commands),
                           ("captures", self.check_captures)):
            began = time.monotonic()
            try:
                step()
            except WindowGone:
                self.check_alive()  # ending: wait for it, and start the program again
            self.seconds["check " + name] += time.monotonic() - began

    # --- the run -----------------------------------------------------------------------------

    def run(self, events):
        handlers = {"click": self.do_click, "label": self.do_label, "option": self.do_option,
                    "drag": self.do_drag, "field": self.do_field, "path": self.do_path,
                    "keys": self.do_keys, "list": self.do_list, "picker": self.do_picker,
                    "arm": self.do_arm, "wait": self.do_wait, "exit": self.do_exit}
        for index in range(events):
            self.events_done = index
            event = draw_event(self.seed, index)
            began = time.monotonic()
            try:
                handlers[event["kind"]](event)
            except WindowGone:
                self.note("the window is gone")
            self.seconds[event["kind"]] += time.monotonic() - began
            self.check()
        self.events_done = events
        # Let a last firing land, then look once more.
        time.sleep(2)
        self.check()

    def summary(self):
        commands = sum(self.shutdowns.values()) + self.program_starts
        shutdowns = ", ".join(f"{args}: {n}" for args, n in sorted(self.shutdowns.items()))
        return (f"seed {self.seed}: {self.events_done} events, {self.restarts} restarts, "
                f"{commands} commands (shutdown {shutdowns or 'none'}; programs "
                f"{self.program_starts}), {self.browser_starts} browser starts, "
                f"{self.captures_checked} captures checked, {self.dialogs_closed} dialogs closed, "
                f"{len(self.findings)} findings ({len(self.kinds)} distinct)")


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--seed", type=int, default=None, help="default: from the clock")
    parser.add_argument("--events", type=int, default=1000)
    parser.add_argument("--keep-going", action="store_true",
                        help="note every finding and go on (the long run)")
    parser.add_argument("--verbose", action="store_true", help="print every event as it happens")
    args = parser.parse_args(argv)
    seed = args.seed if args.seed is not None else int(time.time()) % 1000000
    test_rig = rig.Rig("monkey")
    monkey = Monkey(test_rig, seed, keep_going=args.keep_going, verbose=args.verbose)
    started = time.monotonic()
    print(f"monkey: seed {seed}, {args.events} events", flush=True)
    try:
        monkey.prepare()
        monkey.run(args.events)
    except Finding:
        pass
    except Exception as error:  # the rig itself failed: report where, with the seed
        monkey.findings.append(f"event #{monkey.events_done}: the run broke off: {error!r}")
        print(f"the run broke off at event #{monkey.events_done} (seed {seed}): {error!r}")
        for line in monkey.history:
            print("    " + line)
        raise
    finally:
        test_rig.keep_screenshot(f"monkey-{seed}")
        test_rig.stop()
        monkey.cleanup()
        print(monkey.summary())
        for what, count in monkey.kinds.items():
            print(f"  finding, {count} time(s): {what.splitlines()[0]}")
        print("time by event kind and check: " + ", ".join(
            f"{name} {seconds:.0f} s" for name, seconds in monkey.seconds.most_common()))
        print(f"{time.monotonic() - started:.0f} s", flush=True)
    return 1 if monkey.findings else 0


if __name__ == "__main__":
    sys.exit(main())
