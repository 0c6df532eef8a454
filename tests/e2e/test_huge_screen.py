"""A screen too large for the capture's buffer in a 32-bit process (13000 x 13000 pixels, in an Xvfb
of its own, with a copy of the prefix so that a wineserver of its own takes its size): the graceful
shutdown is issued exactly once all the same, and no file is left."""

import datetime
import glob
import os
import shutil
import subprocess
import time

import pytest

import rig


def large_screen(errors):
    """(Xvfb, its Screen). The server writes its display number once it takes connections; one
    that ends without (another Xvfb may have taken the number it tried) is started again."""
    for _ in range(5):
        read_end, write_end = os.pipe()
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                 "13000x13000x24", "-nolisten", "tcp"], pass_fds=[write_end],
                                stderr=errors)
        os.close(write_end)
        with os.fdopen(read_end) as number:
            display = ":" + number.read(16).strip()
        if display != ":":
            return xvfb, rig.Screen(display)
        xvfb.wait()
    raise AssertionError("no large Xvfb: " + open(errors.name).read()[-2000:])


@pytest.fixture(scope="module")
def group():
    prefix = os.environ["WINEPREFIX"] + "-huge"  # beside the session's, and gone with it
    subprocess.run(["cp", "-al", os.environ["WINEPREFIX"], prefix], check=True)
    for registry in glob.glob(prefix + "/*.reg"):  # the one thing Wine rewrites: not shared
        shutil.copy(registry, registry + ".new")
        os.replace(registry + ".new", registry)
    with open(prefix + "-xvfb.txt", "w") as errors:
        xvfb, screen = large_screen(errors)
    group = rig.Rig("huge_screen", screen)
    group.env.update(DISPLAY=screen.display.get_display_name(), WINEPREFIX=prefix)
    yield group
    group.stop()
    subprocess.run(["wineserver", "-k"], env=group.env)
    xvfb.kill()
    xvfb.wait()
    assert group.fakes_run() == []
    shutil.rmtree(prefix)


def test_a_failed_capture_issues_the_shutdown_once(group, velmora):
    files = lambda: set(glob.glob(os.path.join(group.env["WINEPREFIX"], "drive_c", "QORN", "*")))
    known = files()
    target = velmora.arm()  # 关机+截屏, the option the window starts with
    time.sleep((target - datetime.datetime.now()).total_seconds() + 20)
    rig.wait_for(group.runs, 30, "the command")
    assert [r[2] for r in group.runs()] == ["shutdown -s -t 20"]
    assert len(group.commands(target - datetime.timedelta(seconds=3))) == 1
    assert files() == known and velmora.program.poll() is None
