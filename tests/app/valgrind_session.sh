#!/usr/bin/env bash
# A full profile and a calculation in a scripted session under Valgrind memcheck: no leak,
# no invalid access. Usage: valgrind_session.sh VANTREL_SCRIPT REFERENCE_FOLDER
set -euo pipefail
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$2"/*.csv "$work"/
cd "$work"
printf '%s\n' 'scroll 1038 thumb 80' 'click 1010' 'type 1033 2' 'choose 1012 7' 'click 1010' \
  'type 1033 3' 'type 1032 40' 'click 1010' 'type 1033 4' 'click 1010' 'type 1033 5' \
  'click 1010' 'choose 1011 10' 'click 30002' 'text 1069' 'click 30001' > session.txt
valgrind --quiet --leak-check=full --show-leak-kinds=definite,indirect,possible \
  --errors-for-leak-kinds=definite,indirect,possible --error-exitcode=3 \
  "$1" < session.txt
test "$(wc -l < fort.99)" -eq 2
