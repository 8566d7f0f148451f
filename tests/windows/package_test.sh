#!/usr/bin/env bash
# The Windows packages as a user meets them, in a Wine prefix of their own: the installer run
# silently (/S) installs per user with a Start-menu entry and an uninstall entry; the launcher
# seeds %APPDATA%\Vantrel once and never overwrites a file there; a session with the installed
# vantrel-script.exe gives the Linux build's output; the launcher starts the window in that
# folder; the uninstaller removes the program and leaves the user's folder. The portable zip
# runs where it is unpacked, and no program needs a MinGW DLL.
#   package_test.sh WINDOWS_BUILD LINUX_BUILD SOURCE_DIR VERSION
set -u
windows="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
source="$(cd "$3" && pwd)"
version="$4"
work="$(mktemp -d)"
. "$(dirname "$0")/wine_display.sh"
export WINEPREFIX="$work/prefix"
cleanup() {
  stop_wine_display
  rm -rf "$work"
}
trap cleanup EXIT
failed=0
check() {  # description, then a command that must succeed
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failed=1; fi
}
win() { wine "$@" 2>/dev/null | tr -d '\r'; }
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

start_wine_display "$work" || exit 1
wineboot -i >/dev/null 2>&1
setup="$windows/package/vantrel-$version-win64-setup.exe"
check "the installer runs silently" wine "$setup" /S
wineserver -w
# The user's folders straight from the prefix: asking cmd for %LOCALAPPDATA% just after the
# installer has come back empty on a loaded machine, and an empty path tests nothing.
installed="$(ls -d "$WINEPREFIX"/drive_c/users/*/AppData/Local/Programs/Vantrel 2>/dev/null | head -n 1)"
if [ -z "$installed" ]; then
  echo "no Vantrel under any user's AppData/Local/Programs; what the prefix holds:"
  ls -R "$WINEPREFIX"/drive_c/users 2>/dev/null | head -n 40
  installed="$WINEPREFIX/drive_c/users/missing"
fi
roaming="${installed%/Local/Programs/Vantrel}/Roaming"
check "the programs are installed per user in $installed" \
  test -f "$installed/vantrel.exe" -a -f "$installed/vantrel-script.exe" \
       -a -f "$installed/reference/Soil_WRC.csv" -a -f "$installed/uninstall.exe"
check "a Start-menu entry" test -f "$roaming/Microsoft/Windows/Start Menu/Programs/Vantrel.lnk"
check "an uninstall entry for the user" bash -c \
  "wine reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel' >/dev/null 2>&1"

folder="$(unix_path "$(win "$installed/vantrel-launcher.exe" --seed | tail -n 1)")"
# Never let an unanswered launcher turn the checks below on the root folder.
[ -n "$folder" ] || folder="$work/no-folder-given"
check "the launcher seeds the user's folder $folder" \
  cmp -s "$folder/Soil_WRC.csv" "$source/reference/Soil_WRC.csv"
echo "the user's own file" > "$folder/fao-crop_databse.csv"
rm "$folder/Soil_texture_default.csv"
win "$installed/vantrel-launcher.exe" --seed > /dev/null
check "a second start keeps the user's file" grep -q "own file" "$folder/fao-crop_databse.csv"
check "and restores a missing one" cmp -s "$folder/Soil_texture_default.csv" \
  "$source/reference/Soil_texture_default.csv"
cp "$source/reference/fao-crop_databse.csv" "$folder/"

mkdir "$work/linux"
cp "$source"/reference/*.csv "$work/linux/"
session="$source/docs/sessions/profile.txt"
(cd "$work/linux" && "$linux/src/app/vantrel-script" < "$session" > out.txt 2>&1)
(cd "$folder" && wine "$installed/vantrel-script.exe" < "$session" > "$work/installed.txt" 2>&1)
check "a session with the installed vantrel-script.exe" cmp "$work/linux/out.txt" "$work/installed.txt"
check "its trace file in the user's folder" cmp "$work/linux/fort.99" "$folder/fort.99"

# A crop list of its own in the user's folder shows that the program starts there.
head -n 7 "$source/reference/fao-crop_databse.csv" > "$folder/fao-crop_databse.csv"
(wine "$installed/vantrel-launcher.exe"; echo $? > "$work/status") &
window="$(timeout 60 xdotool search --sync --onlyvisible --name 'Vantrel \(Version' | head -n 1)"
check "the launcher starts the window" test -n "$window"
check "the program runs in the user's folder (its three crops are listed)" \
  test "$(win "$windows/tests/windows/window_probe.exe" entries 1011)" = 3
read -r x y w h < <(win "$windows/tests/windows/window_probe.exe" rect 30001)
xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
for _ in $(seq 100); do [ -s "$work/status" ] && break; sleep 0.1; done
check "\"Exit\" ends it with status 0" test "$(cat "$work/status" 2>/dev/null)" = 0

wine "$installed/uninstall.exe" /S
wineserver -w
check "the uninstaller removes the programs" test ! -e "$installed/vantrel.exe" -a ! -e "$installed"
check "and the Start-menu entry" test ! -e "$roaming/Microsoft/Windows/Start Menu/Programs/Vantrel.lnk"
check "and the uninstall entry" \
  bash -c "! wine reg query 'HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel' >/dev/null 2>&1"
check "and leaves the user's folder" test -f "$folder/Soil_WRC.csv"

mkdir "$work/unpacked"
(cd "$work/unpacked" && unzip -q "$windows/package/vantrel-$version-win64.zip")
portable="$work/unpacked/vantrel-$version-win64"
(cd "$portable" && wine ./vantrel-script.exe < "$session" > "$work/portable.txt" 2>&1)
check "the portable zip runs where it is unpacked" cmp "$work/linux/out.txt" "$work/portable.txt"
for program in "$portable"/*.exe; do
  dlls="$(x86_64-w64-mingw32-objdump -p "$program" | sed -n 's/.*DLL Name: //p' | tr '\n' ' ')"
  check "$(basename "$program") needs only system DLLs ($dlls)" \
    bash -c "! echo '$dlls' | grep -qiE 'libstdc|libgcc|libwinpthread'"
done
exit "$failed"
