"""The window as it comes up over the backdrop: where it sits, what shows through its see-through
background and what its boxes cover, the clicks that pass through, the link and the three grips."""

import os
import time
from collections import Counter

import pytest

import rig
from rig import PINK, RECT, WHITE

OPAQUE = [RECT[n] for n in ("Shape1", "Shape6", "Shape4(2)", "Shape3", "Frame1", "Frame2")]
BORDERS = {"Shape1": 3, "Shape6": 3, "Shape4(2)": 3, "Shape3": 3, "Shape7": 2, "Shape2": 2}
BORDERS.update({rect: 1 for rect in [(29, 88, 54, 21), (85, 88, 46, 21), (133, 88, 46, 21),
                                     (29, 112, 54, 21), (85, 112, 46, 21), (133, 112, 46, 21)]})
SEE_THROUGH = [(3, 3), (4, 120), (200, 36), (385, 120), (200, 217), (386, 218)]
GRIPS = [(19, 88), (196, 108), (60, 200)]  # Frame1's and Frame2's bare edges, Label5 below them


def inside(rect, x, y, margin=0):
    rx, ry, rw, rh = rect
    return rx - margin <= x < rx + rw + margin and ry - margin <= y < ry + rh + margin


@pytest.fixture(scope="module")
def shot(screen, velmora):
    return screen.shot(0, 0, *rig.FULL)


def colours(shot, rect, inset=0):
    x, y, w, h = rect
    return Counter(shot.pixel(i, j) for i in range(x + inset, x + w - inset)
                   for j in range(y + inset, y + h - inset))


def test_full_panel_at_the_corner_made_the_capture_folder(velmora):
    assert velmora.geometry() == (0, 0, *rig.FULL)
    rig.wait_for(lambda: os.path.isdir(rig.unix_path("C:\\QORN")), 15, "C:\\QORN\\")


def test_background_is_see_through(shot):
    wrong = [(x, y) for x in range(rig.FULL[0]) for y in range(rig.FULL[1])
             if not any(inside(r, x, y, 2) for r in OPAQUE)
             and shot.pixel(x, y) != rig.backdrop_colour(x, y)]
    assert wrong[:10] == [], f"{len(wrong)} points hide the backdrop"


def test_boxes_are_pink_with_white_borders_and_a_magenta_band(shot):
    for rect in OPAQUE:
        assert colours(shot, rect, 4).most_common(1)[0][0] == PINK, rect
        assert not {(0, 160, 0), (0, 0, 160)} & set(colours(shot, rect, 4)), rect
    for name, width in BORDERS.items():
        x, y, w, h = RECT.get(name, name)
        # Each point along each side has white from a pixel outside to the border's width inside.
        sides = [[(i, y + d) for d in range(-1, width)] for i in range(x + 4, x + w - 4)]
        sides += [[(i, y + h - 1 - d) for d in range(-1, width)] for i in range(x + 4, x + w - 4)]
        sides += [[(x + d, j) for d in range(-1, width)] for j in range(y + 4, y + h - 4)]
        sides += [[(x + w - 1 - d, j) for d in range(-1, width)] for j in range(y + 4, y + h - 4)]
        gaps = [band[0] for band in sides if WHITE not in [shot.pixel(*p) for p in band]]
        assert gaps[:5] == [], f"{name}: {len(gaps)} border points without white"
    band = [(x, y) for x, y in [(x, y) for x in range(205, 359) for y in range(128, 169)]
            if not any(inside(RECT[c], x, y, 1) for c in ("Option3", "Text5", "Command1"))]
    assert len(band) > 500 and {shot.pixel(*p) for p in band} == {rig.MAGENTA}


def test_captions_are_drawn(shot):
    for name in ("Label2", "LabelGN(1)", "LabelGN(2)", "LabelGN(3)", "LabelGN(4)", "Label6",
                 "Label8(3)", "Label8(2)", "LabelS", "Label12"):
        x, y, w, h = RECT[name]
        text = [(i, j) for i in range(x + 3, x + w - 3) for j in range(y + 1, y + h - 1)
                if min(shot.pixel(i, j)) >= 192]  # white, or white blended into pink
        assert len(text) >= 10, name


def test_clicks_pass_through_only_where_the_backdrop_shows(screen, backdrop, velmora):
    before = len(rig.read_log(backdrop.log))
    for x, y in SEE_THROUGH[:3]:
        screen.click(x, y)
    screen.click(60, 200)  # the large box's pink
    for x, y in SEE_THROUGH[3:]:
        screen.click(x, y, button=3)
    expected = [("click", "left", str(x), str(y)) for x, y in SEE_THROUGH[:3]]
    expected += [("click", "right", str(x), str(y)) for x, y in SEE_THROUGH[3:]]
    # The backdrop takes its input in order: a click on the box would be logged among these.
    clicks = rig.wait_for(lambda: [tuple(l[1:]) for l in rig.read_log(backdrop.log)[before:]]
                          if len(rig.read_log(backdrop.log)) >= before + 6 else None, 15, "clicks")
    assert clicks == expected


def test_link_starts_the_browser_once_and_changes_nothing(screen, group, velmora):
    before = screen.shot(0, 0, *rig.FULL).data
    velmora.click("Label12")
    (run,) = rig.wait_for(group.runs, 20, "browser start")
    assert run[1].lower() == rig.BROWSER.lower()
    assert run[2] in (f"{rig.BROWSER} velmora.test", f'"{rig.BROWSER}" velmora.test')
    screen.move(1000, 700)
    time.sleep(2)
    assert len(group.runs()) == 1 and screen.shot(0, 0, *rig.FULL).data == before


def test_grips_drag_with_the_left_button_only(screen, backdrop, velmora):
    x, y = velmora.geometry()[:2]
    for (gx, gy), (dx, dy) in zip(GRIPS, [(40, 30), (25, -12), (-17, 45)]):
        screen.drag(x + gx, y + gy, dx, dy)
        x, y = x + dx, y + dy
        rig.wait_for(lambda: velmora.geometry()[:2] == (x, y), 5, f"window at {x, y}")
    for buttons in ((3,), (1, 3)):
        screen.drag(x + GRIPS[2][0], y + GRIPS[2][1], 30, 20, buttons)
    before = len(rig.read_log(backdrop.log))
    screen.drag(x + 200, y + 36, 30, 20)  # see-through: the press goes to the backdrop
    rig.wait_for(lambda: rig.read_log(backdrop.log)[before:], 15, "press on the backdrop")
    time.sleep(0.5)
    assert velmora.geometry()[:2] == (x, y)
    assert velmora.program.poll() is None
