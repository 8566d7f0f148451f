#!/usr/bin/env bash
# The static folder of the browser's edition, from the emscripten build and the sources:
#   web/make_folder.sh WASM_BUILD OUT
# The pages and their scripts, the modules, the bundled reference files and examples, the
# program's artwork and icons, the dialog font with its licence, the web app manifest, and a
# service worker that keeps every file of the folder (its cache named by their checksum).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$1"
out="$2"
font_dir=/usr/share/fonts/truetype/liberation2
rm -rf "$out"
mkdir -p "$out/reference" "$out/artwork" "$out/icons" "$out/examples"
cp "$root"/web/*.html "$root"/web/*.css "$root"/web/*.js "$root/web/manifest.webmanifest" "$out/"
for module in vantrel-web vantrel-batch vantrel-schedule; do
  for part in "$build"/src/*/"$module".js "$build"/src/*/"$module".wasm; do
    [ -e "$part" ] && cp "$part" "$out/"
  done
done
cp "$root"/reference/{Soil_WRC.csv,fao-crop_databse.csv,Soil_texture_default.csv,crop_coefficients.csv} \
  "$out/reference/"
cp "$root"/examples/{fields.csv,season.csv,weather.csv} "$out/examples/"
cp "$root"/src/ui/artwork/bitmap* "$out/artwork/"
cp "$root"/packaging/icons/vantrel-{32,48,64,128,256}.png "$root/packaging/icons/vantrel.svg" "$out/icons/"
cp "$font_dir/LiberationSans-Regular.ttf" "$out/"
cp /usr/share/doc/fonts-liberation2/copyright "$out/LiberationSans-LICENSE.txt"
# Every file but the worker itself, as the pages ask for them.
files=$(cd "$out" && find . -type f ! -name sw.js | sed 's|^\./||' | LC_ALL=C sort)
version=$(cd "$out" && echo "$files" | xargs sha256sum | sha256sum | cut -c1-16)
list=$(echo "$files" | sed "s/.*/'&'/" | paste -sd, -)
sed -e "s|@VERSION@|$version|" -e "s|@FILES@|'./', $list|" "$root/web/sw.js.in" > "$out/sw.js"
rm -f "$out/sw.js.in"
