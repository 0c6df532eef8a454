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


def connect(display):
    try:  # the server may still be allocating its 676 MB screen
        return rig.Screen(display)
    except Exception:
        return None


@pytest.fixture(scope="module")
def group(tmp_path_factory):
    prefix = str(tmp_path_factory.mktemp("huge") / "prefix")
    subprocess.run(["cp", "-al", os.environ["WINEPREFIX"], prefix], check=True)
    for registry in glob.glob(prefix + "/*.reg"):  # the one thing Wine rewrites: not shared
        shutil.copy(registry, registry + ".new")
        os.replace(registry + ".new", registry)
    for _ in range(5):  # one that ends at once may have raced another for its number
        read_end, write_end = os.pipe()
        with open(prefix + ".xvfb.txt", "a") as errors:
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                                     "13000x13000x24", "-nolisten", "tcp"], pass_fds=[write_end],
                                    stderr=errors)
        os.close(write_end)
        display = ":" + os.read(read_end, 16).decode().strip()
        os.close(read_end)
        if display != ":":
            break
        xvfb.wait()
    assert display != ":", open(prefix + ".xvfb.txt").read()[-2000:]
    group = rig.Rig("huge_screen", rig.wait_for(lambda: connect(display), 120, "large Xvfb"))
    group.env.update(DISPLAY=display, WINEPREFIX=prefix)
    yield group
    group.stop()
    subprocess.run(["wineserver", "-k"], env=group.env)
    xvfb.kill()
    xvfb.wait()
    assert group.fakes_run() == []


def test_a_failed_capture_issues_the_shutdown_once(group, velmora):
    files = lambda: set(glob.glob(os.path.join(group.env["WINEPREFIX"], "drive_c", "QORN", "*")))
    known = files()
    target = velmora.arm()  # 关机+截屏, the option the window starts with
    time.sleep((target - datetime.datetime.now()).total_seconds() + 20)
    rig.wait_for(group.runs, 30, "the command")
    assert [r[2] for r in group.runs()] == ["shutdown -s -t 20"]
    assert len(group.commands(target - datetime.timedelta(seconds=3))) == 1
    assert files() == known and velmora.program.poll() is None
