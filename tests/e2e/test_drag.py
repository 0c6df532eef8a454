"""Dragging the borderless window on the real program with the real pointer: pressed with the
left button on either frame's bare edge or on the large box, the window follows the pointer by
exactly its offset; the right button, or both, move nothing; and a see-through point is no grip
at all, its press going to the window behind."""

import time
import unittest

import layout
import rig

# Window points (pixels) on each grip: the bare left edges of the frames (8 pixels wide) and
# the pink of the large box below them, which only Label5 covers.
GRIPS = {
    "Frame1": (layout.rect("Frame1").x + 3, layout.rect("Frame1").y + 40),
    "Frame2": (layout.rect("Frame2").x + 4, layout.rect("Frame2").y + 60),
    "Label5": (60, 200),
}
SEE_THROUGH = (200, 36)  # between the top strip and the large box


class DragTest(rig.E2ETestCase):
    def setUp(self):
        super().setUp()
        self.rig.start_backdrop()
        self.velmora = self.rig.start_velmora()

    def position(self):
        geometry = rig.window_geometry(self.velmora.window)
        return geometry.x, geometry.y

    def drag(self, point, dx, dy, buttons=(1,), steps=6):
        """Rests the pointer on a window point, presses the buttons, moves by (dx, dy) in steps
        and lets go."""
        x, y = rig.window_geometry(self.velmora.window)[:2]
        start = (x + point[0], y + point[1])
        rig.move(*start)
        for button in buttons:
            rig.xdotool("mousedown", button)
        for step in range(1, steps + 1):
            rig.move(start[0] + dx * step // steps, start[1] + dy * step // steps)
        for button in reversed(buttons):
            rig.xdotool("mouseup", button)
        # Away from the window, so that nothing more reaches it.
        rig.move(1000, 750)
        return start

    def assert_settles_at(self, expected):
        # Wine moves the X window a moment after the Windows one.
        try:
            rig.wait_for(lambda: self.position() == expected, 5, interval=0.05,
                         what=f"the window at {expected}")
        finally:
            self.rig.screenshot()
        time.sleep(0.3)
        self.assertEqual(self.position(), expected)

    def test_left_drag_by_each_grip_follows_the_pointer(self):
        x, y = self.position()
        for (grip, point), (dx, dy) in zip(GRIPS.items(), [(40, 30), (25, -12), (-17, 45)]):
            with self.subTest(grip=grip):
                self.drag(point, dx, dy)
                x, y = x + dx, y + dy
                self.assert_settles_at((x, y))
        # Still whole where it now stands: pink inside its boxes.
        shot = self.rig.screenshot()
        self.assertGreater(shot.count(layout.rect("Shape3").moved(x, y).inset(4), layout.PINK),
                           10000)

    def test_other_buttons_and_see_through_points_move_nothing(self):
        start = self.position()
        self.drag(GRIPS["Label5"], 30, 20, buttons=(3,))
        self.drag(GRIPS["Frame1"], 30, 20, buttons=(1, 3))
        time.sleep(0.5)
        self.assertEqual(self.position(), start)

        pressed = self.drag(SEE_THROUGH, 30, 20)
        rig.wait_for(lambda: self.rig.backdrop_clicks(), 15, what="the press to reach the backdrop")
        self.assertEqual(self.rig.backdrop_clicks(), [("left", *pressed)])
        time.sleep(0.5)
        self.assertEqual(self.position(), start)


if __name__ == "__main__":
    unittest.main()
