"""The rig's own programs under Wine: the stand-ins log what the timer's commands would do, the
browser stand-in really replaces the prefix's browser, the backdrop shows its pattern and logs
clicks, and a test leaves none of its processes behind."""

import datetime
import os
import unittest

import layout
import rig


class StandInTest(rig.E2ETestCase):
    def test_cmd_runs_the_shutdown_standin_of_the_working_folder(self):
        before = datetime.datetime.now() - datetime.timedelta(seconds=1)
        self.assertEqual(self.rig.run_command("cmd.exe", "/c", "shutdown -s -t 20"), 0)
        after = datetime.datetime.now() + datetime.timedelta(seconds=1)
        (run,) = self.rig.started()
        self.assertEqual(run.module.lower(),
                         rig.windows_path(os.path.join(self.rig.folder, "shutdown.exe")).lower())
        self.assertTrue(run.command_line.rstrip().endswith("shutdown -s -t 20"), run.command_line)
        self.assertTrue(before <= run.time <= after, run.time)

    def test_browser_standin_replaces_the_prefix_browser(self):
        self.rig.install_browser_standin()  # fails unless the recorder ran as iexplore.exe
        self.rig.run_command(rig.BROWSER, "http://example.invalid/")
        self.assertIn("http://example.invalid/", self.rig.started()[-1].command_line)


class BackdropTest(rig.E2ETestCase):
    def test_pattern_clicks_and_clean_up(self):
        self.rig.start_backdrop()
        shot = self.rig.screenshot()
        wrong = [(x, y) for y in range(0, shot.height, 7) for x in range(0, shot.width, 5)
                 if shot.pixel(x, y) != layout.backdrop_colour(x, y)]
        self.assertEqual(wrong[:10], [])

        rig.click(100, 200)
        rig.click(517, 333, button=3)
        rig.wait_for(lambda: len(self.rig.backdrop_clicks()) == 2, 10, what="two clicks")
        self.assertEqual(self.rig.backdrop_clicks(), [("left", 100, 200), ("right", 517, 333)])

        self.rig.stop()
        left = [p for p in rig.wine_processes(VELMORA_E2E_TAG=self.rig.tag)
                if p[1] in ("backdrop.exe", "cmd.exe")]
        self.assertEqual(left, [])
        # Wine's services of the shared prefix stay up for the next test.
        self.assertIn("explorer.exe",
                      [image for _, image in rig.wine_processes(WINEPREFIX=rig.prefix())])


if __name__ == "__main__":
    unittest.main()
