"""Editing the target while counting: a field's new text takes effect once finished (confirmed, or
standing 2 s and later), so half-typed texts fire nothing (a command shows in its cmd.exe)."""

import datetime
import time

import pytest

import rig


@pytest.fixture(scope="module")
def target(velmora):
    """关机 ten minutes ahead, counting, with the full panel open again (★, 设置)."""
    target = velmora.arm("Option4", lead=600)
    velmora.press(1, rig.WIDE)
    velmora.press(2, rig.FULL)
    return target


def type_slowly(screen, velmora, field, parts):
    velmora.type_into(field, "")
    for part in parts:
        screen.type(part, gap=0.1)
        time.sleep(2.5)  # longer than the 2 s after which a later target takes effect


def test_an_hour_through_0_and_a_year_typed_key_by_key_fire_nothing(screen, group, velmora, target):
    begun = datetime.datetime.now()
    type_slowly(screen, velmora, rig.FIELDS[3], ["0"])
    velmora.type_into(rig.FIELDS[3], f"{target.hour:02d}")
    screen.key("Tab")
    type_slowly(screen, velmora, rig.FIELDS[0], str(target.year + 1))
    screen.key("Tab")
    time.sleep(1)
    assert group.commands(begun) == [] and group.runs() == []


def test_a_year_of_1971_confirmed_fires_at_once(screen, group, velmora, target):
    velmora.type_into(rig.FIELDS[0], "1971")
    confirmed = datetime.datetime.now()
    screen.key("Tab")
    (run,) = rig.wait_for(group.runs, 30, "firing")
    assert run[2] == "shutdown -s -t 0"
    # At the next tick, not after the 2 s an unconfirmed text stands (0.5 s more for a busy
    # machine's Tab and tick).
    issued = group.commands(confirmed - datetime.timedelta(seconds=3))
    assert issued and confirmed <= issued[0] < confirmed + datetime.timedelta(seconds=1.5), issued


def test_a_path_typed_slowly_starts_only_once_confirmed(screen, group, velmora, target):
    program = group.win + "\\app.exe"
    rig.install("recorder.exe", program)
    velmora.click("LabelGN(3)")  # pause: the 1971 target stays due
    velmora.click("Option3", dx=6)
    velmora.type_into("Text5", "")
    screen.key("Delete")
    velmora.press(3, rig.COMPACT)  # start: 运行 is due with no path, which starts nothing
    velmora.press(1, rig.WIDE)
    velmora.press(2, rig.FULL)
    head, tail = program.split("\\", 1)
    begun = datetime.datetime.now()
    type_slowly(screen, velmora, "Text5", [head + "\\", tail])
    assert group.commands(begun) == [] and len(group.runs()) == 1
    screen.key("Tab")
    rig.wait_for(lambda: group.runs()[1:], 30, "the program")
    time.sleep(2)
    assert [r[1] for r in group.runs()[1:]] == [program] and len(group.commands(begun)) == 1
