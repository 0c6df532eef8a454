"""Using the timer through its window as a person does, for the action tests and the timing
bench: type a target into the six fields, pick an action, press the command labels, and follow
the window through its views. Also reads back what the actions left behind: the command lines
the stand-ins logged and the capture files in C:\\QORN\\."""

import datetime
import os
import subprocess

import layout
import rig

FULL = (layout.WINDOW.w, layout.WINDOW.h)  # 389 x 221
WIDE = (layout.WINDOW.w, layout.COMPACT.h)  # 389 x 37
COMPACT = (layout.COMPACT.w, layout.COMPACT.h)  # 136 x 37

CAPTURE_FOLDER = "C:\\QORN\\"


def now():
    return datetime.datetime.now()


def next_whole_second(moment, lead):
    """The first whole second at least `lead` seconds after `moment`."""
    later = moment + datetime.timedelta(seconds=lead)
    if later.microsecond:
        later += datetime.timedelta(microseconds=1_000_000 - later.microsecond)
    return later


def seconds_between(earlier, later):
    return (later - earlier).total_seconds()


class TimerWindow:
    """The running velmora.exe of a rig. The window changes size (and under Wine may move when
    minimised and restored), so every click first reads where the window stands."""

    def __init__(self, test_rig, velmora):
        self.rig, self.velmora = test_rig, velmora

    def geometry(self):
        self.velmora.geometry = rig.window_geometry(self.velmora.window)
        return self.velmora.geometry

    def wait_for_view(self, size, timeout=15):
        def shown():
            geometry = self.geometry()
            return geometry if (geometry.w, geometry.h) == size else None

        return rig.wait_for(shown, timeout, interval=0.1, what=f"the window to become {size}")

    def point(self, control):
        self.geometry()
        return self.velmora.centre_of(control)

    def click(self, control):
        rig.click(*self.point(control))

    def select_option(self, option):
        # The round button at the left end of the option: a click on it selects the option
        # whatever the caption's width.
        self.geometry()
        box = layout.rect(option)
        rig.click(*self.velmora.screen(box.x + 6, box.y + box.h // 2))

    def type_path(self, text):
        rig.type_into(*self.point("Text5"), text)

    def set_target(self, moment):
        texts = [str(moment.year)] + [f"{value:02d}" for value in (
            moment.month, moment.day, moment.hour, moment.minute, moment.second)]
        for index, text in enumerate(texts, start=1):
            rig.type_into(*self.point(f"Picture1({index})"), text)

    def arm(self, option=None, lead=5.0, least=3.0):
        """From the full panel: selects `option` (None keeps the selection), types a target `lead`
        seconds ahead, presses "启动" and waits for the compact strip. Retypes the target if the
        typing left less than `least` seconds, so that a slow machine cannot make the target
        pass before the countdown starts. Returns the target (a whole second)."""
        if option is not None:
            self.select_option(option)
        for _ in range(3):
            target = next_whole_second(now(), lead)
            self.set_target(target)
            if seconds_between(now(), target) >= least:
                break
        else:
            raise AssertionError("typing the target takes longer than the countdown it sets")
        self.click("LabelGN(3)")
        pressed = now()
        if seconds_between(pressed, target) < 1:
            raise AssertionError(f"started only {seconds_between(pressed, target):.2f} s before "
                                 f"the target {target}")
        self.wait_for_view(COMPACT)
        return target

    def pause_from_compact(self):
        """Compact strip -> wide strip ("★"), where "暂停" shows -> pause (full panel)."""
        self.wait_for_view(COMPACT)
        self.click("LabelGN(1)")
        self.wait_for_view(WIDE)
        self.click("LabelGN(3)")
        self.wait_for_view(FULL)

    def open_panel_from_compact(self):
        """Compact strip -> wide strip ("★") -> full panel ("设置"), without pausing."""
        self.wait_for_view(COMPACT)
        self.click("LabelGN(1)")
        self.wait_for_view(WIDE)
        self.click("LabelGN(2)")
        self.wait_for_view(FULL)


# ---------------------------------------------------------------------------------------------
# What the actions left behind

def arguments(command_line):
    """A Windows command line without its first token (the program), trimmed."""
    line = command_line.lstrip()
    if line.startswith('"'):
        end = line.find('"', 1)
        rest = line[end + 1:] if end >= 0 else ""
    else:
        parts = line.split(None, 1)
        rest = parts[1] if len(parts) > 1 else ""
    return rest.strip()


def image_name(module):
    return module.replace("/", "\\").rsplit("\\", 1)[-1].lower()


def shutdown_runs(test_rig):
    return [r for r in test_rig.started() if image_name(r.module) == "shutdown.exe"]


def wait_for_runs(find, count, timeout, what):
    """Waits until find() returns at least `count` entries; returns them."""
    return rig.wait_for(lambda: (lambda runs: runs if len(runs) >= count else None)(find()),
                        timeout, interval=0.05, what=what)


def captures():
    """{file name: mtime as local datetime} of the files in C:\\QORN\\."""
    folder = rig.unix_path(CAPTURE_FOLDER)
    if not os.path.isdir(folder):
        return {}
    return {name: datetime.datetime.fromtimestamp(os.path.getmtime(os.path.join(folder, name)))
            for name in os.listdir(folder)}


def capture_time(name):
    """The moment a capture file's name gives (yyyymmddhhmmss.BMP), or None for another name."""
    stem, dot, extension = name.partition(".")
    if dot != "." or extension != "BMP" or len(stem) != 14 or not stem.isdigit():
        return None
    return datetime.datetime.strptime(stem, "%Y%m%d%H%M%S")


def decode_bmp(path):
    """(format, width, height) as ImageMagick's identify reads the file, and its pixels."""
    described = subprocess.run(["identify", "-format", "%m %w %h\n", path], check=True,
                               capture_output=True, text=True, timeout=30).stdout.split()
    pixels = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                            capture_output=True, timeout=30).stdout
    return (described[0], int(described[1]), int(described[2])), rig.Image.from_ppm(pixels)


def floor_second(moment):
    return moment.replace(microsecond=0)
