"""The five actions on one run of the program, each armed through the window a few seconds ahead:
the command each issues in its target second (the graceful two with their screen capture), a target
that is no time, and the label-buttons between them: 启动, 暂停, ★, 设置 and 退出."""

import datetime
import os
import shutil
import struct
import time

import pytest

import rig

QORN = rig.unix_path("C:\\QORN")


def captures():
    return set(os.listdir(QORN)) if os.path.isdir(QORN) else set()


def fired(group, count, target):
    """The count-th start the stand-ins logged, once it comes: (module, its arguments). The
    program's command (its cmd.exe) began in the target second: the stand-in, some cmd.exe
    start-ups later, may log it a second or more after."""
    wait = (target - datetime.datetime.now()).total_seconds() + 15
    runs = rig.wait_for(lambda: group.commands() and group.runs()[count - 1:], wait, f"run {count}")
    issued = [t for t in group.commands() if t > target - datetime.timedelta(seconds=1)]
    assert len(runs) == 1 and issued[0].replace(microsecond=0) == target, (runs, issued, target)
    return runs[0][1], runs[0][2].split(None, 1)[1].strip()


def read_bmp(path):
    """(width, height, pixel(x, y)) of a whole, uncompressed 24- or 32-bit BMP file."""
    with open(path, "rb") as f:
        data = f.read()
    size, offset = struct.unpack_from("<I4xI", data, 2)
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    stride = (width * bits // 8 + 3) & ~3
    assert data[:2] == b"BM" and size == len(data) and bits in (24, 32) and compression == 0
    assert offset + stride * abs(height) <= len(data)

    def pixel(x, y):
        i = offset + (height - 1 - y if height > 0 else y) * stride + x * bits // 8
        return data[i + 2], data[i + 1], data[i]

    return width, abs(height), pixel


def check_capture(known, target):
    """The one new file in C:\\QORN\\: named by its time, after the 5 s grace, showing the screen."""
    (name,) = rig.wait_for(lambda: captures() - known, 20, "capture file")
    named = datetime.datetime.strptime(name, "%Y%m%d%H%M%S.BMP")
    written = datetime.datetime.fromtimestamp(os.path.getmtime(os.path.join(QORN, name)))
    assert target + datetime.timedelta(seconds=5) <= named <= written, (name, written)
    width, height, pixel = read_bmp(os.path.join(QORN, name))
    assert (width, height) == (1024, 768)
    wrong = [(x, y) for x in range(400, width, 29) for y in range(0, height, 23)
             if pixel(x, y) != rig.backdrop_colour(x, y)]
    assert wrong == [], "the file does not show the backdrop"
    assert sum(pixel(x, y) == rig.PINK for x in range(136) for y in range(37)) > 1000
    return name


@pytest.mark.parametrize("option, arguments", [("Option1", "-s -t 20"), ("Option2", "-r -t 20")])
def test_graceful_action_fires_and_captures_the_screen(group, velmora, option, arguments):
    if option == "Option2":
        velmora.pause()
        shutil.rmtree(QORN)  # made again for the capture
    known = captures()
    target = velmora.arm(option)
    module, line = fired(group, len(group.runs()) + 1, target)
    assert (module.lower(), line) == (rig.SHUTDOWN.lower(), arguments)
    check_capture(known, target)


def test_immediate_actions_fire_without_capture(group, velmora):
    known = captures()
    for option, arguments in (("Option4", "-s -t 0"), ("Option5", "-r -t 0")):
        velmora.pause()
        target = velmora.arm(option)
        module, line = fired(group, len(group.runs()) + 1, target)
        assert (module.lower(), line) == (rig.SHUTDOWN.lower(), arguments)
    time.sleep(6)  # past a grace wait: no capture, and a stopped timer fires no more
    assert captures() == known and len(group.runs()) == 4


def test_program_starts_in_its_second(group, velmora):
    program = group.win + "\\two words\\app one.exe"
    os.makedirs(rig.unix_path(program).rsplit("/", 1)[0])
    shutil.copy(os.path.join(rig.BUILD, "recorder.exe"), rig.unix_path(program))
    velmora.pause()
    velmora.type_into("Text5", program)
    target = velmora.arm("Option3")
    module, line = fired(group, 5, target)
    assert module.lower() == program.lower()
    time.sleep(2)
    assert len(group.runs()) == 5


def test_no_time_fires_nothing_and_the_views_switch_while_counting(screen, group, velmora):
    velmora.pause()
    target = velmora.arm("Option4", year="2O26")  # a letter O: no number
    for label, view in (("LabelGN(1)", rig.WIDE), ("LabelGN(1)", rig.COMPACT),
                        ("LabelGN(1)", rig.WIDE), ("LabelGN(2)", rig.FULL),
                        ("LabelGN(2)", rig.WIDE), ("LabelGN(2)", rig.FULL)):
        velmora.click(label)
        velmora.view(view)
    time.sleep(max(0.0, (target - datetime.datetime.now()).total_seconds() + 2))
    assert len(group.runs()) == 5
    velmora.type_into(rig.FIELDS[0], str(target.year))
    screen.key("Tab")  # a confirmed edit takes effect at the next tick
    runs = rig.wait_for(lambda: group.runs()[5:], 5, "firing of the corrected target")
    assert [(r[1].lower(), r[2].split(None, 1)[1]) for r in runs] == [(rig.SHUTDOWN.lower(),
                                                                        "-s -t 0")]


def test_exit_ends_the_program(velmora):
    velmora.click("LabelGN(4)")
    velmora.program.wait(10)
