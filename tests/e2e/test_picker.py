"""The program picker on the real program: the open-file dialog of "浏览" opens in the program's
folder with its title, gives the chosen file's full path to the "运行" action (also a path with
Chinese characters, under Wine's default, non-Chinese code page), refuses a file that does not
exist, and empties the path when cancelled."""

import os
import shutil
import subprocess
import unittest

import layout
import rig
from timer_ui import TimerWindow, wait_for_runs

TITLE = "请选择文件"
CHINESE_PROGRAM = "C:\\工具\\程序.exe"


def picker_windows():
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$"],
                         capture_output=True, text=True, timeout=30).stdout
    return [int(w) for w in out.split()]


def type_text(text):
    # xdotool types a character that the keyboard map lacks by binding it to a spare key for the
    # moment; Wine picks up the new binding late and, at the rig's usual pace, drops about every
    # other Chinese character. At this pace it keeps them all.
    rig.xdotool("type", "--delay", 30 if text.isascii() else 150, text)


class PickerTest(rig.E2ETestCase):
    def setUp(self):
        super().setUp()
        # Wine takes its code page from the locale: keep it a non-Chinese one, under which
        # Chinese names survive only through the wide dialog.
        self.rig.env["LC_ALL"] = "C.UTF-8"

    def open_picker(self, window):
        window.click("Command1")
        (dialog,) = rig.wait_for(picker_windows, 20, what="the open-file dialog")
        self.assertEqual(rig.window_name(dialog), TITLE)
        # Its file name box has the focus and proposes no name: typing fills it.
        return dialog

    def close_picker(self, *keys):
        rig.key(*keys)
        try:
            rig.wait_for(lambda: not picker_windows(), 15, what="the dialog to close")
        finally:
            self.rig.screenshot()  # kept for a look if the dialog stayed

    def path_shown(self, window):
        """Whether Text5 shows any text: white (and anti-aliased whitish) pixels on magenta."""
        window.geometry()
        shot = self.rig.screenshot()
        field = window.velmora.screen_rect(layout.rect("Text5")).inset(3)
        return sum(n for (r, g, b), n in shot.colours(field).items()
                   if r > 200 and b > 200 and g > 128)

    def pick_and_run(self, typed):
        window = TimerWindow(self.rig, self.rig.start_velmora())
        self.open_picker(window)
        type_text(typed)
        self.close_picker("Return")
        self.assertTrue(self.path_shown(window))
        window.arm("Option3")
        (run,) = wait_for_runs(self.rig.started, 1, 20, "the chosen program to start")
        return run

    def test_opens_in_the_program_folder_and_runs_the_chosen_file(self):
        # recorder.exe lies beside velmora.exe but not in the current folder the timer starts
        # in: the bare name finds it only in the program's own folder.
        self.assertFalse(os.path.exists(os.path.join(self.rig.folder, "recorder.exe")))
        run = self.pick_and_run("recorder.exe")
        self.assertEqual(run.module.lower(),
                         rig.windows_path(self.rig.exe("recorder.exe")).lower(), run)

    def test_runs_a_file_whose_name_is_chinese(self):
        installed = rig.unix_path(CHINESE_PROGRAM)
        os.makedirs(os.path.dirname(installed), exist_ok=True)
        shutil.copy(self.rig.exe("recorder.exe"), installed)
        self.addCleanup(shutil.rmtree, os.path.dirname(installed), True)
        run = self.pick_and_run(CHINESE_PROGRAM)
        self.assertEqual(run.module, CHINESE_PROGRAM, run)

    def test_refuses_a_missing_file_and_a_cancel_empties_the_path(self):
        velmora = self.rig.start_velmora()
        window = TimerWindow(self.rig, velmora)
        window.type_path("C:\\earlier\\choice.exe")
        self.assertTrue(self.path_shown(window))

        dialog = self.open_picker(window)
        before = set(rig.visible_windows(velmora.program.pid))
        type_text("no such file 4c1e.exe")
        rig.key("Return")
        # The dialog answers with a message of its own and stays open behind it.
        (message,) = rig.wait_for(
            lambda: set(rig.visible_windows(velmora.program.pid)) - before, 15,
            what="the dialog's message about the missing file")
        self.assertIn(dialog, picker_windows())
        rig.key("Return")
        rig.wait_for(lambda: message not in rig.visible_windows(velmora.program.pid), 15,
                     what="the message to close")
        self.assertEqual(picker_windows(), [dialog])

        self.close_picker("Escape")
        self.assertFalse(self.path_shown(window))
        self.assertEqual(self.rig.started(), [])


if __name__ == "__main__":
    unittest.main()
