"""End-to-end rig: starts the real velmora.exe under Wine in the test session's Xvfb, drives it with
xdotool, reads the screen with ImageMagick's import and reads what the stand-in programs logged.

The session (DISPLAY, WINEPREFIX, ...) comes from tools/wine-session.sh, sourced once per run; the
build folder from VELMORA_BUILD_DIR (set by ctest). Every test gets a fresh working folder inside
the prefix holding the shutdown.exe stand-in, and everything a test starts is killed after it.
"""

import datetime
import os
import shutil
import signal
import subprocess
import time
import unittest
import uuid
from collections import Counter, namedtuple

import layout

# Windows programs a test may leave behind, by image name. Wine's own services (explorer.exe,
# services.exe, ...) inherit the environment of whichever process booted them, so they carry a
# test's tag as well; they serve the whole shared prefix and must survive.
_KILLABLE = {
    "velmora.exe", "backdrop.exe", "shutdown.exe", "recorder.exe", "iexplore.exe", "cmd.exe",
    "conhost.exe", "start.exe", "minimal_window.exe", "mandated_window.exe", "winedbg.exe",
}


def _require_env(name):
    value = os.environ.get(name)
    if not value:
        raise RuntimeError(f"{name} is not set: run the end-to-end tests inside tools/wine-session.sh")
    return value


def build_dir():
    return os.path.abspath(_require_env("VELMORA_BUILD_DIR"))


def prefix():
    return _require_env("WINEPREFIX")


BROWSER = "C:\\Program Files\\Internet Explorer\\iexplore.exe"

# ---------------------------------------------------------------------------------------------
# Paths: C:\ is $WINEPREFIX/drive_c; other drives follow the prefix's dosdevices links (Z: is /).

def unix_path(windows_path):
    drive, rest = windows_path[:2].lower(), windows_path[2:].lstrip("\\")
    root = os.path.realpath(os.path.join(prefix(), "dosdevices", drive))
    return os.path.join(root, *[part for part in rest.split("\\") if part])


def windows_path(path):
    path = os.path.realpath(path)
    drive_c = os.path.realpath(os.path.join(prefix(), "drive_c"))
    if path == drive_c or path.startswith(drive_c + os.sep):
        return "C:\\" + os.path.relpath(path, drive_c).replace("/", "\\").lstrip(".")
    return "Z:" + path.replace("/", "\\")


# ---------------------------------------------------------------------------------------------
# Screen

class Image:
    """An RGB screenshot; pixel(x, y) gives (r, g, b)."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, blob):
        # Binary PPM: "P6", width, height, maxval, each followed by one blank, then the pixels.
        fields, pos = [], 0
        while len(fields) < 4:
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos)
                continue
            end = pos
            while not blob[end:end + 1].isspace():
                end += 1
            fields.append(blob[pos:end])
            pos = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError(f"not an 8-bit binary PPM: {fields}")
        width, height = int(fields[1]), int(fields[2])
        data = blob[pos + 1:pos + 1 + 3 * width * height]
        if len(data) != 3 * width * height:
            raise ValueError("truncated PPM")
        return cls(width, height, data)

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])

    def colours(self, rect):
        """How often each colour occurs inside rect (a layout.Rect in screen pixels)."""
        counts = Counter()
        for y in range(max(rect.y, 0), min(rect.bottom, self.height)):
            row = self.data[3 * (y * self.width + rect.x):3 * (y * self.width + rect.right)]
            counts.update(zip(row[0::3], row[1::3], row[2::3]))
        return counts

    def count(self, rect, colour):
        return self.colours(rect)[tuple(colour)]

    def crop_bytes(self, rect):
        return b"".join(self.data[3 * (y * self.width + rect.x):3 * (y * self.width + rect.right)]
                        for y in range(rect.y, rect.bottom))

    def save_ppm(self, path):
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.data)


def screenshot():
    blob = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"],
                          check=True, capture_output=True, timeout=30).stdout
    return Image.from_ppm(blob)


# ---------------------------------------------------------------------------------------------
# Pointer and keyboard

def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], check=True, capture_output=True,
                          text=True, timeout=30).stdout


def move(x, y):
    xdotool("mousemove", "--sync", x, y)


def click(x, y, button=1):
    move(x, y)
    xdotool("click", button)


def key(*keys):
    xdotool("key", "--clearmodifiers", *keys)


def type_text(text):
    xdotool("type", "--delay", 30, text)


def type_into(x, y, text):
    """Click into the field at (x, y), select what it holds and type over it. (Wine's edit
    controls ignore Ctrl+A, so the selection is made with End, Shift+Home.)"""
    click(x, y)
    key("End", "shift+Home")
    type_text(text)


# ---------------------------------------------------------------------------------------------
# Logs written by the stand-ins: "<yyyy-mm-dd hh:mm:ss.mmm>\t<field>\t<field>..."

LogLine = namedtuple("LogLine", "time fields")
Started = namedtuple("Started", "time module command_line")  # one start of shutdown/recorder


def read_log(path):
    if not os.path.exists(path):
        return []
    lines = []
    with open(path, encoding="utf-8", newline="") as log:
        for raw in log.read().split("\r\n"):
            if raw:
                stamp, *fields = raw.split("\t")
                lines.append(LogLine(datetime.datetime.strptime(stamp, "%Y-%m-%d %H:%M:%S.%f"),
                                     fields))
    return lines


def wait_for(condition, timeout, interval=0.1, what="condition"):
    """Polls condition() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


