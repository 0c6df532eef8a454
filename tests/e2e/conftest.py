"""pytest fixtures of the end-to-end tests. Run them inside tools/wine-session.sh (ctest does).
Session: the X screen, the prefix's stand-ins (recorder.exe as the system's shutdown.exe and as the
web browser, which Wine runs in place of its builtin stubs with the =n overrides) and planted fakes,
and backdrop.exe behind everything. Each test module is one group: one folder and log (`group`)
and one running velmora.exe (`velmora`), its tests being checks in order on that run."""

import os
import shutil
import subprocess

import pytest

import rig


def install(program, path):
    os.makedirs(os.path.dirname(rig.unix_path(path)), exist_ok=True)
    shutil.copy(os.path.join(rig.BUILD, program), rig.unix_path(path))


@pytest.fixture(scope="session")
def screen():
    for name in ("DISPLAY", "WINEPREFIX"):
        assert os.environ.get(name), f"{name} is not set: run inside tools/wine-session.sh"
    overrides = os.environ.get("WINEDLLOVERRIDES", "")
    os.environ["WINEDLLOVERRIDES"] = overrides + ";shutdown.exe=n;iexplore.exe=n"
    install("shutdown.exe", rig.SHUTDOWN)
    for path in (rig.BROWSER,) + rig.PLANTED:
        install("recorder.exe", path)
    # A crash ends the program at once instead of leaving it up behind Wine's crash dialog.
    subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\WineDbg", "/v", "ShowCrashDialog",
                    "/t", "REG_DWORD", "/d", "0", "/f"], capture_output=True, check=True)
    shutil.rmtree(rig.unix_path("C:\\QORN"), ignore_errors=True)  # the first start makes it
    return rig.Screen()


@pytest.fixture(scope="session")
def backdrop(screen):
    group = rig.Rig("backdrop", screen)
    group.start(os.path.join(rig.BUILD, "backdrop.exe"))
    corner = (1015, 760)
    rig.wait_for(lambda: screen.shot(*corner, 1, 1)(*corner) == rig.backdrop_colour(*corner),
                 30, "backdrop")
    yield group
    group.stop()


@pytest.fixture(scope="module")
def group(screen, backdrop, request):
    group = rig.Rig(request.module.__name__, screen)
    yield group
    group.stop()
    assert group.fakes_run() == [], "a planted file ran in place of the real one"


@pytest.fixture(scope="module")
def velmora(group):
    return group.start_velmora()
