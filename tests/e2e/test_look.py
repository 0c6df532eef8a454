"""The window as it comes up over the backdrop: where it sits, what shows through its see-through
background and what its boxes cover, the clicks that pass through, the link and the three grips."""

import time
from collections import Counter

import rig
from rig import RECT

OPAQUE = [RECT[n] for n in ("Shape1", "Shape6", "Shape4(2)", "Shape3", "Frame1", "Frame2")]
BORDERS = {RECT[n]: 3 for n in ("Shape1", "Shape6", "Shape4(2)", "Shape3")}
BORDERS.update({RECT["Shape7"]: 2, RECT["Shape2"]: 2})  # then Shape5(1..6), round the fields:
BORDERS.update({(x, y, w, 21): 1 for y in (88, 112) for x, w in ((29, 54), (85, 46), (133, 46))})
SEE_THROUGH = [(3, 3, 1), (4, 120, 1), (200, 36, 1), (385, 120, 3), (200, 217, 3), (386, 218, 3)]
GRIPS = [(19, 88), (196, 108), (60, 200)]  # Frame1's and Frame2's bare edges, Label5 below them


def points(rect, grow=0):
    x, y, w, h = rect
    return [(i, j) for i in range(x - grow, x + w + grow) for j in range(y - grow, y + h + grow)]


def test_full_panel_at_the_corner_with_see_through_boxes_borders_band_captions(screen, velmora):
    assert velmora.geometry() == (0, 0, *rig.FULL)
    pixel = screen.shot(0, 0, *rig.FULL)
    covered = {p for rect in OPAQUE for p in points(rect, 2)}
    hidden = [p for p in points((0, 0, *rig.FULL)) if p not in covered
              and pixel(*p) != rig.backdrop_colour(*p)]
    assert hidden[:10] == [], f"{len(hidden)} points hide the backdrop"
    for rect in OPAQUE:
        inside = Counter(pixel(*p) for p in points(rect, -4))
        assert inside.most_common(1)[0][0] == rig.PINK and not {(0, 160, 0), (0, 0, 160)} & set(
            inside), rect
    for (x, y, w, h), width in BORDERS.items():
        # Each point along each side has white from a pixel outside to the border's width inside.
        deep, across, down = range(-1, width), range(x + 4, x + w - 4), range(y + 4, y + h - 4)
        rows, cols = ((y, 1), (y + h - 1, -1)), ((x, 1), (x + w - 1, -1))  # sides, inwards
        bands = [[(i, e + s * d) for d in deep] for i in across for e, s in rows]
        bands += [[(e + s * d, j) for d in deep] for j in down for e, s in cols]
        gaps = [band[0] for band in bands if rig.WHITE not in [pixel(*p) for p in band]]
        assert gaps[:5] == [], f"{(x, y, w, h)}: {len(gaps)} border points without white"
    controls = {p for c in ("Option3", "Text5", "Command1") for p in points(RECT[c], 1)}
    band = [p for p in points((205, 128, 154, 41)) if p not in controls]
    assert len(band) > 500 and {pixel(*p) for p in band} == {rig.MAGENTA}
    for name in ("Label2", "LabelGN(1)", "LabelGN(2)", "LabelGN(3)", "LabelGN(4)", "Label6",
                 "Label8(3)", "Label8(2)", "LabelS", "Label12"):
        x, y, w, h = RECT[name]  # white, or white blended into pink, away from the borders
        assert sum(min(pixel(*p)) >= 192 for p in points((x + 3, y + 1, w - 6, h - 2))) >= 10, name


def test_clicks_pass_through_only_where_the_backdrop_shows(screen, velmora):
    backdrop = screen.backdrop_clicks
    before = len(backdrop)
    # The root takes the presses in order: one on the large box's pink would be among the others.
    for x, y, button in SEE_THROUGH[:3] + [(60, 200, 1)] + SEE_THROUGH[3:]:
        screen.click(x, y, button)
    rig.wait_for(lambda: len(backdrop) >= before + 6, 30, "clicks")
    assert backdrop[before:] == SEE_THROUGH


def test_link_starts_the_browser_once_and_changes_nothing(screen, group, velmora):
    look = lambda: [screen.shot(0, 0, *rig.FULL)(*p) for p in points((0, 0, *rig.FULL))[::7]]
    before = look()
    velmora.click("Label12")
    (run,) = rig.wait_for(group.runs, 30, "browser start")
    assert run[1].lower() == rig.BROWSER.lower()
    assert run[2] in (f"{rig.BROWSER} velmora.test", f'"{rig.BROWSER}" velmora.test')
    screen.move(1000, 700)
    time.sleep(2)
    assert len(group.runs()) == 1 and look() == before


def test_the_three_grips_drag_the_window(screen, velmora):
    x, y = velmora.geometry()[:2]
    for (gx, gy), (dx, dy) in zip(GRIPS, [(40, 30), (25, -12), (-17, 45)]):
        screen.drag(x + gx, y + gy, dx, dy)
        x, y = x + dx, y + dy
        rig.wait_for(lambda: velmora.geometry()[:2] == (x, y), 15, f"window at {x, y}")
    for buttons in [(3,), (1, 3)]:  # only the left button alone drags
        screen.drag(x + GRIPS[0][0], y + GRIPS[0][1], 30, 30, buttons=buttons)
    time.sleep(1)
    assert velmora.geometry()[:2] == (x, y)
