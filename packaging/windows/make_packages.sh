#!/usr/bin/env bash
# The Windows packages from a cross-built tree: the installer vantrel-VERSION-win64-setup.exe
# (NSIS) and the portable vantrel-VERSION-win64.zip, whose folder holds the programs beside
# the reference files, so that vantrel.exe started there finds them.
#   make_packages.sh WINDOWS_BUILD SOURCE_DIR VERSION
set -euo pipefail
build="$(cd "$1" && pwd)"
source="$(cd "$2" && pwd)"
version="$3"
stage="$build/package/stage"
portable="$build/package/vantrel-$version-win64"
rm -rf "$build/package"
mkdir -p "$stage/reference" "$portable"
for program in app/vantrel app/vantrel-launcher app/vantrel-script batch/vantrel-batch \
               import/vantrel-reference schedule/vantrel-schedule; do
  cp "$build/src/$program.exe" "$stage/"
done
cp "$source"/reference/{Soil_WRC.csv,fao-crop_databse.csv,Soil_texture_default.csv,crop_coefficients.csv} \
  "$stage/reference/"
cp "$source/README.md" "$source/docs/user-guide.md" "$stage/"
cp "$source/LICENSE" "$stage/LICENSE.txt"
cp "$source/src/ui/artwork/vantrel.ico" "$stage/"

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" \
  -DOUTFILE="$build/package/vantrel-$version-win64-setup.exe" "$source/packaging/windows/vantrel.nsi"

# The portable folder: no launcher, the reference files where the program looks for them.
cp "$stage"/vantrel.exe "$stage"/vantrel-script.exe "$stage"/vantrel-batch.exe \
   "$stage"/vantrel-reference.exe "$stage"/vantrel-schedule.exe "$stage"/README.md "$stage"/user-guide.md \
   "$stage"/LICENSE.txt "$stage"/reference/*.csv "$portable/"
# Files dated by SOURCE_DATE_EPOCH (else the last commit), in a fixed order: the same zip twice.
epoch="${SOURCE_DATE_EPOCH:-$(git -C "$source" log -1 --format=%ct 2>/dev/null || echo 0)}"
find "$portable" -exec touch -d "@$epoch" {} +
(cd "$build/package" && find "vantrel-$version-win64" | LC_ALL=C sort |
   TZ=UTC zip -X -q "vantrel-$version-win64.zip" -@)
ls -l "$build/package/vantrel-$version-win64-setup.exe" "$build/package/vantrel-$version-win64.zip"
