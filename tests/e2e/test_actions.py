"""The five actions on one run, each in its target second (运行 with a program picked with 浏览, named
without its extension and with arguments typed after it; and a script), a target that is no time,
and 启动, 暂停, ★ and 设置 (the README command's check clicks 退出)."""

import datetime
import os
import re
import shutil
import subprocess
import time

import pytest
from Xlib import X
from Xlib.ext import xtest

import rig

QORN = rig.unix_path("C:\\QORN")
SECOND = datetime.timedelta(seconds=1)
PROGRAM = "C:\\工具 箱\\程序 一.exe"


@pytest.fixture(scope="module")
def velmora(group):
    # Wine's code page follows the locale: under C.UTF-8 only the wide dialog keeps Chinese names.
    group.env["LC_ALL"] = "C.UTF-8"
    # Wine's relay trace of the one call that keeps the system awake, on the program's output.
    subprocess.run([rig.WINE, "reg", "add", "HKCU\\Software\\Wine\\Debug", "/v", "RelayInclude",
                    "/d", "SetThreadExecutionState", "/f"], capture_output=True, check=True)
    group.env["WINEDEBUG"] = "-all,trace+relay"
    group.output = os.path.join(group.folder, f"out{len(group.programs)}.txt")
    return group.start_velmora()


def awake_calls(group):
    """The flags of every SetThreadExecutionState call so far, in order."""
    with open(group.output, errors="replace") as out:
        return re.findall(r"Call \w+\.SetThreadExecutionState\(([0-9a-f]+)\)", out.read())


HOLD, RELEASE = "80000001", "80000000"  # ES_CONTINUOUS | ES_SYSTEM_REQUIRED, ES_CONTINUOUS


def fired(group, target):
    """(module, command line) of the one start the stand-ins log for the target. Its cmd.exe, made
    at the call, begins in the target second; the stand-in logs some Wine start-ups later."""
    count = len(group.runs())
    wait = (target - datetime.datetime.now()).total_seconds() + 30
    (run,) = rig.wait_for(lambda: group.runs()[count:], wait, "the command's run")
    issued = group.commands(target - 3 * SECOND)
    assert issued and target <= issued[0] < target + SECOND, (issued, target)
    return run[1:]


