"""pytest fixtures of the end-to-end tests (run in tools/wine-session.sh, as ctest does): the
screen, the backdrop, and per test module a group (folder, log) and a velmora.exe checked in order."""

import pytest

import rig


@pytest.fixture(scope="session")
def screen():
    return rig.session()


@pytest.fixture(scope="session")
def backdrop():
    return rig.start_backdrop()


@pytest.fixture(scope="module")
def group(screen, backdrop, request):
    group = rig.Rig(request.module.__name__, screen)
    yield group
    group.stop()
    assert group.fakes_run() == [], "a planted file ran in place of the real one"


@pytest.fixture(scope="module")
def velmora(group):
    return group.start_velmora()
