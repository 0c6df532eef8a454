"""Editing the target while the countdown runs: a field's new text takes effect once the edit is
finished (confirmed, or standing 2 s and not due), so half-typed texts fire nothing."""

import datetime
import os
import shutil
import time

import pytest

import rig

SETTLE = 2.5  # longer than the 2 s after which a text that is not due takes effect


@pytest.fixture(scope="module")
def target(velmora):
    """关机 ten minutes ahead, counting, with the full panel open again (★, 设置)."""
    target = velmora.arm("Option4", lead=600)
    velmora.click("LabelGN(1)")
    velmora.view(rig.WIDE)
    velmora.click("LabelGN(2)")
    velmora.view(rig.FULL)
    return target


def type_slowly(screen, velmora, field, parts, confirm=False):
    velmora.type_into(field, "")
    for part in parts:
        screen.type(part, gap=0.1)
        time.sleep(SETTLE)
    if confirm:
        screen.key("Tab")


def test_an_hour_passing_through_0_fires_nothing(screen, group, velmora, target):
    type_slowly(screen, velmora, rig.FIELDS[3], ["0"])
    screen.key("BackSpace")
    type_slowly(screen, velmora, rig.FIELDS[3], [f"{target.hour:02d}"], confirm=True)
    assert group.runs() == []


def test_a_year_typed_key_by_key_fires_nothing(screen, group, velmora, target):
    year = str(target.year + 1)
    type_slowly(screen, velmora, rig.FIELDS[0], year, confirm=True)
    time.sleep(1.5)
    assert group.runs() == []


def test_a_year_of_1971_confirmed_fires_at_once(screen, group, velmora, target):
    velmora.type_into(rig.FIELDS[0], "1971")
    screen.key("Tab")
    confirmed = datetime.datetime.now()
    (run,) = rig.wait_for(group.runs, 10, "firing")
    assert run[2].split(None, 1)[1] == "-s -t 0"
    assert [t for t in group.commands() if t > confirmed][0] < confirmed + datetime.timedelta(
        seconds=1.2)


def test_a_path_typed_slowly_starts_only_once_confirmed(screen, group, velmora, target):
    program = group.win + "\\app.exe"
    shutil.copy(os.path.join(rig.BUILD, "recorder.exe"), rig.unix_path(program))
    velmora.click("LabelGN(3)")  # pause: the 1971 target stays due
    velmora.click("Option3", dx=6)
    velmora.type_into("Text5", "")
    screen.key("Delete")
    velmora.click("LabelGN(3)")  # start: 运行 is due with no path, which starts nothing
    velmora.view(rig.COMPACT)
    for label, view in (("LabelGN(1)", rig.WIDE), ("LabelGN(2)", rig.FULL)):
        velmora.click(label)
        velmora.view(view)
    head, tail = program.split("\\", 1)
    type_slowly(screen, velmora, "Text5", [head + "\\", tail])
    assert len(group.runs()) == 1
    screen.key("Tab")
    rig.wait_for(lambda: group.runs()[1:], 5, "the program")
    time.sleep(2)
    assert [r[1] for r in group.runs()[1:]] == [program]
