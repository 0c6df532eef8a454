"""The "运行" action on the real program: a path with blanks starts that program through
cmd.exe's start; a text without a drive starts nothing, and the timer keeps trying each second
until the text holds one."""

import os
import shutil
import time
import unittest

import rig
from timer_ui import FULL, TimerWindow, image_name, now, seconds_between, wait_for_runs

PROGRAM = "C:\\Program Files\\Velmora Test\\app one.exe"


class ProgramStartTest(rig.E2ETestCase):
    def test_starts_the_typed_program_once_the_path_holds_a_drive(self):
        installed = rig.unix_path(PROGRAM)
        os.makedirs(os.path.dirname(installed), exist_ok=True)
        shutil.copy(self.rig.exe("recorder.exe"), installed)
        # The same program beside the timer, so that the bare name below would start it, were
        # the timer to run a text without a drive.
        shutil.copy(self.rig.exe("recorder.exe"), os.path.join(self.rig.folder, "app one.exe"))
        window = TimerWindow(self.rig, self.rig.start_velmora())

        window.type_path("app one.exe")
        target = window.arm("Option3")
        time.sleep(seconds_between(now(), target) + 3)
        self.assertEqual(self.rig.started(), [])

        # Still running: open the panel, type the path without its colon, then add the colon
        # with one key, so that no half-typed text holding ":\" ever meets a tick.
        window.open_panel_from_compact()
        window.type_path(PROGRAM.replace(":", "", 1))
        rig.click(*window.point("Text5"))
        rig.key("Home", "Right")
        rig.type_text(":")
        completed = now()

        (run,) = wait_for_runs(self.rig.started, 1, 15, "the program to start")
        self.assertEqual(run.module.lower(), PROGRAM.lower(), run)
        self.assertEqual(image_name(run.module), "app one.exe")
        self.assertLess(seconds_between(completed, run.time), 3, "not started at the next tick")

        # The start ends the run: nothing more is started, and the window keeps its view.
        time.sleep(3)
        self.assertEqual(len(self.rig.started()), 1, self.rig.started())
        geometry = window.geometry()
        self.assertEqual((geometry.w, geometry.h), FULL)


if __name__ == "__main__":
    unittest.main()
