"""Soak figures of the timer. Run it through bench/soak.sh, which provides the Xvfb and Wine prefix.

1. The in-process soak (SoakTest.* of velmora_tick_tests.exe): 35 minutes of simulated ticks with
   full repaints, view switches, pauses and every action; it prints the objects its handle
   wrappers hold alive before, at warm-up, at the end and after, and its private memory.
2. The real velmora.exe counting down for ten real minutes (--minutes) with the countdown showing:
   the Wine process's memory from /proc at the start of the countdown (after a warm-up of
   --warm-up seconds) and at the end, with a sample each minute between. VmRSS counts Wine's
   shared libraries too; Private_Dirty and Anonymous of smaps_rollup are the pages the process
   wrote and shares with no one, which is what would grow if the program leaked.
"""

import argparse
import datetime
import os
import re
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import rig  # noqa: E402

FIELDS = ("VmRSS", "RssAnon", "Private_Dirty", "Anonymous")
GROWTH_LIMIT_KB = 256  # what the countdown may add over the minutes; a leak a tick passes it


def memory_kb(pid):
    fields = {}
    for name in ("status", "smaps_rollup"):
        with open(f"/proc/{pid}/{name}") as source:
            for line in source:
                match = re.match(r"(\w+):\s+(\d+) kB", line)
                if match and match.group(1) in FIELDS:
                    fields[match.group(1)] = int(match.group(2))
    return fields


def in_process_soak(build):
    print("in-process soak (velmora_tick_tests.exe, SoakTest.*):", flush=True)
    exe = os.path.join(build, "tests", "velmora_tick_tests.exe")
    if not os.path.exists(exe):
        raise SystemExit(f"{exe} is missing: build it first")
    wine = os.environ.get("VELMORA_WINE", "/usr/bin/wine")  # the loader tools/arch.sh chose
    result = subprocess.run([wine, exe, "--gtest_filter=SoakTest.*"], capture_output=True,
                            text=True, timeout=900)
    for line in result.stdout.splitlines():
        if line.startswith("soak:") or "FAILED" in line or "Failure" in line:
            print("  " + line[len("soak: "):] if line.startswith("soak:") else "  " + line)
    passed = result.returncode == 0
    print(f"  test program: {'passed' if passed else 'FAILED'}")
    return passed


def real_countdown(minutes, warm_up):
    print(f"velmora.exe counting down for {minutes} real minutes:", flush=True)
    group = rig.Rig("soak", rig.session())
    try:
        # Started from the build folder, not from a copy just written: the pages of a fresh file
        # count as Private_Dirty until the kernel writes them back, which it may do mid-run.
        velmora = rig.Velmora(group, group.start(os.path.join(rig.BUILD, "velmora.exe")))
        # Option4 would fire only at the target, hours after the end of the run.
        target = velmora.arm("Option4", lead=3 * 3600)
        pid = velmora.program.pid
        first = velmora.screen.image(*velmora.rect("Label2"))
        time.sleep(1.5)
        if velmora.screen.image(*velmora.rect("Label2")) == first:
            raise AssertionError("the countdown does not count")
        time.sleep(warm_up)
        start = memory_kb(pid)
        began = time.monotonic()
        print(f"  armed for {target:%Y-%m-%d %H:%M:%S}; after {warm_up} s of warm-up:")
        print("  " + "  ".join(f"{'minute':>6}" if i == 0 else f"{f:>13}"
                               for i, f in enumerate(("",) + FIELDS)))

        def show(minute, sample):
            print(f"  {minute:6}  " + "  ".join(f"{sample[f]:10} kB" for f in FIELDS), flush=True)

        show(0, start)
        for minute in range(1, minutes + 1):
            time.sleep(max(0.0, began + 60 * minute - time.monotonic()))
            if velmora.program.poll() is not None:
                raise AssertionError("velmora.exe ended during the countdown")
            geometry = velmora.geometry()
            if geometry[2:] != rig.COMPACT:
                raise AssertionError(f"the countdown strip is gone: {geometry}")
            end = memory_kb(pid)
            show(minute, end)
        growth = end["Private_Dirty"] - start["Private_Dirty"]
        print(f"  private memory (Private_Dirty) start {start['Private_Dirty']} kB, end "
              f"{end['Private_Dirty']} kB: {growth:+d} kB (limit {GROWTH_LIMIT_KB} kB); VmRSS "
              f"start {start['VmRSS']} kB, end {end['VmRSS']} kB")
        no_command = not group.runs()
        print(f"  no command issued during the countdown: {'yes' if no_command else 'NO'}")
        return growth <= GROWTH_LIMIT_KB and no_command
    finally:
        group.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--minutes", type=int, default=10)
    parser.add_argument("--warm-up", type=int, default=30)
    parser.add_argument("--only", choices=("in-process", "real"))
    args = parser.parse_args()
    print(f"soak bench, {datetime.datetime.now():%Y-%m-%d %H:%M}")
    passed = True
    if args.only in (None, "in-process"):
        passed &= in_process_soak(rig.BUILD)
    if args.only in (None, "real"):
        passed &= real_countdown(args.minutes, args.warm_up)
    print("soak: " + ("ok" if passed else "MISSED"))
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
