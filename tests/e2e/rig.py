"""The end-to-end rig of the tests, the monkey and the bench: the real velmora.exe under Wine in the
session's Xvfb, driven and read through python-xlib (XTEST, GetImage), and the stand-ins' log."""

import contextlib
import datetime
import os
import shutil
import signal
import subprocess
import threading
import time
import uuid
from pathlib import Path, PureWindowsPath

from Xlib import X, XK, display, error
from Xlib.ext import xtest

BUILD = os.path.abspath(os.environ.get("VELMORA_BUILD_DIR", "build/win32"))
WINE = os.environ.get("VELMORA_WINE", "/usr/bin/wine")  # the loader tools/arch.sh chose
BROWSER = "C:\\Program Files\\Internet Explorer\\iexplore.exe"
SHUTDOWN = "C:\\windows\\system32\\shutdown.exe"
# Where a search for the unquoted browser path would look before the real one: fakes there (and
# each group's cmd.exe beside velmora.exe and shutdown.exe in its current folder) must never run.
PLANTED = ("C:\\Program.exe", "C:\\Program Files\\Internet.exe")
# Window rectangles in pixels (x, y, width, height): the layout's twips divided by 15.
RECT = {
    "LabelGN(1)": (116, 15, 13, 12), "LabelGN(2)": (140, 15, 26, 12),
    "LabelGN(3)": (165, 15, 35, 12), "LabelGN(4)": (208, 15, 35, 12), "Label6": (248, 14, 129, 17),
    "Label2": (18, 15, 84, 12), "Label12": (128, 184, 121, 12), "Label8(3)": (57, 64, 96, 12),
    "LabelS": (71, 144, 71, 14), "Label8(2)": (200, 64, 161, 17),
    "Shape1": (9, 8, 125, 25), "Shape6": (134, 8, 113, 25), "Shape4(2)": (247, 8, 133, 25),
    "Shape3": (8, 40, 373, 173), "Shape7": (24, 56, 165, 121), "Shape2": (200, 56, 165, 121),
    "Frame1": (16, 48, 181, 129), "Frame2": (192, 48, 181, 137), "Option1": (205, 88, 87, 17),
    "Option2": (205, 104, 87, 17), "Option3": (213, 128, 87, 17), "Option4": (296, 88, 63, 17),
    "Option5": (296, 104, 63, 17), "Text5": (213, 144, 92, 18), "Command1": (312, 144, 37, 18),
}
# The target's fields Picture1(1..6), year to second.
FIELDS = [(x, y, w, 15) for y in (91, 115) for x, w in ((32, 46), (88, 38), (136, 38))]
FULL, WIDE, COMPACT = (389, 221), (389, 37), (136, 37)
PINK, MAGENTA, WHITE = (255, 128, 255), (255, 0, 255), (255, 255, 255)
BOOT = time.time() - float(Path("/proc/uptime").read_text().split()[0])  # processes' time 0


