"""The four shutdown and restart actions on the real program: a target typed a few seconds ahead,
"启动" pressed, and what the stand-in shutdown.exe received and when; for the two with a grace
period, the screen capture in C:\\QORN\\. Each test runs two actions in one start of the program,
the second after a pause, which also proves that a fired timer starts again."""

import datetime
import os
import shutil
import time
import unittest

import layout
import rig
from timer_ui import (CAPTURE_FOLDER, TimerWindow, arguments, capture_time, captures, decode_bmp,
                      floor_second, now, seconds_between, shutdown_runs, wait_for_runs)

GRACE = datetime.timedelta(seconds=5)


class ShutdownActionsTest(rig.E2ETestCase):
    def check_fired(self, earlier_runs, target, expected_arguments):
        """The one command after the first `earlier_runs`: its arguments, and that shutdown.exe
        started within the target second (cmd.exe's own start-up included)."""
        (run, *more) = wait_for_runs(lambda: shutdown_runs(self.rig)[earlier_runs:], 1,
                                     seconds_between(now(), target) + 15,
                                     f"shutdown {expected_arguments} at {target}")
        self.assertEqual(more, [])
        self.assertEqual(arguments(run.command_line), expected_arguments, run)
        self.assertEqual(floor_second(run.time), target,
                         f"shutdown.exe started {seconds_between(target, run.time):+.3f} s from "
                         f"the start of the target second")
        return run

    def check_capture(self, known, target, run, screen):
        """The capture file that appears after the firing: named by its own time, written at
        least the grace wait after the target, a BMP of the whole screen."""
        new = rig.wait_for(lambda: {n: t for n, t in captures().items() if n not in known}, 20,
                           what="a capture file in " + CAPTURE_FOLDER)
        self.assertEqual(len(new), 1, new)
        ((name, written),) = new.items()
        named = capture_time(name)
        self.assertIsNotNone(named, f"{name} is not yyyymmddhhmmss.BMP")
        self.assertGreaterEqual(written, target + GRACE,
                                f"written {seconds_between(run.time, written):.3f} s after "
                                f"shutdown.exe started")
        self.assertTrue(floor_second(target + GRACE) <= named <= floor_second(written),
                        f"{name}: named outside the capture window {target + GRACE} .. {written}")

        (kind, width, height), image = decode_bmp(os.path.join(rig.unix_path(CAPTURE_FOLDER), name))
        # ImageMagick names the header versions: BMP3 is the BITMAPINFOHEADER of Windows 3.
        self.assertIn(kind, ("BMP", "BMP2", "BMP3"))
        self.assertEqual((width, height), (screen.width, screen.height))
        # The backdrop fills the screen beyond the timer's corner, and the timer's pink strip
        # is in the corner: the file holds what the screen showed, not a blank bitmap.
        beyond = [(x, y) for y in range(0, height, 23) for x in range(0, width, 29)
                  if x >= layout.WINDOW.w + 10 or y >= layout.WINDOW.h + 10]
        wrong = [(p, image.pixel(*p)) for p in beyond
                 if image.pixel(*p) != layout.backdrop_colour(*p)]
        self.assertEqual(wrong[:5], [], f"{len(wrong)} of {len(beyond)} points miss the backdrop")
        self.assertGreater(image.count(layout.COMPACT, layout.PINK), 1000)
        return name

    def test_graceful_shutdown_and_restart_capture_the_screen(self):
        self.rig.start_backdrop()
        window = TimerWindow(self.rig, self.rig.start_velmora())
        screen = self.rig.screenshot()

        # Option1 (shut down + screenshot) is the selection the window starts with.
        known = set(captures())
        target = window.arm()
        run = self.check_fired(0, target, "-s -t 20")
        first = self.check_capture(known, target, run, screen)

        # A capture folder that went missing meanwhile is made again for the capture.
        window.pause_from_compact()
        shutil.rmtree(rig.unix_path(CAPTURE_FOLDER))
        target = window.arm("Option2")
        run = self.check_fired(1, target, "-r -t 20")
        self.assertNotEqual(self.check_capture(set(), target, run, screen), first)

        # One command per firing: no tick during the grace wait fired again, none after it.
        self.assertEqual(len(shutdown_runs(self.rig)), 2, shutdown_runs(self.rig))

    def test_immediate_shutdown_and_restart(self):
        window = TimerWindow(self.rig, self.rig.start_velmora())
        known = set(captures())

        target = window.arm("Option4")
        self.check_fired(0, target, "-s -t 0")
        window.pause_from_compact()
        target = window.arm("Option5")
        last = self.check_fired(1, target, "-r -t 0")

        # Longer than the grace wait: had either action waited and captured, the file would be
        # there, and a timer left running would have fired again.
        time.sleep(max(0.0, 7 - seconds_between(last.time, now())))
        self.assertEqual(len(shutdown_runs(self.rig)), 2, shutdown_runs(self.rig))
        self.assertEqual(set(captures()) - known, set())


if __name__ == "__main__":
    unittest.main()
