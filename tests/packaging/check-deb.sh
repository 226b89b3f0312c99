#!/usr/bin/env bash
# Builds the .deb from a built tree into a temporary directory, unpacks it with dpkg -x into a
# temporary root and checks what it holds.
#   check-deb.sh BUILD_DIR UDEV_RULE [--panel] [--cli] [--python]
# --panel:  the panel is built (expect /usr/bin/stepctl, its .desktop file and its icon)
# --cli:    the CLI is built (expect /usr/bin/stepctl-cli)
# --python: the python3 module is built (expect the package stepctl in dist-packages, importable
#           by /usr/bin/python3; STEPCTL_PYTHON_ENV, if set, is the environment that needs)
set -euo pipefail

build=$1 rule=$2
shift 2
panel=0 cli=0 python=0
for arg in "$@"; do
    case $arg in
        --panel) panel=1 ;;
        --cli) cli=1 ;;
        --python) python=1 ;;
        *) echo "unknown argument $arg" >&2; exit 2 ;;
    esac
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log"
    exit 1
fi
shopt -s nullglob
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || { echo "FAIL: expected one .deb, got ${#debs[@]}"; exit 1; }
deb=${debs[0]}
echo "package: $(basename "$deb")"

root=$work/root
dpkg -x "$deb" "$root"
(cd "$root" && find . ! -type d | sort) >"$work/files"
sed 's/^/  /' "$work/files"

# Everything below /usr, nothing writable by others.
outside=$(grep -v '^\./usr/' "$work/files" || true)
[ -z "$outside" ] || fail "outside /usr: $outside"
[ -z "$(find "$root" ! -type l -perm -o+w)" ] || fail "world-writable: $(find "$root" ! -type l -perm -o+w)"

# The udev rule, always.
installed_rule=$root/usr/lib/udev/rules.d/60-stepctl.rules
if [ ! -f "$installed_rule" ]; then
    fail "no /usr/lib/udev/rules.d/60-stepctl.rules"
else
    cmp -s "$installed_rule" "$rule" || fail "the packaged rule differs from $rule"
    [ "$(stat -c %a "$installed_rule")" = 644 ] || fail "rule mode $(stat -c %a "$installed_rule")"
fi
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx './postinst' || fail "no postinst"

# The panel: binary, desktop entry that starts it, and the icon that entry names.
if [ $panel = 1 ]; then
    [ -x "$root/usr/bin/stepctl" ] || fail "no executable /usr/bin/stepctl"
    desktops=("$root"/usr/share/applications/*.desktop)
    if [ ${#desktops[@]} -ne 1 ]; then
        fail "expected one .desktop file, got ${#desktops[@]}"
    else
        desktop=${desktops[0]}
        exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -n1)
        [ "$(basename "${exec_line%% *}")" = stepctl ] || fail "Exec= does not start stepctl: $exec_line"
        icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n1)
        if [ -z "$icon" ]; then
            fail "the desktop entry names no icon"
        elif [ "${icon#/}" != "$icon" ]; then
            [ -f "$root$icon" ] || fail "icon $icon is not in the package"
        elif [ -z "$(find "$root/usr/share/icons" "$root/usr/share/pixmaps" \
                     \( -name "$icon.png" -o -name "$icon.svg" -o -name "$icon.xpm" \) \
                     2>/dev/null)" ]; then
            fail "no icon file for Icon=$icon"
        fi
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$desktop" || fail "desktop-file-validate"
        fi
    fi
fi

# The CLI.
if [ $cli = 1 ]; then
    [ -x "$root/usr/bin/stepctl-cli" ] || fail "no executable /usr/bin/stepctl-cli"
fi

# The python3 module: the package with its extension for Debian's interpreter, importable.
if [ $python = 1 ]; then
    site=$root/usr/lib/python3/dist-packages
    suffix=$(/usr/bin/python3 -c 'import sysconfig; print(sysconfig.get_config_var("EXT_SUFFIX"))')
    for file in __init__.py __init__.pyi py.typed "_core$suffix"; do
        [ -f "$site/stepctl/$file" ] || fail "no $site/stepctl/$file"
    done
    # shellcheck disable=SC2086  # the environment is words
    hex=$(env ${STEPCTL_PYTHON_ENV:-} PYTHONPATH="$site" PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 \
          -c 'import stepctl; print(stepctl.frame("ZMG-B2", "parallel", 10.7).hex())') ||
        fail "the packaged module does not import"
    [ "${hex:-}" = "00323a32$(printf '0%.0s' {1..64})" ] || fail "the packaged module gives $hex"
fi

# Depends, computed from the binaries: both link libftdi1.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
if [ $panel = 1 ] || [ $cli = 1 ]; then
    grep -q 'libftdi1-2' <<<"$depends" || fail "Depends lacks libftdi1-2"
fi

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "package checks passed"
