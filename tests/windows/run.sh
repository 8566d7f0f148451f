#!/usr/bin/env bash
# Every test of the Windows edition, from a cross-built tree and a Linux build: the unit tests
# and the Win32 view's tests under Wine (in a display of their own), the sessions compared byte
# for byte with the Linux build's, the window used through the keyboard and mouse, the reports,
# then the installer and the zip made and tried.
#   run.sh WINDOWS_BUILD LINUX_BUILD SOURCE_DIR VERSION
set -u
windows="$(cd "$1" && pwd)"
linux="$(cd "$2" && pwd)"
source="$(cd "$3" && pwd)"
version="$4"
here="$(cd "$(dirname "$0")" && pwd)"
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$windows/wine-prefix}"
[ -d "$WINEPREFIX" ] || { wineboot -i >/dev/null 2>&1; wineserver -w; }
failed=0
step() {  # a title, then the command
  echo "== $1"
  "${@:2}" || { echo "FAILED: $1"; failed=1; }
}
unit_tests() {
  local work
  work="$(mktemp -d)"
  . "$here/wine_display.sh"
  start_wine_display "$work" || return 1
  ctest --test-dir "$windows" -j "$(nproc 2>/dev/null || echo 2)" --output-on-failure --timeout 300
  local status=$?
  stop_wine_display
  rm -rf "$work"
  return "$status"
}
step "unit tests and the Win32 view under Wine" unit_tests
step "sessions, byte for byte as on Linux" "$here/golden_sessions.sh" "$linux" "$windows" "$source"
step "the window through keyboard and mouse" "$here/window_test.sh" "$windows" "$linux" "$source" \
  "$windows/window.png"
step "the reports as HTML, and a PDF asked for" "$here/reports_test.sh" "$windows" "$linux" \
  "$source"
step "file names in any script, and outputs that are devices (NUL)" "$here/outputs_test.sh" \
  "$windows" "$linux" "$source"
step "the installer and the zip" "$source/packaging/windows/make_packages.sh" "$windows" "$source" \
  "$version"
step "the installer and the zip, tried" "$here/package_test.sh" "$windows" "$linux" "$source" "$version"
[ "$failed" -eq 0 ] && echo "every test of the Windows edition passed"
exit "$failed"