def backdrop_colour(x, y):
    """The backdrop at a screen point: green where x / 8 + y / 8 is even, else blue."""
    return (0, 160, 0) if (x // 8 + y // 8) % 2 == 0 else (0, 0, 160)


def wait_for(condition, timeout, what, interval=0.05):
    """Polls condition() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"no {what} within {timeout} s")
        time.sleep(interval)
    return result


def unix_path(path):
    """C:\\... inside the session's prefix; Z:\\... is the Unix root."""
    if path[0] in "Zz":
        return path[2:].replace("\\", "/")
    return os.path.join(os.environ["WINEPREFIX"], "drive_c", *path[3:].split("\\"))


class Screen:
    """An X display: input through XTEST, its top-level windows, screenshots."""

    def __init__(self):
        self.display = display.Display()
        self.root = self.display.screen().root
        low, high = self.display.display.info.min_keycode, self.display.display.info.max_keycode
        codes = self.display.get_keyboard_mapping(low, high - low + 1)
        self.spare = low + next(i for i, syms in enumerate(codes) if not any(syms))

    def image(self, x, y, w, h):
        """The server's BGRX bytes of a screen rectangle."""
        return self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data

    def shot(self, x, y, w, h):
        """pixel(x, y) -> (r, g, b) of a screen rectangle."""
        data = self.image(x, y, w, h)
        return lambda px, py: tuple(data[4 * ((py - y) * w + px - x) + i] for i in (2, 1, 0))

    def move(self, x, y):
        xtest.fake_input(self.display, X.MotionNotify, x=int(x), y=int(y))
        self.display.sync()

    def click(self, x, y, button=1):
        self.drag(x, y, 0, 0, (button,), steps=0)

    def drag(self, x, y, dx, dy, buttons=(1,), steps=6):
        self.move(x, y)
        for button in buttons:
            xtest.fake_input(self.display, X.ButtonPress, button)
        for step in range(1, steps + 1):
            self.move(x + dx * step // steps, y + dy * step // steps)
        for button in reversed(buttons):
            xtest.fake_input(self.display, X.ButtonRelease, button)
        self.display.sync()

    def key(self, *names):
        """Presses the keys together ("Tab"; "Shift_L", "Home"), then lets them go."""
        self.press([self.display.keysym_to_keycode(XK.string_to_keysym(n)) for n in names])

    def press(self, codes):
        for down, order in ((X.KeyPress, codes), (X.KeyRelease, codes[::-1])):
            for code in order:
                xtest.fake_input(self.display, down, code)
        self.display.sync()

    def type(self, text, gap=0.02):
        for char in text:
            keysym = ord(char) if ord(char) < 0x100 else 0x1000000 + ord(char)
            code = self.display.keysym_to_keycode(keysym)
            if not code:
                # Not on the keyboard: bind it to a spare key. Wine reads the new binding only
                # on its MappingNotify, so give it a moment (as xdotool's type does).
                self.display.change_keyboard_mapping(self.spare, [(keysym, keysym)])
                self.display.sync()
                time.sleep(0.15)
                code = self.spare
            shifted = self.display.keycode_to_keysym(code, 0) != keysym
            self.press([50, code] if shifted else [code])  # 50: Xvfb's left Shift
            time.sleep(gap)

    def windows(self, pid=None, name=None):
        """The viewable top-level windows of a process (Wine sets _NET_WM_PID) or of a title."""
        found, pid_atom = [], self.display.intern_atom("_NET_WM_PID")
        for window in self.root.query_tree().children:
            with contextlib.suppress(error.XError):  # gone meanwhile
                owner = window.get_full_property(pid_atom, X.AnyPropertyType)
                if window.get_attributes().map_state == X.IsViewable and (
                        pid is None or owner and owner.value[0] == pid) and (
                        name is None or self.title(window) == name):
                    found.append(window)
        return found

    def title(self, window):
        utf8 = window.get_full_property(self.display.intern_atom("_NET_WM_NAME"), 0)
        return utf8.value.decode() if utf8 else window.get_wm_name()

    def geometry(self, window):
        g, at = window.get_geometry(), window.translate_coords(self.root, 0, 0)
        return -at.x, -at.y, g.width, g.height


def install(program, path):
    os.makedirs(os.path.dirname(unix_path(path)), exist_ok=True)
    shutil.copy(os.path.join(BUILD, program), unix_path(path))


def session():
    """The X screen, once the prefix has the stand-ins for the system's shutdown.exe and the browser
    (run in place of Wine's builtin stubs with =n overrides), the planted fakes and no C:\\QORN."""
    os.environ["WINEDLLOVERRIDES"] += ";shutdown.exe=n;iexplore.exe=n"  # set by wine-prefix.sh
    install("shutdown.exe", SHUTDOWN)
    for path in (BROWSER,) + PLANTED:
        install("recorder.exe", path)
    # A crash ends the program at once instead of leaving it up behind Wine's crash dialog.
    subprocess.run([WINE, "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog",
                    "/t", "REG_DWORD", "/d", "0", "/f"], capture_output=True, check=True)
    shutil.rmtree(unix_path("C:\\QORN"), ignore_errors=True)  # the first start makes it
    return Screen()


def start_backdrop(group=None):
    """Tiles the X root window with the backdrop (Wine shapes the timer's colour-keyed window, so it
    shows through), and returns the list [(x, y, button)] of the presses that reach the root, read
    on a connection of its own. The root belongs to no group: `group` is not needed."""
    connection, clicks = display.Display(), []
    screen = connection.screen()
    tile = screen.root.create_pixmap(16, 16, screen.root_depth)
    for x, y in ((0, 0), (8, 0), (0, 8), (8, 8)):
        colour = screen.default_colormap.alloc_color(*(c * 257 for c in backdrop_colour(x, y)))
        tile.fill_rectangle(tile.create_gc(foreground=colour.pixel), x, y, 8, 8)
    screen.root.change_attributes(background_pixmap=tile, event_mask=X.ButtonPressMask)
    screen.root.clear_area()
    connection.sync()

    def listen():
        while True:
            event = connection.next_event()  # also the MappingNotify that every client gets
            if event.type == X.ButtonPress:
                clicks.append((event.root_x, event.root_y, event.detail))

    threading.Thread(target=listen, daemon=True).start()
    return clicks


def read_log(path):
    """[(time, fields...)] of a stand-in log."""
    log = Path(path).read_bytes().decode() if os.path.exists(path) else ""
    lines = [line.split("\t") for line in log.split("\r\n") if line]
    return [(datetime.datetime.strptime(t, "%Y-%m-%d %H:%M:%S.%f"), *rest) for t, *rest in lines]


def image(pid):
    """The name of the program a process runs (while Wine starts one, its loader's come first)."""
    argv = Path(f"/proc/{pid}/cmdline").read_bytes().decode().lower().split("\0")
    return next((n for n in map(lambda a: PureWindowsPath(a).name, argv)
                 if n not in ("wine", "wine-preloader", "wine64", "wine64-preloader")), "")


def processes(tag):
    """{(pid, time created): (image, parent's image)} of the processes with VELMORA_E2E_TAG=tag"""
    found = {}
    for proc in Path("/proc").glob("[0-9]*"):
        try:
            if f"VELMORA_E2E_TAG={tag}".encode() in (proc / "environ").read_bytes().split(b"\0"):
                stat = (proc / "stat").read_bytes().rsplit(b")", 1)[1].split()
                created = datetime.datetime.fromtimestamp(BOOT + int(stat[19]) / os.sysconf(
                    "SC_CLK_TCK"))
                found[int(proc.name), created] = image(proc.name), image(int(stat[1]))
        except (OSError, UnicodeDecodeError, IndexError):
            pass  # ended meanwhile
    return found


class Rig:
    """A group of checks: a folder in the prefix, the stand-ins' log, and the programs started
    with the group's tag, watched until stop() kills them. velmora.exe runs from a copy in
    <folder>\\bin beside a planted cmd.exe; its current folder holds a planted shutdown.exe."""

    def __init__(self, name, screen):
        self.screen, self.tag, self.programs, self.seen = screen, uuid.uuid4().hex[:12], [], {}
        self.win = f"C:\\velmora-e2e\\{name}-{self.tag}"
        self.folder, self.log = unix_path(self.win), unix_path(self.win + "\\log.txt")
        self.bin = os.path.join(self.folder, "bin")
        os.makedirs(self.bin)
        shutil.copy(os.path.join(BUILD, "velmora.exe"), self.bin)
        for target in (self.bin, self.bin + "/cmd.exe", self.folder + "/shutdown.exe"):
            shutil.copy(os.path.join(BUILD, "recorder.exe"), target)
        self.env = dict(os.environ, VELMORA_E2E_TAG=self.tag,
                        VELMORA_LOG="Z:" + self.log.replace("/", "\\"))
        self.watching = False

    def watch(self):
        # A command's cmd.exe lives 0.1 s or more under Wine: a look every 20 ms sees it named.
        while self.watching:
            self.seen.update(processes(self.tag))
            time.sleep(0.02)

    def start(self, *argv):
        """`WINE argv...` from the group's folder; its output goes to a file there."""
        with open(os.path.join(self.folder, f"out{len(self.programs)}.txt"), "wb") as out:
            self.programs.append(subprocess.Popen([WINE, *argv], cwd=self.folder, env=self.env,
                                                  stdout=out, stderr=out, start_new_session=True))
        return self.programs[-1]

    def runs(self):
        """[(time, module, command line)] of every start the stand-ins logged (each line goes on
        with the arguments as the stand-in's C runtime read them)."""
        return [line[:3] for line in read_log(self.log) if len(line) >= 3]

    def commands(self, since=datetime.datetime.min):
        """When the group's commands since `since` began: their cmd.exe processes' creation times
        (a fork shows its parent's name until it runs the program: a cmd.exe's are not counted)."""
        return sorted(t for (_, t), (name, parent) in list(self.seen.items())
                      if name == "cmd.exe" != parent and t >= since)

    def fakes_run(self):
        planted = [self.bin + "/cmd.exe", self.folder + "/shutdown.exe", *map(unix_path, PLANTED)]
        return [run for run in self.runs() if unix_path(run[1]).lower() in map(str.lower, planted)]

    def launch(self, *arguments):
        """velmora.exe with `arguments`, the group's processes watched from its start."""
        if not self.watching:
            self.watching = True
            threading.Thread(target=self.watch, daemon=True).start()
        return self.start(os.path.join(self.bin, "velmora.exe"), *arguments)

    def start_velmora(self):
        return Velmora(self, self.launch())

    def stop(self):
        self.watching = False
        for pid, _ in processes(self.tag):
            os.kill(pid, signal.SIGKILL)
        for program in self.programs:
            program.wait(10)
        wait_for(lambda: not processes(self.tag), 10, "end of the group's processes")


class Velmora:
    """The running timer's window, and how a user sets a target and action and starts it."""

    def __init__(self, group, program):
        self.program, self.screen, shown = program, group.screen, [None]

        def window():
            assert program.poll() is None, "velmora.exe ended during its start-up"
            return [w for w in self.screen.windows(program.pid)
                    if self.screen.title(w).startswith("Velmora")]

        def painted():  # pink shows, and two screenshots in a row agree
            x, y, w, h = self.geometry()
            pixel = self.screen.shot(x, y, w, h)
            shown.append([pixel(i, j) for i in range(x, x + w, 3) for j in range(y, y + h, 3)])
            return shown[-1] == shown[-2] and pixel(x + 60, y + 200) == PINK

        (self.window,) = wait_for(window, 90, "velmora window", interval=0.2)
        wait_for(painted, 60, "painted velmora window", interval=0.2)

    def geometry(self):
        return self.screen.geometry(self.window)

    def rect(self, rect):
        """Screen rectangle (x, y, width, height) of a control, or of a window rectangle."""
        x, y, _, _ = self.geometry()
        rx, ry, rw, rh = RECT[rect] if isinstance(rect, str) else rect
        return x + rx, y + ry, rw, rh

    def at(self, rect, dx=None, dy=None):
        """Screen point of a rectangle's centre, or of (dx, dy) inside it."""
        x, y, w, h = self.rect(rect)
        return x + (w // 2 if dx is None else dx), y + (h // 2 if dy is None else dy)

    def click(self, rect, **where):
        self.screen.click(*self.at(rect, **where))

    def press(self, label, view):  # LabelGN(label), then the view (window size) it leads to
        self.click(f"LabelGN({label})")
        self.view(view)

    def view(self, size):
        wait_for(lambda: self.geometry()[2:] == size, 15, f"window of {size}")

    def type_into(self, rect, text):
        """Clicks into a field and types over its text (Wine's edits ignore Ctrl+A)."""
        self.click(rect)
        self.screen.key("End")
        self.screen.key("Shift_L", "Home")
        self.screen.type(text)

    def arm(self, option=None, lead=3, year=None):
        """From the full panel: picks the option (its round button), types a target `lead` s ahead
        (a longer one if the typing took it; `year` as the year's text if given), presses 启动,
        waits for the compact strip and returns the target."""
        if option:
            self.click(option, dx=6)
        while True:
            target = (datetime.datetime.now() + datetime.timedelta(seconds=lead + 1)).replace(
                microsecond=0)
            for field, text in zip(FIELDS, [year or str(target.year)] + [f"{v:02d}" for v in (
                    target.month, target.day, target.hour, target.minute, target.second)]):
                self.type_into(field, text)
            if (target - datetime.datetime.now()).total_seconds() > 1.5:
                break
            lead *= 2
        self.press(3, COMPACT)
        return target

    def pause(self):
        """Compact strip -> ★ -> wide strip -> 暂停 -> full panel."""
        self.press(1, WIDE)
        self.press(3, FULL)
