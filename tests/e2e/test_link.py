"""The web link on the real program: a click on it starts the web browser (here the recorder in
its place inside the prefix) with the web address as its one argument, and leaves the window
as it was."""

import time
import unittest

import layout
import rig

WEB_ADDRESS = "velmora.test"


class LinkTest(rig.E2ETestCase):
    def test_click_starts_the_browser_with_the_address_and_changes_nothing(self):
        self.rig.install_browser_standin()
        before_runs = len(self.rig.started())
        velmora = self.rig.start_velmora()
        area = velmora.screen_rect(layout.WINDOW)
        # After the first tick, which replaces the marks of the date line by the date.
        time.sleep(1.5)
        before = self.rig.screenshot().crop_bytes(area)

        rig.click(*velmora.centre_of("Label12"))
        (run,) = rig.wait_for(lambda: self.rig.started()[before_runs:], 20,
                              what="the browser to start")
        self.assertEqual(run.module.lower(), rig.BROWSER.lower(), run)
        # Wine puts quotes around a program path with blanks that it was given bare, so the
        # started program sees one of the two.
        self.assertIn(run.command_line, [f"{rig.BROWSER} {WEB_ADDRESS}",
                                         f'"{rig.BROWSER}" {WEB_ADDRESS}'])

        # Once only; the window has neither moved nor changed (fields, option, path, clock).
        time.sleep(2)
        rig.move(1000, 750)
        self.assertEqual(len(self.rig.started()), before_runs + 1)
        self.assertEqual(rig.window_geometry(velmora.window), velmora.geometry)
        self.assertEqual(self.rig.screenshot().crop_bytes(area), before)
        self.assertTrue(velmora.program.running())


if __name__ == "__main__":
    unittest.main()
