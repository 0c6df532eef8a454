"""Where the timer's window draws what, in window pixels: the one place the end-to-end tests take
their coordinates from. Positions are kept in twips as the window lays them out (15 twips to a
pixel) and converted here."""

from collections import namedtuple

TWIPS_PER_PIXEL = 15

# Colours the window shows, and the two of the backdrop behind it.
PINK = (255, 128, 255)
MAGENTA = (255, 0, 255)
WHITE = (255, 255, 255)
KEY = (40, 40, 40)  # the see-through colour of the window's background
BACKDROP_EVEN = (0, 160, 0)
BACKDROP_ODD = (0, 0, 160)
BACKDROP_CELL = 8


def backdrop_colour(screen_x, screen_y):
    """The colour backdrop.exe paints at a screen point: an 8 x 8 checkerboard from (0, 0)."""
    even = (screen_x // BACKDROP_CELL + screen_y // BACKDROP_CELL) % 2 == 0
    return BACKDROP_EVEN if even else BACKDROP_ODD


def px(twips):
    """Twips to pixels, rounded to the nearest pixel, ties to even (as Python's round does)."""
    return round(twips / TWIPS_PER_PIXEL)


class Rect(namedtuple("Rect", "x y w h")):
    """A rectangle in pixels; right and bottom are exclusive."""

    @property
    def right(self):
        return self.x + self.w

    @property
    def bottom(self):
        return self.y + self.h

    def inset(self, n):
        return Rect(self.x + n, self.y + n, max(0, self.w - 2 * n), max(0, self.h - 2 * n))

    def grow(self, n):
        return self.inset(-n)

    def moved(self, dx, dy):
        return Rect(self.x + dx, self.y + dy, self.w, self.h)

    def contains(self, x, y):
        return self.x <= x < self.right and self.y <= y < self.bottom

    def points(self):
        for y in range(self.y, self.bottom):
            for x in range(self.x, self.right):
                yield x, y

    @property
    def centre(self):
        return self.x + self.w // 2, self.y + self.h // 2


# The two containers inside the window, by their offset in twips.
_CONTAINERS = {"Form1": (0, 0), "Frame1": (240, 720), "Frame2": (2880, 720)}

# name: (container, left, top, width, height) in twips
_CONTROLS = {
    "Label5": ("Form1", 0, 0, 5835, 3315),
    "Label9": ("Form1", 0, 0, 2045, 555),
    "Frame1": ("Form1", 240, 720, 2715, 1935),
    "Frame2": ("Form1", 2880, 720, 2715, 2055),
    "Shape1": ("Form1", 135, 120, 1875, 375),
    "Shape6": ("Form1", 2010, 120, 1695, 375),
    "Shape4(2)": ("Form1", 3705, 120, 1995, 375),
    "Shape3": ("Form1", 120, 600, 5595, 2595),
    "Label2": ("Form1", 270, 225, 1260, 180),
    "LabelGN(1)": ("Form1", 1740, 225, 195, 180),
    "LabelGN(2)": ("Form1", 2100, 225, 390, 180),
    "LabelGN(3)": ("Form1", 2475, 225, 525, 180),
    "LabelGN(4)": ("Form1", 3120, 225, 525, 180),
    "Label6": ("Form1", 3720, 210, 1935, 255),
    "Label12": ("Form1", 1920, 2760, 1815, 180),
    # target panel
    "Shape7": ("Frame1", 120, 120, 2475, 1815),
    "Label8(3)": ("Frame1", 615, 240, 1440, 180),
    "LabelS": ("Frame1", 825, 1440, 1065, 210),
    "Picture1(1)": ("Frame1", 240, 645, 690, 225),
    "Picture1(2)": ("Frame1", 1080, 645, 570, 225),
    "Picture1(3)": ("Frame1", 1800, 645, 570, 225),
    "Picture1(4)": ("Frame1", 240, 1005, 690, 225),
    "Picture1(5)": ("Frame1", 1080, 1005, 570, 225),
    "Picture1(6)": ("Frame1", 1800, 1005, 570, 225),
    "Shape5(1)": ("Frame1", 195, 600, 810, 315),
    "Shape5(2)": ("Frame1", 1035, 600, 690, 315),
    "Shape5(3)": ("Frame1", 1755, 600, 690, 315),
    "Shape5(4)": ("Frame1", 195, 960, 810, 315),
    "Shape5(5)": ("Frame1", 1035, 960, 690, 315),
    "Shape5(6)": ("Frame1", 1755, 960, 690, 315),
    # action panel
    "Shape2": ("Frame2", 120, 120, 2475, 1815),
    "Label8(2)": ("Frame2", 120, 240, 2415, 255),
    "Label8(4)": ("Frame2", 195, 1200, 2310, 615),
    "Option1": ("Frame2", 200, 600, 1305, 255),
    "Option2": ("Frame2", 200, 840, 1305, 255),
    "Option3": ("Frame2", 315, 1200, 1305, 255),
    "Option4": ("Frame2", 1560, 600, 945, 255),
    "Option5": ("Frame2", 1560, 840, 945, 255),
    "Text5": ("Frame2", 315, 1440, 1380, 270),
    "Command1": ("Frame2", 1800, 1440, 555, 270),
}

# Border widths in pixels of the boxes the window draws.
BORDER = {"Shape1": 3, "Shape6": 3, "Shape4(2)": 3, "Shape3": 3, "Shape7": 2, "Shape2": 2}
BORDER.update({f"Shape5({i})": 1 for i in range(1, 7)})

# Everything the window paints opaque at its full size; the rest is its see-through background.
OPAQUE = ("Shape1", "Shape6", "Shape4(2)", "Shape3", "Frame1", "Frame2")


def rect(name):
    """The control's rectangle in pixels, relative to the window's top-left corner."""
    container, left, top, width, height = _CONTROLS[name]
    dx, dy = _CONTAINERS[container]
    return Rect(px(dx + left), px(dy + top), px(width), px(height))


WINDOW = rect("Label5")  # 389 x 221: the full panel
COMPACT = rect("Label9")


def border_bands(name, slack=1):
    """The four strips of a box where its border may lie: from `slack` pixels outside its outline
    to its border width inside."""
    box, width = rect(name), BORDER[name]
    outer = box.grow(slack)
    thick = width + slack
    return [Rect(outer.x, outer.y, outer.w, thick), Rect(outer.x, box.bottom - width, outer.w, thick),
            Rect(outer.x, outer.y, thick, outer.h), Rect(box.right - width, outer.y, thick, outer.h)]


def caption_points(name):
    """Points of a label's rectangle that no box border can reach: where only its text is white."""
    bands = [band for box in BORDER for band in border_bands(box)]
    return [p for p in rect(name).points() if not any(b.contains(*p) for b in bands)]


def see_through_points(margin=2):
    """Window points at least `margin` pixels away from everything opaque: where the backdrop shows.
    The margin leaves room for a border drawn across, rather than inside, a box's outline."""
    covers = [rect(name).grow(margin) for name in OPAQUE]
    return [p for p in WINDOW.points() if not any(r.contains(*p) for r in covers)]
