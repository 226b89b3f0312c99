import os
from pathlib import Path

import pytest


@pytest.fixture(autouse=True)
def private_home(tmp_path, monkeypatch):
    """Whatever a test starts writes below its own temporary folder."""
    for name in ("HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"):
        monkeypatch.setenv(name, str(tmp_path))


@pytest.fixture
def built():
    """The build tree's programs, as CTest names them."""
    return {name: Path(os.environ[var]) for name, var in
            (("cli", "STEPCTL_CLI"), ("replay_files", "STEPCTL_REPLAY_FILES"),
             ("fake_d2xx", "STEPCTL_FAKE_D2XX"))
            if var in os.environ}
