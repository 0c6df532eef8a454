"""pytest fixtures of the end-to-end tests (run in tools/wine-session.sh, as ctest does): the
screen over the backdrop, and per test module a group (folder, log) and a velmora.exe."""

import pytest

import rig


@pytest.fixture(scope="session")
def screen():
    screen = rig.session()
    screen.backdrop_clicks = rig.start_backdrop()
    return screen


@pytest.fixture(scope="module")
def group(screen, request):
    group = rig.Rig(request.module.__name__, screen)
    yield group
    group.stop()
    assert group.fakes_run() == [], "a planted file ran in place of the real one"


@pytest.fixture(scope="module")
def velmora(group):
    return group.start_velmora()
