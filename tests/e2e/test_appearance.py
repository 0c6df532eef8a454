"""What the timer's window looks like after start-up, over the backdrop's checkerboard: where it
sits, what shows through, the pink boxes with white borders, the magenta band and the captions."""

import unittest

import layout
import rig
from layout import MAGENTA, PINK, WHITE, rect


def is_text(colour):
    """White, or a glyph's edge blended from white into the pink or magenta behind it."""
    return min(colour) >= 192


class AppearanceTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # One start serves every check below; each check is its own test so that all faults show.
        cls.shared = rig.Rig("appearance")
        try:
            cls.shared.start_backdrop()
            cls.velmora = cls.shared.start_velmora()
            cls.shot = cls.shared.screenshot()
        except BaseException:
            cls.shared.stop()
            raise

    @classmethod
    def tearDownClass(cls):
        cls.shared.keep_screenshot("appearance")
        cls.shared.stop()

    def at(self, x, y):
        return self.shot.pixel(*self.velmora.screen(x, y))

    def colours(self, window_rect):
        return self.shot.colours(self.velmora.screen_rect(window_rect))

    def test_window_is_the_full_panel_at_the_top_left_corner(self):
        self.assertEqual(self.velmora.geometry, layout.WINDOW)

    def test_background_is_see_through(self):
        # Every point away from the boxes shows exactly the backdrop's cell colour there.
        wrong = []
        for x, y in layout.see_through_points():
            sx, sy = self.velmora.screen(x, y)
            if self.shot.pixel(sx, sy) != layout.backdrop_colour(sx, sy):
                wrong.append(((x, y), self.shot.pixel(sx, sy)))
        self.assertEqual(wrong[:10], [], f"{len(wrong)} window points hide the backdrop")

    def test_boxes_are_opaque_pink(self):
        for name in layout.OPAQUE:
            with self.subTest(name):
                inside = self.colours(rect(name).inset(4))
                see_through = inside[layout.BACKDROP_EVEN] + inside[layout.BACKDROP_ODD]
                self.assertEqual(see_through, 0, f"{name} lets the backdrop through")
                self.assertEqual(inside.most_common(1)[0][0], PINK, inside.most_common(3))

    def test_boxes_have_white_borders(self):
        # Wherever a border is drawn exactly (inside the outline, or across it), each point along
        # each side has white within a pixel outside to the border's width inside.
        for name, width in layout.BORDER.items():
            box = rect(name)
            sides = {
                "top": [(x, range(box.y - 1, box.y + width)) for x in range(box.x + 4, box.right - 4)],
                "bottom": [(x, range(box.bottom - width, box.bottom + 1))
                           for x in range(box.x + 4, box.right - 4)],
                "left": [(y, range(box.x - 1, box.x + width)) for y in range(box.y + 4, box.bottom - 4)],
                "right": [(y, range(box.right - width, box.right + 1))
                          for y in range(box.y + 4, box.bottom - 4)],
            }
            for side, probes in sides.items():
                across = side in ("top", "bottom")
                gaps = [along for along, band in probes
                        if not any(self.at(*((along, d) if across else (d, along))) == WHITE
                                   for d in band)]
                with self.subTest(f"{name} {side}"):
                    self.assertEqual(gaps[:5], [], f"{len(gaps)} points of the border are not white")

    def test_option_band_is_magenta(self):
        band = rect("Label8(4)")
        controls = [rect(name).grow(1) for name in ("Option3", "Text5", "Command1")]
        free = [p for p in band.points() if not any(c.contains(*p) for c in controls)]
        wrong = [(p, self.at(*p)) for p in free if self.at(*p) != MAGENTA]
        self.assertGreater(len(free), 500)
        self.assertEqual(wrong[:5], [], f"{len(wrong)} points of the band are not magenta")

    def test_captions_are_drawn(self):
        for name in ("Label2", "LabelGN(1)", "LabelGN(2)", "LabelGN(3)", "LabelGN(4)", "Label6",
                     "Label8(3)", "Label8(2)", "LabelS", "Label12"):
            with self.subTest(name):
                text = [p for p in layout.caption_points(name) if is_text(self.at(*p))]
                self.assertGreaterEqual(len(text), 10)

    def test_start_caption_stands_at_the_right_of_its_label(self):
        # "启动" is two characters in a 35-pixel label: right-aligned it leaves the left third empty.
        label = rect("LabelGN(3)")
        columns = [x for x in range(label.x, label.right)
                   if any(is_text(self.at(x, y)) for y in range(label.y, label.bottom))]
        self.assertTrue(columns)
        self.assertGreaterEqual(min(columns), label.x + 6, columns)
        self.assertGreaterEqual(max(columns), label.right - 4, columns)


if __name__ == "__main__":
    unittest.main()
