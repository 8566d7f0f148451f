#!/usr/bin/env bash
# The browser's edition driven in Debian's Chromium by puppeteer-core (from npm, at the locked
# version; it downloads no browser):
#   tests/web/page/run.sh WEB_FOLDER DESKTOP_BUILD
# The desktop build gives vantrel-script and the tools whose outputs the page must match.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../../.." && pwd)"
web="$(realpath "$1")"
desktop="$(realpath "$2")"
if [ ! -d "$here/node_modules/puppeteer-core" ]; then
  (cd "$here" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
fi
node "$here/run.mjs" "$web" "$desktop" "$root" "$root/build/web-test"
