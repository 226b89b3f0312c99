#!/bin/sh
# The installer end to end under wine: build it with CPack into a temporary folder, install it
# silently, run the installed exe, uninstall it, and check that nothing is left behind.
# usage: install-test.sh CPACK BUILD_DIR WINE_RUN WINE_PREFIX
set -eu
cpack=$1 build=$2 wine_run=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }
# Every wine run reads and writes files only: a Windows process left running (the uninstaller's
# copy, a service) would otherwise hold ctest's pipe open.
win() { "$wine_run" "$@" </dev/null >"$tmp/out" 2>"$tmp/err"; }

"$cpack" -G NSIS --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log" >&2; fail "cpack failed"; }
installer=$(ls "$tmp"/StepCtl-*-win64.exe) || fail "no installer made"
[ "$(od -An -tx1 -j0 -N2 "$installer" | tr -d ' ')" = 4d5a ] || fail "not a Windows program"

dir="${WINEPREFIX:-$4}/drive_c/Program Files/StepCtl"

win "$installer" /S || fail "the silent install failed"
[ -f "$dir/stepctl-cli.exe" ] || fail "stepctl-cli.exe is not in Program Files\\StepCtl"
[ -f "$dir/README.txt" ] || fail "README.txt is not in Program Files\\StepCtl"
[ -f "$dir/stepctl.exe" ] || fail "the panel stepctl.exe is not in Program Files\\StepCtl"
prefix="${WINEPREFIX:-$4}"
shortcut=$(find "$prefix/drive_c" -path '*Start Menu*' -name 'StepCtl.lnk' | head -n 1)
[ -n "$shortcut" ] || fail "no Start-menu shortcut StepCtl.lnk"

cd "$tmp"
win 'C:\Program Files\StepCtl\stepctl-cli.exe' frame --device 9 --interface parallel \
    --db 10.7 || fail "the installed exe did not run"
out=$(cat "$tmp/out")
case $out in "00 32 3A 32 00 "*) ;; *) fail "unexpected frame: $out" ;; esac
# No D2XX driver in this prefix: said plainly, exit 3.
set +e
win 'C:\Program Files\StepCtl\stepctl-cli.exe' probe
code=$?
out=$(cat "$tmp/out")
set -e
[ "$code" = 3 ] || fail "probe without the driver exited $code, not 3"
[ "$out" = "not connected (d2xx): the FTDI D2XX driver (ftd2xx.dll) is not installed" ] ||
    fail "probe without the driver said: $out"

# The uninstaller copies itself away and returns at once: wait for it to finish.
win 'C:\Program Files\StepCtl\Uninstall.exe' /S || fail "the silent uninstall failed"
for _ in $(seq 1 60); do
    [ -e "$dir" ] || break
    sleep 0.5
done
[ ! -e "$dir" ] || fail "Program Files\\StepCtl is still there after the uninstall: $(ls "$dir")"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is still there after the uninstall"
echo "install test: installed, ran and uninstalled $(basename "$installer")"
