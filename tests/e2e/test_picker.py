"""The program picker on the real program: 浏览 opens the open-file dialog in the program's folder,
and the file chosen there, also one with a Chinese path under a non-Chinese code page, is the one
that 运行 starts."""

import os
import shutil

import pytest

import rig

CHINESE = "C:\\工具\\程序.exe"


@pytest.fixture(scope="module")
def velmora(group):
    # Wine takes its code page from the locale: under this one, Chinese names survive only
    # through the wide dialog.
    group.env["LC_ALL"] = "C.UTF-8"
    return group.start_velmora()


def pick(screen, velmora, typed):
    velmora.click("Command1")
    (dialog,) = rig.wait_for(lambda: screen.windows(name="请选择文件"), 20, "open-file dialog")
    x, y, w, h = screen.geometry(dialog)
    screen.move(x + w // 2, y + 10)  # with no window manager, keys go to the window pointed at
    screen.type(typed)
    screen.key("Return")
    rig.wait_for(lambda: not screen.windows(name="请选择文件"), 15, "the dialog to close")


@pytest.mark.parametrize("typed, started", [("recorder.exe", None), (CHINESE, CHINESE)])
def test_the_chosen_file_is_started(screen, group, velmora, typed, started):
    # recorder.exe lies beside velmora.exe, not in its current folder: the dialog opens in the
    # program's folder.
    started = started or group.win + "\\bin\\recorder.exe"
    if typed == CHINESE:
        os.makedirs(rig.unix_path("C:\\工具"), exist_ok=True)
        shutil.copy(os.path.join(rig.BUILD, "recorder.exe"), rig.unix_path(CHINESE))
        velmora.pause()
    count = len(group.runs())
    pick(screen, velmora, typed)
    velmora.arm("Option3")
    run = rig.wait_for(lambda: group.runs()[count:], 20, "the chosen program")
    assert [r[1] for r in run] == [started]
