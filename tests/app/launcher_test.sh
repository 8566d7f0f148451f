#!/usr/bin/env bash
# The launcher's seeding rule: missing reference files are copied into the user's folder,
# files already there are left as they are, and a folder that cannot be made is reported.
#   launcher_test.sh LAUNCHER REFERENCE_DIR
set -u
launcher="$1"
reference="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failed=0
check() {  # description, then a command that must succeed
  local what="$1"
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failed=1; fi
}
seed() { XDG_DATA_HOME="$1" VANTREL_REFERENCE_DIR="$reference" "$launcher" --seed; }

# A first start: the folder is made and all three files are copied.
folder="$(seed "$work/first")"
check "the folder is \$XDG_DATA_HOME/vantrel" test "$folder" = "$work/first/vantrel"
for f in Soil_WRC.csv fao-crop_databse.csv Soil_texture_default.csv; do
  check "$f copied" cmp -s "$reference/$f" "$folder/$f"
done

# A user's own file stays; only what is missing comes back.
echo "my own profiles" > "$folder/Soil_WRC.csv"
rm "$folder/fao-crop_databse.csv"
seed "$work/first" > /dev/null
check "an edited file is untouched" grep -qx "my own profiles" "$folder/Soil_WRC.csv"
check "a removed file is copied again" cmp -s "$reference/fao-crop_databse.csv" \
  "$folder/fao-crop_databse.csv"

# A folder that cannot be made (a file stands where it should go): a clear error, status 1.
touch "$work/blocked"
out="$(seed "$work/blocked" 2>&1)"
status=$?
check "an unusable folder stops with status 1" test "$status" -eq 1
check "and says which folder" grep -q "cannot create the folder $work/blocked/vantrel" <<< "$out"

# Without HOME or XDG_DATA_HOME there is no folder to use.
out="$(env -u HOME -u XDG_DATA_HOME VANTREL_REFERENCE_DIR="$reference" "$launcher" --seed 2>&1)"
check "no home is reported" grep -q "HOME and XDG_DATA_HOME are unset" <<< "$out"
# A copy cut short (here by a file-size limit, as by a full disk) leaves no reference file
# behind, and the next start copies it whole.
out="$( (ulimit -f 100; seed "$work/limited") 2>&1)"
status=$?
check "a copy cut short stops with status 1" test "$status" -eq 1
check "and leaves no half file" test ! -e "$work/limited/vantrel/Soil_WRC.csv"
check "nor a temporary one" test -z "$(ls -A "$work/limited/vantrel" | grep partial)"
seed "$work/limited" > /dev/null
check "the next start copies it whole" cmp -s "$reference/Soil_WRC.csv" \
  "$work/limited/vantrel/Soil_WRC.csv"

# Started through a link, it finds the installed files beside the script itself.
mkdir -p "$work/prefix/bin" "$work/prefix/share/vantrel" "$work/links"
cp "$launcher" "$work/prefix/bin/vantrel-launcher"
cp -r "$reference" "$work/prefix/share/vantrel/reference"
ln -s "$work/prefix/bin/vantrel-launcher" "$work/links/vl"
linked="$(XDG_DATA_HOME="$work/linked" "$work/links/vl" --seed 2>&1)"
check "a linked launcher seeds the folder" cmp -s "$reference/Soil_WRC.csv" "$linked/Soil_WRC.csv"

# Help and version answer without starting anything; other arguments are a usage error. A
# program that would start is a stand-in that fails loudly.
answers() {  # expected status, then the arguments
  local want="$1"
  shift
  out="$(VANTREL_PROGRAM=/bin/false XDG_DATA_HOME="$work/asked" "$launcher" "$@" 2>&1)"
  test "$?" -eq "$want"
}
check "--help answers with the usage" answers 0 --help
check "the usage names --seed" grep -q -- "--seed" <<< "$out"
check "--version answers with the version" answers 0 --version
check "the version is the launcher's" grep -qx "vantrel-launcher [0-9.]*" <<< "$out"
check "--help made no folder" test ! -e "$work/asked"
check "an unknown option is a usage error" answers 2 --frobnicate
check "and says so on standard error" grep -q "unknown arguments: --frobnicate" <<< "$out"
check "two arguments are a usage error" answers 2 --seed --seed
exit "$failed"