# The system is kept awake from 启动 until the action fires. During the wait before the capture a
# context menu is opened and left open on Text5 (a held drag, for the restart), yet the capture is
# saved in time; 暂停 then stops the pending shutdown with shutdown -a, once, and nothing more.
@pytest.mark.parametrize("option, arguments", [("Option1", "-s -t 20"), ("Option2", "-r -t 20")])
def test_graceful_action_captures_in_time_whatever_holds_the_window(screen, group, velmora, option,
                                                                    arguments):
    if option == "Option2":
        shutil.rmtree(QORN)  # made again for the capture
    else:
        rig.wait_for(lambda: os.path.isdir(QORN), 30, "C:\\QORN\\ made at the start-up")
    captures = lambda: set(os.listdir(QORN)) if os.path.isdir(QORN) else set()
    known, count = captures(), len(group.runs())
    target = velmora.arm(option, lead=5)
    assert awake_calls(group)[-1] == HOLD
    velmora.press(1, rig.WIDE)  # ★, then 设置 while counting: Text5 within reach
    velmora.press(2, rig.FULL)
    rig.wait_for(lambda: group.commands(target - 3 * SECOND), 30, "the command")
    grip = velmora.at("Text5") if option == "Option1" else velmora.at((60, 200, 1, 1))
    screen.move(*grip)
    held = 3 if option == "Option1" else 1
    xtest.fake_input(screen.display, X.ButtonPress, held)
    if option == "Option1":
        xtest.fake_input(screen.display, X.ButtonRelease, 3)  # the menu stays open
    else:
        screen.move(grip[0] + 20, grip[1] + 10)  # dragging, the button still down
    screen.display.sync()
    # One new file, named by its time after the 5 s wait and in time for the 20 s grace (its
    # header and content are checked in-process), and no temporary one left beside it.
    (name,) = rig.wait_for(lambda: {n for n in captures() - known if n.endswith(".BMP")}, 30,
                           "capture file")
    shown = lambda: [w for w in screen.windows(velmora.program.pid) if w != velmora.window]
    if option == "Option1":
        (menu,) = shown()  # still open
        x, y, w, h = screen.geometry(menu)
        screen.move(x + w // 2, y + h // 2)  # keys go to the window under the pointer
        screen.key("Escape")
        rig.wait_for(lambda: not shown(), 15, "the menu to close")
    else:
        xtest.fake_input(screen.display, X.ButtonRelease, 1)
        screen.display.sync()
    assert captures() - known == {name}
    named = datetime.datetime.strptime(name, "%Y%m%d%H%M%S.BMP")
    written = datetime.datetime.fromtimestamp(os.path.getmtime(os.path.join(QORN, name)))
    assert target + 5 * SECOND <= named <= min(written, target + 9 * SECOND), (name, target)
    assert awake_calls(group)[-1] == RELEASE
    velmora.click("LabelGN(3)")  # 暂停, within the shutdown's 20 s
    rig.wait_for(lambda: len(group.runs()[count:]) > 1, 20, "shutdown -a")
    time.sleep(2)
    assert [run[2] for run in group.runs()[count:]] == ["shutdown " + arguments, "shutdown -a"]
    assert awake_calls(group)[-1] == RELEASE


def test_immediate_actions_and_a_picked_program_fire_in_their_second(screen, group, velmora):
    for option, arguments in (("Option4", "-s -t 0"), ("Option5", "-r -t 0")):
        if option == "Option5":
            velmora.pause()
        assert fired(group, velmora.arm(option))[1] == "shutdown " + arguments
    rig.install("recorder.exe", PROGRAM)
    velmora.pause()
    velmora.click("Command1")
    (dialog,) = rig.wait_for(lambda: screen.windows(name="请选择文件"), 30, "open-file dialog")
    x, y, w, h = screen.geometry(dialog)
    screen.move(x + w // 2, y + 10)  # with no window manager, keys go to the window pointed at
    screen.type(PROGRAM)
    screen.key("Return")
    rig.wait_for(lambda: not screen.windows(name="请选择文件"), 30, "the dialog to close")
    velmora.click("Text5")
    screen.key("End")
    for _ in ".exe":  # the name as Explorer shows it
        screen.key("BackSpace")
    screen.type(' "a b" 50%OS%&x')  # cmd must read no variable and no second command in them
    assert fired(group, velmora.arm("Option3"))[0] == PROGRAM
    # The arguments as typed, and the program's own folder as its current one.
    assert rig.read_log(group.log)[-1][3:] == ("a b", "50%OS%&x", "C:\\工具 箱")


def test_a_script_runs_once_with_its_arguments_read_by_no_cmd(group, velmora):
    jobs = rig.unix_path("C:\\jobs")
    os.makedirs(jobs, exist_ok=True)
    with open(os.path.join(jobs, "job.cmd"), "w", newline="\r\n") as script:
        script.write('@set "velmora_args=%*"\n@set velmora_args>>C:\\jobs\\args.txt\n'
                     "@cd>>C:\\jobs\\args.txt\n")
    velmora.pause()
    velmora.type_into("Text5", "C:\\jobs\\job a&echo x> C:\\jobs\\inj.txt")
    velmora.arm("Option3")
    args = os.path.join(jobs, "args.txt")
    rig.wait_for(lambda: os.path.exists(args) and open(args).read().count("\n") == 2, 30,
                 "the script's run")
    time.sleep(1)  # time for a second command, or a second run, to show
    assert open(args).read().splitlines() == ["velmora_args=a&echo x> C:\\jobs\\inj.txt",
                                              "C:\\jobs"]
    assert not os.path.exists(os.path.join(jobs, "inj.txt"))


def test_no_time_fires_nothing_and_the_views_switch_while_counting(screen, group, velmora):
    velmora.pause()
    count, begun = len(group.runs()), datetime.datetime.now()
    target = velmora.arm("Option4", year="2O26")  # a letter O: no number
    for label, view in ((1, rig.WIDE), (1, rig.COMPACT), (1, rig.WIDE), (2, rig.FULL),
                        (2, rig.WIDE), (2, rig.FULL)):
        velmora.press(label, view)
    time.sleep(max(0.0, (target - datetime.datetime.now()).total_seconds() + 2))
    assert group.commands(begun) == []
    velmora.type_into(rig.FIELDS[0], str(target.year))
    screen.key("Tab")  # a confirmed edit takes effect at the next tick
    runs = rig.wait_for(lambda: group.runs()[count:], 30, "firing of the corrected target")
    assert [r[2] for r in runs] == ["shutdown -s -t 0"]