# ---------------------------------------------------------------------------------------------
# Processes

def _read_proc(pid, name):
    try:
        with open(f"/proc/{pid}/{name}", "rb") as f:
            return f.read()
    except OSError:
        return b""


def _image_name(pid):
    first = _read_proc(pid, "cmdline").split(b"\0")[0].decode("utf-8", "replace")
    return first.replace("\\", "/").rsplit("/", 1)[-1].lower()


def _environment(pid):
    pairs = _read_proc(pid, "environ").split(b"\0")
    return dict(p.decode("utf-8", "replace").split("=", 1) for p in pairs if b"=" in p)


def wine_processes(**env_match):
    """(pid, image name) of the live processes whose environment holds all of env_match."""
    found = []
    for entry in os.listdir("/proc"):
        if entry.isdigit() and entry != str(os.getpid()):
            env = _environment(entry)
            if env and all(env.get(k) == v for k, v in env_match.items()):
                state = _read_proc(entry, "stat").rsplit(b")", 1)[-1].split()[:1]
                if state and state[0] != b"Z":
                    found.append((int(entry), _image_name(entry)))
    return found


def kill_wine_processes(images, **env_match):
    """SIGKILLs the matching processes with one of the image names; returns what it killed.
    Killing by process rather than `wineserver -k` leaves the prefix shared by the run alive."""
    victims = [(pid, image) for pid, image in wine_processes(**env_match) if image in images]
    for pid, _ in victims:
        try:
            os.kill(pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
    pids = {pid for pid, _ in victims}
    wait_for(lambda: not any(pid in pids for pid, _ in wine_processes(**env_match)), 10,
             what="killed processes to go")
    return victims


def visible_windows(pid):
    """X window ids of the visible top-level windows of a Wine process (_NET_WM_PID is its pid)."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)],
                         capture_output=True, text=True, timeout=30).stdout
    return [int(w) for w in out.split()]


def window_name(window):
    return xdotool("getwindowname", window).rstrip("\n")


def window_geometry(window):
    """layout.Rect of an X window in screen pixels."""
    values = {}
    for line in xdotool("getwindowgeometry", "--shell", window).splitlines():
        name, _, value = line.partition("=")
        values[name] = int(value)
    return layout.Rect(values["X"], values["Y"], values["WIDTH"], values["HEIGHT"])


class Program:
    """One Windows program started with `wine`, with its output kept in the working folder."""

    def __init__(self, argv, cwd, env, output):
        self.argv = argv
        self.output = output
        with open(output, "wb") as out:
            self.process = subprocess.Popen(["wine", *argv], cwd=cwd, env=env, stdout=out,
                                            stderr=subprocess.STDOUT, start_new_session=True)
        # /usr/bin/wine execs the loader, so this pid is the Windows process itself.
        self.pid = self.process.pid

    def running(self):
        return self.process.poll() is None

    def output_text(self):
        with open(self.output, "rb") as out:
            return out.read().decode("utf-8", "replace")[-2000:]


class Velmora:
    """The timer's window once it is up: its process and where it lies on the screen."""

    def __init__(self, program, window, geometry):
        self.program, self.window, self.geometry = program, window, geometry

    def screen(self, x, y):
        """Screen point of a window point."""
        return self.geometry.x + x, self.geometry.y + y

    def screen_rect(self, rect):
        return rect.moved(self.geometry.x, self.geometry.y)

    def centre_of(self, control):
        return self.screen(*layout.rect(control).centre)


class Rig:
    """Per-test fixture: a fresh working folder in the prefix and the programs started from it."""

    def __init__(self, name):
        self.build = build_dir()
        self.tag = uuid.uuid4().hex
        root = os.path.join(prefix(), "drive_c", "velmora-e2e")
        os.makedirs(root, exist_ok=True)
        self.folder = os.path.join(root, f"{name}-{self.tag[:8]}")
        os.makedirs(self.folder)
        shutil.copy(self.exe("shutdown.exe"), self.folder)
        self.standin_log = os.path.join(self.folder, "standin.log")
        self.backdrop_log = os.path.join(self.folder, "backdrop.log")
        self.env = dict(os.environ)
        self.env.update({
            "VELMORA_E2E_TAG": self.tag,
            "VELMORA_STANDIN_LOG": windows_path(self.standin_log),
            "VELMORA_BACKDROP_LOG": windows_path(self.backdrop_log),
        })
        self.programs = []
        self.last_screenshot = None
        self._prepare_prefix()

    def _prepare_prefix(self):
        """Once per prefix: a crash ends the program with a backtrace in its output, instead of
        Wine's crash dialog keeping it alive (and covering the screen) until the test times out."""
        marker = os.path.join(prefix(), "velmora-e2e-prepared")
        if os.path.exists(marker):
            return
        self.run_command("reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog",
                         "/t", "REG_DWORD", "/d", "0", "/f")
        open(marker, "w").close()

    def exe(self, name):
        path = os.path.join(self.build, name)
        if not os.path.exists(path):
            raise AssertionError(f"{path} is missing: build the win32 tree first")
        return path

    def start(self, name, *args):
        """Starts a program of the build folder, with the working folder as current folder."""
        return self.start_command(self.exe(name), *args)

    def start_command(self, *argv):
        """Starts `wine argv...` from the working folder with the test's environment."""
        name = os.path.basename(argv[0].replace("\\", "/"))
        program = Program(list(argv), self.folder, self.env,
                          os.path.join(self.folder, f"{name}.{len(self.programs)}.out"))
        self.programs.append(program)
        return program

    def run_command(self, *argv, timeout=60):
        """Runs `wine argv...` like start_command and waits for it to end; returns its exit code."""
        program = self.start_command(*argv)
        try:
            return program.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{argv} did not end within {timeout} s") from None

    def install_browser_standin(self):
        """Puts recorder.exe in place of the prefix's web browser and checks that Wine then runs
        it: Wine ships a builtin iexplore.exe, which must not win over the file on disk."""
        target = unix_path(BROWSER)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy(self.exe("recorder.exe"), target)
        probe = "probe-" + uuid.uuid4().hex[:8]
        before = len(self.started())
        self.run_command(BROWSER, probe)
        runs = self.started()[before:]
        if not any(r.module.lower() == BROWSER.lower() and probe in r.command_line for r in runs):
            raise AssertionError(f"{BROWSER} did not run the recorder: {runs}")

    def screenshot(self):
        self.last_screenshot = screenshot()
        return self.last_screenshot

    def start_backdrop(self):
        program = self.start("backdrop.exe")
        wait_for(lambda: any(line.fields == ["painted"] for line in read_log(self.backdrop_log)),
                 30, what="backdrop.exe to paint")

        # The log line is written after EndPaint; the X server shows it a moment later.
        def shows_pattern():
            shot = self.screenshot()
            probes = [(shot.width - 5, shot.height - 5), (shot.width - 13, shot.height - 5)]
            return all(shot.pixel(x, y) == layout.backdrop_colour(x, y) for x, y in probes)

        wait_for(shows_pattern, 10, what="the backdrop pattern on the screen")
        return program

    def backdrop_clicks(self):
        """(button, x, y) of every press the backdrop saw, in order."""
        return [(f[1], int(f[2]), int(f[3])) for f in
                (line.fields for line in read_log(self.backdrop_log)) if f[0] == "click"]

    def started(self):
        """Every start that shutdown.exe or recorder.exe logged, in order."""
        return [Started(line.time, *line.fields) for line in read_log(self.standin_log)]

    def start_velmora(self, timeout=60):
        """Starts velmora.exe from the working folder and waits until its window is mapped and
        painted: pink shows inside it and two screenshots in a row agree on it."""
        program = self.start("velmora.exe")

        def alive():
            if not program.running():
                raise AssertionError(f"velmora.exe ended early:\n{program.output_text()}")

        def mapped():
            alive()
            windows = visible_windows(program.pid)
            # The main window rather than any other the process may show (a message box, say).
            titled = [w for w in windows if window_name(w).startswith("Velmora")]
            return (titled or windows)[:1]

        window = wait_for(mapped, timeout, interval=0.2, what="the velmora window")[0]
        previous = None

        def painted():
            nonlocal previous
            alive()
            geometry = window_geometry(window)
            shot = self.screenshot()
            area = geometry.inset(0)
            current = (geometry, shot.crop_bytes(area))
            settled = shot.count(area, layout.PINK) > 1000 and current == previous
            previous = current
            return geometry if settled else None

        geometry = wait_for(painted, 30, interval=0.2, what="the velmora window to paint")
        return Velmora(program, window, geometry)

    def stop(self):
        """Kills every program of this test, and any velmora.exe left in the prefix."""
        kill_wine_processes(_KILLABLE, VELMORA_E2E_TAG=self.tag)
        for program in self.programs:
            program.process.wait(timeout=10)
        strays = kill_wine_processes({"velmora.exe"}, WINEPREFIX=prefix())
        if strays:
            raise AssertionError(f"velmora.exe processes survived the test: {strays}")

    def keep_screenshot(self, test_id):
        """Leaves the last screenshot in <build>/e2e-screens for a look after a failure."""
        if self.last_screenshot is not None:
            folder = os.path.join(self.build, "e2e-screens")
            os.makedirs(folder, exist_ok=True)
            self.last_screenshot.save_ppm(os.path.join(folder, test_id + ".ppm"))


class E2ETestCase(unittest.TestCase):
    """Gives each test self.rig and cleans up after it, whatever happens."""

    def setUp(self):
        self.rig = Rig(self.id().rsplit(".", 1)[-1])
        self.addCleanup(self.rig.stop)
        self.addCleanup(lambda: self.rig.keep_screenshot(self.id()))
