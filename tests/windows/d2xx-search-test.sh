#!/bin/sh
# The D2XX library is looked for beside the program and in the system folders, never in the
# folder a script runs from: a planted ftd2xx.dll there must not be loaded (exit 3, no driver),
# while the same DLL beside the program answers (exit 0).
# usage: d2xx-search-test.sh WINE_RUN STEPCTL_CLI_EXE FAKE_FTD2XX_DLL
set -u
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/program" "$tmp/work"
cp "$2" "$tmp/program/"
cp "$3" "$tmp/work/ftd2xx.dll"
cd "$tmp/work"
"$1" "$tmp/program/stepctl-cli.exe" probe --driver d2xx >out.txt 2>&1
planted=$?
[ "$planted" -eq 3 ] || { echo "a DLL in the working folder was used: exit $planted"; cat out.txt; exit 1; }
cp "$3" "$tmp/program/ftd2xx.dll"
"$1" "$tmp/program/stepctl-cli.exe" probe --driver d2xx >out.txt 2>&1
beside=$?
[ "$beside" -eq 0 ] || { echo "the DLL beside the program was not used: exit $beside"; cat out.txt; exit 1; }
echo "d2xx search test: working folder 3, program folder 0"
