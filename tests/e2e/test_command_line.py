"""The command line on the real program: `/in 1 /run <program> /start` arms at once (the compact
strip) and starts the program in the second one minute after the start; a delay it cannot take
shows a message box, no panel, and ends with exit code 2."""

import datetime

import rig

SECOND = datetime.timedelta(seconds=1)


def test_a_delay_of_a_minute_fires_in_its_second_and_a_fault_exits_2(screen, group):
    program = group.win + "\\bin\\recorder.exe"
    began = datetime.datetime.now().replace(microsecond=0)
    armed = group.launch("-in", "1", "/run", program, "/START")
    rig.wait_for(lambda: [w for w in screen.windows(armed.pid)
                          if screen.geometry(w)[2:] == rig.COMPACT], 60, "compact strip")
    shown = datetime.datetime.now().replace(microsecond=0)

    fault = group.launch("/in", "1:60:00", "/start")
    (box,) = rig.wait_for(lambda: screen.windows(fault.pid), 60, "the fault's message box")
    assert screen.title(box) == "Velmora自动关机" and screen.geometry(box)[2:] != rig.FULL
    x, y, w, h = screen.geometry(box)
    screen.move(x + w // 2, y + h // 2)  # with no window manager, keys go to the window pointed at
    screen.key("Return")
    assert fault.wait(30) == 2

    # The clock was read between the two moments: the target is that second plus 60.
    (run,) = rig.wait_for(group.runs, 90, "the program's run")
    assert run[1] == program
    (issued,) = group.commands(began + 30 * SECOND)
    assert began + 60 * SECOND <= issued < shown + 61 * SECOND, (began, shown, issued)
