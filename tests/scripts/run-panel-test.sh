#!/usr/bin/env bash
# scripts/run-panel as a new user runs it, with cmake and xvfb-run replaced by stand-ins that
# only write down how they were called: it must build the panel alone (not the tests), then
# start that panel on a virtual X server with the arguments it was given.
#   run-panel-test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
for tool in cmake xvfb-run; do
    printf '#!/bin/sh\necho "%s $*" >>"%s"\n' "$tool" "$work/calls" >"$work/bin/$tool"
    chmod +x "$work/bin/$tool"
done

env -u DISPLAY -u WAYLAND_DISPLAY PATH="$work/bin:$PATH" HOME="$work" \
    "$source_dir/scripts/run-panel" --simulate >"$work/out" 2>&1 || {
    cat "$work/out"
    exit 1
}
cat "$work/calls"

failures=0
builds=$(grep -c -- '^cmake --build' "$work/calls" || true)
[ "$builds" = 1 ] || { echo "FAIL: $builds builds"; failures=$((failures + 1)); }
grep -qx -- 'cmake --build --preset panel' "$work/calls" ||
    { echo "FAIL: the panel is not built alone"; failures=$((failures + 1)); }
tail -n1 "$work/calls" | grep -qx -- 'xvfb-run -a build-panel/StepCtl/stepctl --simulate' ||
    { echo "FAIL: the panel is not started last, with --simulate"; failures=$((failures + 1)); }
[ $failures = 0 ] && echo "run-panel builds only the panel"
exit $failures
