#!/usr/bin/env bash
# Builds the .deb from a built tree into a temporary directory, unpacks it with dpkg -x into a
# temporary root and checks what it holds; then lintian, desktop-file-validate and appstreamcli
# judge it as Debian would.
#   check-deb.sh BUILD_DIR UDEV_RULES VERSION [--panel] [--cli] [--python]
# UDEV_RULES: the rule files, colon separated; VERSION: the project's version
# --panel:  the panel is built (expect /usr/bin/stepctl, its .desktop file, icon and metainfo)
# --cli:    the CLI is built (expect /usr/bin/stepctl-cli)
# --python: the python3 module is built (expect the package stepctl in dist-packages, importable
#           by /usr/bin/python3; STEPCTL_PYTHON_ENV, if set, is the environment that needs)
set -euo pipefail

build=$1 rules=$2 version=$3
shift 3
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
# lintian and appstreamcli keep caches below HOME and XDG_CACHE_HOME: keep them in here.
export HOME=$work/home XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config
mkdir -p "$HOME"
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

# The udev rules, always.
IFS=: read -r -a rule_files <<<"$rules"
for rule in "${rule_files[@]}"; do
    installed_rule=$root/usr/lib/udev/rules.d/$(basename "$rule")
    if [ ! -f "$installed_rule" ]; then
        fail "no /usr/lib/udev/rules.d/$(basename "$rule")"
    else
        cmp -s "$installed_rule" "$rule" || fail "the packaged rule differs from $rule"
        [ "$(stat -c %a "$installed_rule")" = 644 ] || fail "rule mode $(stat -c %a "$installed_rule")"
    fi
done
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx './postinst' || fail "no postinst"

# One version: the package's, the changelog's latest entry's and the project's.
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), project $version"
doc=$root/usr/share/doc/stepctl
[ -f "$doc/copyright" ] || fail "no copyright file"
if [ -f "$doc/changelog.gz" ]; then
    zcat "$doc/changelog.gz" >"$work/changelog"
    logged=$(dpkg-parsechangelog -l "$work/changelog" -S Version)
    [ "$logged" = "$version" ] || fail "changelog's latest entry is $logged, the project $version"
else
    fail "no changelog.gz"
fi

# Each program: stripped, with its man page.
programs=()
[ $panel = 1 ] && programs+=(stepctl)
[ $cli = 1 ] && programs+=(stepctl-cli)
for program in "${programs[@]}"; do
    [ -x "$root/usr/bin/$program" ] || { fail "no executable /usr/bin/$program"; continue; }
    file -b "$root/usr/bin/$program" | grep -q ', stripped' || fail "$program is not stripped"
    page=$root/usr/share/man/man1/$program.1.gz
    if [ ! -f "$page" ]; then
        fail "no man page for $program"
    else
        zcat "$page" | grep -q "^\.TH .*\"$program $version\"" || fail "$program's man page is not of $version"
    fi
done

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
        desktop-file-validate "$desktop" || fail "desktop-file-validate"
        # The desktop entry's name is the AppStream id the metainfo launches.
        id=$(basename "$desktop" .desktop)
        [[ $id =~ ^[a-z]+\.[a-z0-9]+\.[A-Za-z0-9]+$ ]] || fail "desktop entry $id is not a reverse-DNS id"
        metainfo=$root/usr/share/metainfo/$id.metainfo.xml
        if [ ! -f "$metainfo" ]; then
            fail "no metainfo for $id"
        else
            appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
            grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
                fail "the metainfo does not launch $id.desktop"
            grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
        fi
    fi
fi

# Debian's own judgement: no error and no warning (what is left is explained in
# packaging/README.md).
lintian --fail-on error,warning "$deb" || fail "lintian"

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
