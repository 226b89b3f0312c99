#!/bin/sh
# play --timed through stepctl-cli.exe with a D2XX library in its folder: one open, one bit
# mode, one rate (6250: 16 x 6250 = 100000 samples/s), then the whole stream of two passes of
# the list, each step its frame and zeros to its dwell, and a close. The frames are the exe's
# own `frame` output, which the Linux comparison holds to the Linux build.
# usage: d2xx-timed-test.sh WINE_RUN STEPCTL_CLI_EXE FAKE_FTD2XX_DLL
set -eu
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cp "$2" "$3" "$tmp"/
cd "$tmp"
printf '10,1\n20.5,0.5\n31.5,2\n0,0.36\n7,1.234\n' >list.txt
FAKE_D2XX_LOG=$tmp/calls.txt "$1" ./stepctl-cli.exe play --timed --sample-rate 100000 \
    --driver d2xx --repeat 2 --device ZMG-A4 --interface serial --file list.txt >out.txt
pass=""
for step in 10:100 20.5:50 31.5:200 0:36 7:123; do
    frame=$("$1" ./stepctl-cli.exe frame --device ZMG-A4 --interface serial --db "${step%%:*}")
    zeros=""
    n=$((${step##*:} - 36))
    [ "$n" -gt 0 ] && zeros=$(printf ' 00%.0s' $(seq 1 "$n"))
    pass="$pass $frame$zeros"
done
printf '%s\n' "FT_Open(0) #0" "FT_SetBitMode(#0, 0xFF, 1)" "FT_SetBaudRate(#0, 6250)" \
    "FT_Write(#0, 1018, took 1018)$pass$pass" "FT_Close(#0)" >want.txt
diff want.txt calls.txt
grep -q '^timed stream: 1018 samples at 100000 samples/s' out.txt
echo "d2xx timed test: one open, one mode, one rate and the 1018-byte stream"
