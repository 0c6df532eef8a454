"""Start-up side effects: the capture folder C:\\QORN\\ is made, and a second start with the
folder already there comes up just the same, with no message window."""

import os
import shutil
import unittest

import rig


class StartUpTest(rig.E2ETestCase):
    def test_makes_the_capture_folder_and_starts_again_quietly(self):
        folder = rig.unix_path("C:\\QORN\\")
        shutil.rmtree(folder, ignore_errors=True)
        self.assertFalse(os.path.exists(folder))

        first = self.rig.start_velmora()
        rig.wait_for(lambda: os.path.isdir(folder), 20, what="C:\\QORN\\ to be made")
        self.assertEqual(len(rig.visible_windows(first.program.pid)), 1)
        self.rig.stop()

        marker = os.path.join(folder, "kept.txt")
        with open(marker, "w") as f:
            f.write("from an earlier run")
        second = self.rig.start_velmora()
        # The folder command runs hidden and fails quietly; give it time to show a message if
        # it were to, then the timer must still stand alone and the folder's content be kept.
        rig.wait_for(lambda: not [p for p in rig.wine_processes(VELMORA_E2E_TAG=self.rig.tag)
                                  if p[1] == "cmd.exe"], 20, what="the folder command to end")
        self.assertEqual(len(rig.visible_windows(second.program.pid)), 1)
        self.assertTrue(os.path.isfile(marker))


if __name__ == "__main__":
    unittest.main()
