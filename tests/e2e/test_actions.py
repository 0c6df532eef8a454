"""The five actions on one run, each in its target second (运行 with a program picked with 浏览, named
without its extension and with arguments typed after it; and a script), a target that is no time,
and 启动, 暂停, ★ and 设置 (the README command's check clicks 退出)."""

import datetime
import os
import shutil
import time

import pytest

import rig

QORN = rig.unix_path("C:\\QORN")
SECOND = datetime.timedelta(seconds=1)
PROGRAM = "C:\\工具 箱\\程序 一.exe"


@pytest.fixture(scope="module")
def velmora(group):
    # Wine's code page follows the locale: under C.UTF-8 only the wide dialog keeps Chinese names.
    group.env["LC_ALL"] = "C.UTF-8"
    return group.start_velmora()


def fired(group, target):
    """(module, command line) of the one start the stand-ins log for the target. Its cmd.exe, made
    at the call, begins in the target second; the stand-in logs some Wine start-ups later."""
    count = len(group.runs())
    wait = (target - datetime.datetime.now()).total_seconds() + 30
    (run,) = rig.wait_for(lambda: group.runs()[count:], wait, "the command's run")
    issued = group.commands(target - 3 * SECOND)
    assert issued and target <= issued[0] < target + SECOND, (issued, target)
    return run[1:]


@pytest.mark.parametrize("option, arguments", [("Option1", "-s -t 20"), ("Option2", "-r -t 20")])
def test_graceful_action_fires_and_captures_the_screen(group, velmora, option, arguments):
    if option == "Option2":
        velmora.pause()
        shutil.rmtree(QORN)  # made again for the capture
    else:
        rig.wait_for(lambda: os.path.isdir(QORN), 30, "C:\\QORN\\ made at the start-up")
    captures = lambda: set(os.listdir(QORN)) if os.path.isdir(QORN) else set()
    known = captures()
    target = velmora.arm(option)
    assert fired(group, target)[1] == "shutdown " + arguments
    # One new file, named by its time after the 5 s grace (its header and content are checked
    # in-process, against a window shown on the screen), and no temporary one left beside it.
    (name,) = rig.wait_for(lambda: {n for n in captures() - known if n.endswith(".BMP")}, 30,
                           "capture file")
    assert captures() - known == {name}
    named = datetime.datetime.strptime(name, "%Y%m%d%H%M%S.BMP")
    written = datetime.datetime.fromtimestamp(os.path.getmtime(os.path.join(QORN, name)))
    assert target + 5 * SECOND <= named <= written, (name, written)


def test_immediate_actions_and_a_picked_program_fire_in_their_second(screen, group, velmora):
    for option, arguments in (("Option4", "-s -t 0"), ("Option5", "-r -t 0")):
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
