"""Clicks on the window's see-through background go to the window behind it; clicks on its boxes
do not."""

import unittest

import layout
import rig


class ClickThroughTest(rig.E2ETestCase):
    def test_clicks_reach_the_backdrop_only_where_it_shows(self):
        self.rig.start_backdrop()
        velmora = self.rig.start_velmora()
        # Around the boxes, between the top strip and the large box, and in the corners.
        see_through = [(3, 3), (4, 120), (200, 36), (385, 120), (200, 217), (386, 218)]
        # Pink fill of the large box below the two panels: no control of its own lies there.
        opaque = (60, 200)
        for point in see_through:
            self.assertIn(point, layout.see_through_points())
        self.assertFalse(any(layout.rect("Shape3").inset(4).contains(*p) for p in see_through))
        self.assertTrue(layout.rect("Shape3").inset(4).contains(*opaque))

        for point in see_through[:3]:
            rig.click(*velmora.screen(*point))
        rig.click(*velmora.screen(*opaque))
        for point in see_through[3:]:
            rig.click(*velmora.screen(*point), button=3)

        expected = [("left", *velmora.screen(*p)) for p in see_through[:3]]
        expected += [("right", *velmora.screen(*p)) for p in see_through[3:]]
        # The backdrop handles its input in order, so once the last click is logged a click on
        # the box would have been logged too, had it got through.
        rig.wait_for(lambda: len(self.rig.backdrop_clicks()) >= len(expected), 15,
                     what="the clicks to reach the backdrop")
        self.assertEqual(self.rig.backdrop_clicks(), expected)
        self.assertTrue(velmora.program.running())


if __name__ == "__main__":
    unittest.main()
