#!/bin/sh
# The built stepctl-cli.exe with a D2XX library in its own folder, as on a lab PC: one send must
# issue exactly the five driver calls, with the frame of code 42 over Latched Parallel.
# usage: d2xx-send-test.sh WINE_RUN STEPCTL_CLI_EXE FAKE_FTD2XX_DLL
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$2" "$3" "$tmp"/
cd "$tmp"
FAKE_D2XX_LOG=$tmp/calls.txt "$1" ./stepctl-cli.exe send --device 9 --interface parallel \
    --db 10.7 >out.txt
zeros=$(printf ' 00%.0s' $(seq 1 32))
printf '%s\n' "FT_Open(0) #0" "FT_SetBitMode(#0, 0xFF, 1)" "FT_SetBaudRate(#0, 460800)" \
    "FT_Write(#0, 36, took 36) 00 32 3A 32$zeros" "FT_Close(#0)" >want.txt
diff want.txt calls.txt
[ "$(cat out.txt)" = "sent code 42 (10.50 dB) to ZMG-B2 (row 9) over parallel: parallel-7 frame" ]
echo "d2xx send test: the five calls and the frame"
