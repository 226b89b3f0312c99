#!/bin/sh
# `pip install --no-build-isolation .` of a copy of the source tree into a throw-away virtual
# environment: the module builds with CMake, imports from another folder with its stubs, and
# its __version__ is the CLI's.
# usage: pip-install-test.sh SOURCE_DIR STEPCTL_CLI
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home" XDG_CACHE_HOME="$tmp/home" PIP_NO_CACHE_DIR=1
mkdir -p "$HOME" "$tmp/src" "$tmp/elsewhere"
# The tree without its build folders, so that nothing is written into the sources.
tar -C "$1" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$tmp/src" -xf -
/usr/bin/python3 -m venv --system-site-packages "$tmp/venv"
"$tmp/venv/bin/pip" install --quiet --no-build-isolation "$tmp/src" >"$tmp/pip.log" 2>&1 ||
    { cat "$tmp/pip.log"; exit 1; }
cd "$tmp/elsewhere"
got=$(VIRTUAL_ENV_DIR="$tmp/venv" "$tmp/venv/bin/python" -c '
import os, stepctl
here = os.path.dirname(stepctl.__file__)
assert here.startswith(os.environ["VIRTUAL_ENV_DIR"]), here
assert {"__init__.pyi", "py.typed"} <= set(os.listdir(here))
assert stepctl.Board("sim").send("ZMG-A4", "serial", 10.7).codes == [21]
print(stepctl.__version__)' 2>&1 || true)
want=$("$2" --version)
[ "stepctl-cli $got" = "$want" ] || { echo "installed module says '$got', the CLI '$want'"; exit 1; }
echo "pip install test: $want, importable from $tmp/elsewhere"
