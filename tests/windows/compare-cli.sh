#!/bin/sh
# The same commands through the Linux and the Windows stepctl-cli: stdout, stderr and exit code
# must be byte for byte the same (no CRLF, no other number formatting, the same messages).
# usage: compare-cli.sh LINUX_CLI WINE_RUN WINDOWS_CLI
set -u
linux=$1 wine_run=$2 windows=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0
while IFS= read -r line; do
    case $line in '' | '#'*) continue ;; esac
    # shellcheck disable=SC2086 # one case a line, split at spaces
    "$linux" $line </dev/null >"$tmp/l.out" 2>"$tmp/l.err"
    echo "exit $?" >>"$tmp/l.err"
    # shellcheck disable=SC2086
    "$wine_run" "$windows" $line </dev/null >"$tmp/w.out" 2>"$tmp/w.err"
    echo "exit $?" >>"$tmp/w.err"
    if cmp -s "$tmp/l.out" "$tmp/w.out" && cmp -s "$tmp/l.err" "$tmp/w.err"; then
        echo "same: $line"
    else
        echo "DIFFERENT: $line"
        diff "$tmp/l.out" "$tmp/w.out" | od -c | head -20
        diff "$tmp/l.err" "$tmp/w.err"
        failed=1
    fi
done <<'CASES'
devices
devices --json
frame --device 9 --interface parallel --db 10.7
frame --device ZMG-C1 --interface serial --db 40 --db2 7.3 --format json
frame --device ZMG-B6 --interface addressable --address 5 --db 1.25 --format vcd
send --board sim --device ZMG-A4 --interface serial --db 10.7
send --board sim --device ZMG-C1 --interface serial --db 40 --db2 7.3 --json
send --board sim --sim-fault short-write --device 3 --interface parallel --db 1
sweep --board sim --device ZMG-B1 --interface serial --from 0 --to 1 --step 0.25 --dwell-ms 0
sweep --timed --board sim --device ZMG-A4 --interface serial --from 0 --to 1 --step 0.5 --dwell-ms 0.5 --json
sweep --timed --board sim --device ZMG-C1 --interface serial --from 0 --to 1 --step 1 --db2 3 --dwell-ms 0.2
probe --board sim --sim-fault unplugged
send --device ZMG-A4 --interface serial --db abc
send --device 15 --interface serial --db 1
bogus
CASES
exit $failed
