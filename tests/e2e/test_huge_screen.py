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
def group(backdrop, tmp_path_factory):
    prefix = str(tmp_path_factory.mktemp("huge") / "prefix")
    subprocess.run(["cp", "-al", os.environ["WINEPREFIX"], prefix], check=True)
    for registry in glob.glob(prefix + "/*.reg"):  # the one thing Wine rewrites: not shared
        shutil.copy(registry, registry + ".new")
        os.replace(registry + ".new", registry)
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                             "13000x13000x24", "-nolisten", "tcp"], pass_fds=[write_end],
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    display = ":" + os.read(read_end, 16).decode().strip()
    os.close(read_end)
    group = rig.Rig("huge_screen", rig.wait_for(lambda: connect(display), 20, "the large Xvfb"))
    group.env.update(DISPLAY=display, WINEPREFIX=prefix)
    yield group
    group.stop()
    subprocess.run(["wineserver", "-k"], env=group.env)
    xvfb.kill()
    xvfb.wait()
    assert group.fakes_run() == []


def test_a_failed_capture_issues_the_shutdown_once(group, velmora):
    qorn = os.path.join(group.env["WINEPREFIX"], "drive_c", "QORN")
    known = set(os.listdir(qorn))
    target = velmora.arm()  # 关机+截屏, the option the window starts with
    time.sleep((target - datetime.datetime.now()).total_seconds() + 20)
    assert [r[2] for r in group.runs()] == ["shutdown -s -t 20"]
    assert set(os.listdir(qorn)) == known
    assert velmora.program.poll() is None
