#!/usr/bin/env bash
# The folder map of docs/architecture.md, checked: each folder of src/ includes only the folders
# below it, only the program (app), its Qt view and the reports include Qt, only the Win32
# view and the Windows halves of the data and command-line layers include windows.h, and only
# the web view and the web program's entry include emscripten.h.
#   architecture_check.sh SRC_DIR
set -u
src="$1"
failed=0

# folder: the folders its files may include (its own included)
allowed() {
  case "$1" in
    data) echo "data" ;;
    cli) echo "data cli" ;;
    physics) echo "data physics" ;;
    profile) echo "data physics profile" ;;
    advice) echo "data physics profile advice" ;;
    season) echo "data physics profile advice season" ;;
    ui) echo "data ui" ;;
    window) echo "data physics profile ui window" ;;
    app) echo "data cli physics profile ui window app ui/qt ui/win32 ui/web" ;;
    ui/qt) echo "data ui ui/qt" ;;
    ui/web) echo "data ui ui/web" ;;
    ui/win32) echo "data ui ui/win32" ;;
    report) echo "data physics profile advice season report" ;;
    batch) echo "data cli physics profile advice report batch" ;;
    schedule) echo "data cli physics profile advice season report schedule" ;;
    import) echo "data cli physics import" ;;
    *) echo "" ;;
  esac
}

# The folder an include names: "ui/qt/qt_platform.hpp" is ui/qt.
folder_of() {
  case "$1" in
    ui/qt/*) echo "ui/qt" ;;
    ui/win32/*) echo "ui/win32" ;;
    ui/web/*) echo "ui/web" ;;
    *) echo "${1%%/*}" ;;
  esac
}

while IFS= read -r file; do
  rel="${file#"$src"/}"
  folder="$(dirname "$rel")"
  permitted="$(allowed "$folder")"
  if [ -z "$permitted" ]; then
    echo "$rel: the folder $folder is not in the map"
    failed=1
    continue
  fi
  while IFS= read -r included; do
    target="$(folder_of "$included")"
    case " $permitted " in
      *" $target "*) ;;
      *) echo "$rel includes $included: $folder may not use $target"; failed=1 ;;
    esac
  done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  if grep -q '^#include <Q' "$file"; then
    case "$rel" in
      app/* | ui/qt/* | report/*) ;;
      *) echo "$rel includes Qt: only app, ui/qt and report may"; failed=1 ;;
    esac
  fi
  if grep -q '^#include <windows.h>' "$file"; then
    case "$rel" in
      ui/win32/* | app/win32_* | data/*_windows.cpp | cli/*_windows.cpp) ;;
      *) echo "$rel includes windows.h: only the Win32 view and the Windows files may"; failed=1 ;;
    esac
  fi
  if grep -q '^#include <emscripten' "$file"; then
    case "$rel" in
      ui/web/* | app/web_main.cpp) ;;
      *) echo "$rel includes emscripten: only the web view and its entry may"; failed=1 ;;
    esac
  fi
done < <(find "$src" -name '*.cpp' -o -name '*.hpp' | sort)

[ "$failed" -eq 0 ] && echo "every folder includes only what it may"
exit "$failed"
