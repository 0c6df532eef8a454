"""pytest fixtures of the end-to-end tests. Run them inside tools/wine-session.sh (ctest does).
Session: the X screen, the prefix's stand-ins (recorder.exe as the system's shutdown.exe and as the
web browser, which Wine runs in place of its builtin stubs with the =n overrides) and planted fakes,
and backdrop.exe behind everything. Each test module is one group: one folder and log (`group`)
and one running velmora.exe (`velmora`), its tests being checks in order on that run."""

import pytest

import rig


@pytest.fixture(scope="session")
def screen():
    return rig.session()


@pytest.fixture(scope="session")
def backdrop(screen):
    group = rig.Rig("backdrop", screen)
    rig.start_backdrop(group)
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
