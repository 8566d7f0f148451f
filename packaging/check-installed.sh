#!/usr/bin/env bash
# The package as a user meets it: build it, install it with apt, use what it installed as a
# user would, then remove it and check that nothing of it is left in the system folders.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
started=$SECONDS

./dev.sh package
deb="$(ls build/package/vantrel_*_*.deb | head -n 1)"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q \
  "./$deb" desktop-file-utils appstream man-db groff-base lintian > /dev/null

# Debian's own checks of the package: an error fails the run, warnings are shown.
lintian --fail-on error --allow-root "$deb"
files="$(dpkg -L vantrel)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "installed package: $1" >&2; exit 1; }

# The launcher seeds a fresh data home from the installed reference files.
folder="$(XDG_DATA_HOME="$work/data" vantrel-launcher --seed)"
for f in Soil_WRC.csv fao-crop_databse.csv Soil_texture_default.csv; do
  cmp -s "reference/$f" "$folder/$f" || fail "$f in $folder is not the bundled one"
done

# A scripted session there gives what the same session gives on the bundled files.
session='click 1010\ntext 1020\ntext 1013\nchoose 1011 1\nclick 30002\ntext 1069\ntext 1072\n'
got="$(cd "$folder" && printf "$session" | FORT99=/dev/null vantrel-script)"
want="$(cd reference && printf "$session" | FORT99=/dev/null "$OLDPWD/build/package/src/app/vantrel-script")"
[ "$got" = "$want" ] || fail "the session gave '$got', not '$want'"
[ "$(cd "$folder" && printf 'choose 1011 1\nclick 30002\n' | vantrel-script; ls fort.99)" = "fort.99" ] ||
  fail "fort.99 did not land in the user's folder"

# The command-line tools and their version, the manuals, the desktop files.
[ "$(vantrel-batch --version)" = "vantrel-batch 1.5.3" ] || fail "vantrel-batch --version"
[ "$(vantrel-reference --version)" = "vantrel-reference 1.5.3" ] || fail "vantrel-reference --version"
[ "$(vantrel-script --version)" = "vantrel-script 1.5.3" ] || fail "vantrel-script --version"
[ "$(vantrel-schedule --version)" = "vantrel-schedule 1.5.3" ] || fail "vantrel-schedule --version"
[ "$(vantrel-launcher --version)" = "vantrel-launcher 1.5.3" ] || fail "vantrel-launcher --version"
vantrel-launcher --help | grep -q -- --seed || fail "vantrel-launcher --help"
vantrel-script --help | grep -q "usage: vantrel-script" || fail "vantrel-script --help"

# The manual's example, as it stands, on the installed example input.
examples=/usr/share/doc/vantrel/examples
[ -f "$examples/fields.csv" ] && [ -f "$examples/measured.csv" ] || fail "no examples in $examples"
man vantrel-batch 2>/dev/null | grep -q "$examples/fields.csv" || fail "the manual's example path"
vantrel-batch --quiet --data /usr/share/vantrel/reference "$examples/fields.csv" > "$work/results.csv"
[ "$(wc -l < "$work/results.csv")" -eq 5 ] || fail "vantrel-batch on $examples/fields.csv"
# The season example on its weather, with the installed crop stages found by themselves, gives
# the season the source tree pins.
vantrel-schedule --quiet --data /usr/share/vantrel/reference --weather "$examples/weather.csv" \
  "$examples/season.csv" > "$work/season.csv" || fail "vantrel-schedule on $examples/season.csv"
cmp -s "$work/season.csv" tests/reference/expected/season-example-totals.csv ||
  fail "vantrel-schedule's season differs from tests/reference/expected/season-example-totals.csv"
# Every picture the installed guide shows is installed beside it.
for image in $(grep -o 'images/[a-z-]*\.png' /usr/share/doc/vantrel/user-guide.md); do
  [ -f "/usr/share/doc/vantrel/$image" ] || fail "the user guide's $image is not installed"
done
for page in vantrel vantrel-launcher vantrel-script vantrel-batch vantrel-reference vantrel-schedule; do
  man -w "$page" > /dev/null || fail "no manual page for $page"
  [ -z "$(zcat -f "$(man -w "$page")" | groff -man -ww -z 2>&1)" ] || fail "the manual page of $page warns"
done
desktop-file-validate /usr/share/applications/org.vantrel.Vantrel.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.vantrel.Vantrel.metainfo.xml > /dev/null
for size in 16 32 48 64 128 256; do
  [ -f "/usr/share/icons/hicolor/${size}x${size}/apps/org.vantrel.Vantrel.png" ] ||
    fail "no ${size}x${size} icon"
done

# Removed, it leaves nothing behind in the system folders.
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get remove -y -q vantrel > /dev/null
left=""
while IFS= read -r path; do
  [ -e "$path" ] && [ ! -d "$path" ] && left="$left $path"
done <<< "$files"
[ -z "$left" ] || fail "left behind after removal:$left"
echo "the package installs, works and removes cleanly ($((SECONDS - started)) s)"
