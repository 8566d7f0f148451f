#!/usr/bin/env bash
# What the browser's edition transfers: each file of the folder as served, and gzip-compressed
# as a web server sends it; the first load of the window page is what it asks for.
#   web/folder_sizes.sh FOLDER
set -euo pipefail
folder="$1"
first_load=(index.html page.css store.js dialog_view.js vantrel-web.js vantrel-web.wasm page.js
            install.js LiberationSans-Regular.ttf reference/Soil_WRC.csv
            reference/fao-crop_databse.csv reference/Soil_texture_default.csv
            artwork/bitmap102.bmp artwork/bitmap104.bmp manifest.webmanifest sw.js)
total=0
compressed=0
for f in "${first_load[@]}"; do
  [ -e "$folder/$f" ] || continue
  total=$((total + $(wc -c < "$folder/$f")))
  compressed=$((compressed + $(gzip -9c "$folder/$f" | wc -c)))
done
all=$(du -sb "$folder" | cut -f1)
awk -v n="$(find "$folder" -type f | wc -l)" -v all="$all" -v first="$total" -v gz="$compressed" 'BEGIN {
  printf "build/web: %d files, %.0f kB; the window'"'"'s first load %.0f kB, %.0f kB compressed (gzip -9)\n",
         n, all / 1000, first / 1000, gz / 1000 }'
