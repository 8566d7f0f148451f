#!/usr/bin/env bash
# One place for every build task. On a fresh Debian 12 machine it installs what is missing.
#   ./dev.sh run     build the program (alone) and start it on the bundled reference files
#   ./dev.sh test    configure, build and run every test
#   ./dev.sh asan    the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer
#   ./dev.sh tsan    vantrel-batch and vantrel-schedule built with ThreadSanitizer, on many threads
#   ./dev.sh wasm    the libraries compiled to WebAssembly with emscripten, and the tests of what
#                    a browser's standard library does otherwise (the float conversions) under Node.js
#   ./dev.sh web [serve|test]  the browser's edition in build/web (the window and the tools,
#                    offline); "serve" serves it on localhost, "test" drives it in headless Chromium
#   ./dev.sh deps [all]  install what the build needs (with "all": what every task needs)
#   ./dev.sh windows the Windows edition cross-built with MinGW-w64, its tests under Wine (in
#                    Xvfb), its sessions compared byte for byte with the Linux build's, and its
#                    installer and zip in build/windows/package, made and tried
#   ./dev.sh batch ARGS  optimised build, then vantrel-batch with ARGS
#   ./dev.sh tool NAME ARGS  optimised build of the tool NAME alone, then NAME with ARGS
#   ./dev.sh bench   optimised build, then the benchmarks
#   ./dev.sh package the Debian package build/package/vantrel_<version>-1_<arch>.deb
#   ./dev.sh fuzz [SECONDS]  each libFuzzer target for SECONDS (30) from the committed seeds
#   ./dev.sh pin     write the tools' outputs over the committed reference results in
#                    tests/reference/expected (after a change meant to move them; review the diff)
#   ./dev.sh format  apply the committed clang-format style
#   ./dev.sh lint    check the committed style and .clang-tidy's checks (as CI does)
#   ./dev.sh reference  make reference/sources/unsoda.csv from ../shared/data/unsoda (when there)
#                       and the bundled reference/Soil_WRC.csv from it
#   ./dev.sh validation make docs/validation.md again from the bundled reference files
#   ./dev.sh artwork    redraw the window's pictures and icons in src/ui/artwork, and the
#                       desktop icons in packaging/icons
#   ./dev.sh docs       make the user guide's screenshots again from docs/sessions
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ ccache googletest libgtest-dev libbenchmark-dev qt6-base-dev valgrind
          fonts-liberation2 poppler-utils xvfb xdotool chromium)

# Node.js and npm for the browser's tests: the machine's own where it has them (a Node.js
# package of its own bundles npm), else Debian's.
have_node() {
  command -v node >/dev/null && command -v npm >/dev/null && return 0
  install_missing nodejs npm
}

install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q "${missing[@]}"
}

# build PRESET [TARGET]...: configure and build the preset, or only the targets named.
build() {
  cmake --preset "$1" >/dev/null
  if [ $# -gt 1 ]; then
    cmake --build --preset "$1" --target "${@:2}"
  else
    cmake --build --preset "$1"
  fi
}

jobs() { nproc 2>/dev/null || echo 2; }

case "${1:-test}" in
  run)
    install_missing "${PACKAGES[@]}"
    build release vantrel  # the program and what it needs, no tests or tools
    # A folder of its own, ignored by git: the run writes fort.99 there, not in the checkout.
    mkdir -p run
    for f in reference/*.csv; do [ -e "run/$(basename "$f")" ] || cp "$f" run/; done
    cd run && exec ../build/release/src/app/vantrel
    ;;
  batch)
    install_missing "${PACKAGES[@]}"
    build release vantrel-batch >/dev/null
    exec ./build/release/src/batch/vantrel-batch "${@:2}"
    ;;
  docs)
    # The user guide's screenshots, from the session scripts in docs/sessions.
    install_missing "${PACKAGES[@]}"
    build release >/dev/null
    work="$(mktemp -d)"
    cp reference/*.csv "$work"/
    for script in docs/sessions/*.txt; do
      name="$(basename "$script" .txt)"
      (cd "$work" && QT_QPA_PLATFORM=offscreen FORT99=/dev/null \
        "$OLDPWD/build/release/tools/window_shot/window_shot" "$OLDPWD/docs/images/$name.png" \
        < "$OLDPWD/$script" > /dev/null)
    done
    rm -rf "$work"
    ;;
  tool)
    # Any of the command-line tools, built alone.
    case "${2:-}" in
      vantrel-batch) folder=batch ;;
      vantrel-schedule) folder=schedule ;;
      vantrel-reference) folder=import ;;
      vantrel-script) folder=app ;;
      *)
        echo "usage: $0 tool vantrel-batch|vantrel-schedule|vantrel-reference|vantrel-script [ARGS]" >&2
        exit 2
        ;;
    esac
    install_missing "${PACKAGES[@]}"
    build release "$2" >/dev/null
    exec "./build/release/src/$folder/$2" "${@:3}"
    ;;
  package)
    # The Debian package, in build/package; its dependencies come from dpkg-shlibdeps.
    install_missing "${PACKAGES[@]}" dpkg-dev
    build package
    (cd build/package && cpack -G DEB)
    ;;
  deps)
    # With "all": what every task needs, in one go (CI, before tasks run side by side).
    if [ "${2:-}" = all ]; then
      install_missing "${PACKAGES[@]}" dpkg-dev g++-mingw-w64-x86-64-posix wine wine64 nsis zip \
        unzip clang libclang-rt-14-dev clang-format clang-tidy time desktop-file-utils appstream \
        man-db groff-base lintian emscripten python3
      have_node
    else
      install_missing "${PACKAGES[@]}"
    fi
    ;;
  test)
    install_missing "${PACKAGES[@]}"
    build dev
    ctest --preset dev -j "$(jobs)"
    ;;
  pin)
    install_missing "${PACKAGES[@]}"
    build dev
    VANTREL_REGENERATE=1 ./build/dev/tests/vantrel_batch_tests --gtest_filter='ReferenceResults.*'
    git --no-pager diff --stat -- tests/reference/expected
    ;;
  asan)
    install_missing "${PACKAGES[@]}"
    build asan
    ctest --preset asan -j "$(jobs)"
    ;;
  windows)
    install_missing "${PACKAGES[@]}" g++-mingw-w64-x86-64-posix wine wine64 nsis zip unzip
    build dev >/dev/null
    build windows
    tests/windows/run.sh build/windows build/dev . "$(sed -n 's/^project(Vantrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
    ;;
  wasm)
    install_missing cmake ninja-build ccache emscripten
    export NODE_PATH=/usr/share/nodejs  # emscripten's scripts need Debian's acorn, whatever node runs
    cmake --preset wasm >/dev/null
    cmake --build --preset wasm
    ctest --preset wasm
    ;;
  web)
    # The browser's edition in build/web; "serve" also serves it on localhost, "test" runs the
    # page's tests in headless Chromium.
    install_missing cmake ninja-build ccache emscripten fonts-liberation2 python3
    export NODE_PATH=/usr/share/nodejs
    cmake --preset wasm >/dev/null
    cmake --build --preset wasm --target vantrel-web vantrel-batch vantrel-schedule
    web/make_folder.sh build/wasm build/web
    web/folder_sizes.sh build/web
    case "${2:-}" in
      serve) python3 -m http.server --bind 127.0.0.1 --directory build/web "${3:-8090}" ;;
      test)
        install_missing "${PACKAGES[@]}"
        have_node
        build dev >/dev/null
        tests/web/page/run.sh build/web build/dev
        ;;
    esac
    ;;
  tsan)
    install_missing "${PACKAGES[@]}"
    cmake --preset tsan >/dev/null
    cmake --build --preset tsan
    tests/batch/batch_threads.sh build/tsan/src/batch/vantrel-batch reference examples "${2:-3}"
    tests/schedule/schedule_threads.sh build/tsan/src/schedule/vantrel-schedule reference examples
    ;;
  bench)
    install_missing "${PACKAGES[@]}" time
    build release
    ./build/release/bench/vantrel_benchmarks "${@:2}"
    bench/batch_bench.sh build/release/src/batch/vantrel-batch build/release/bench/vantrel_benchmarks \
      reference
    bench/window_bench.sh build/release/bench/window_clock reference
    bench/schedule_bench.sh build/release/src/schedule/vantrel-schedule reference examples
    ;;
  reference)
    install_missing "${PACKAGES[@]}"
    build release make_unsoda_input make_reference_set
    # The measured soils, as vantrel-reference's input, from the shared copy of UNSODA 2.0.
    unsoda=../shared/data/unsoda
    if [ -d "$unsoda" ]; then
      (cd "$unsoda" && md5sum --quiet -c MD5SUMS)
      ./build/release/tools/unsoda/make_unsoda_input "$unsoda" -o reference/sources/unsoda.csv
    else
      echo "dev.sh: no $unsoda; the committed reference/sources/unsoda.csv serves" >&2
    fi
    made="$(mktemp)"
    ./build/release/tools/reference_data/make_reference_set reference/sources/unsoda.csv \
      reference/Soil_texture_default.csv > "$made"
    mv "$made" reference/Soil_WRC.csv
    chmod 644 reference/Soil_WRC.csv
    ;;
  validation)
    install_missing "${PACKAGES[@]}"
    build release >/dev/null
    ./build/release/tools/validation/make_validation reference > docs/validation.md
    ;;
  artwork)
    install_missing "${PACKAGES[@]}"
    build release
    QT_QPA_PLATFORM=offscreen ./build/release/tools/artwork/make_artwork src/ui/artwork \
      packaging/icons
    tools/report_pictures.sh build/release docs/images
    ;;
  fuzz)
    install_missing clang libclang-rt-14-dev cmake ninja-build
    build fuzz
    seconds="${2:-30}"
    # One target a core at a time: each runs for its time whatever else runs.
    fuzz_one() {
      local target="$1" work
      work="$(mktemp -d)"
      if ! ./build/fuzz/fuzz/$target -max_total_time="$seconds" -timeout=20 \
        -print_final_stats=1 "$work" "fuzz/corpus/${target#fuzz_}" > "$work.log" 2>&1; then
        echo "== $target for ${seconds}s"
        tail -n 40 "$work.log"
        echo "$target found a fault: the input is in the log above (crash-* in $(pwd))"
        return 1
      fi
      echo "== $target for ${seconds}s"
      tail -n 4 "$work.log"
      rm -rf "$work" "$work.log"
    }
    export -f fuzz_one
    export seconds
    printf '%s\n' fuzz_text fuzz_readers fuzz_properties fuzz_batch fuzz_schedule fuzz_session |
      xargs -P "$(jobs)" -I{} bash -c 'fuzz_one {}'
    ;;
  format)
    install_missing clang-format
    git ls-files '*.cpp' '*.hpp' | xargs clang-format -i
    ;;
  lint)
    # The committed style and .clang-tidy's checks, each failing on any finding. Tidy reads the
    # dev build's compile commands; the Windows-only files are checked by the MinGW build, the
    # browser's (ui/web, web_main.cpp) by emscripten's, both with every warning an error.
    install_missing "${PACKAGES[@]}" clang-format clang-tidy
    git ls-files '*.cpp' '*.hpp' | xargs clang-format --dry-run --Werror
    cmake --preset dev >/dev/null
    git ls-files 'src/*.cpp' 'tools/*.cpp' | grep -v -E 'win32|_windows|ui/web/|web_main' |
      xargs -P "$(jobs)" -n 4 clang-tidy -p build/dev --quiet 2>/dev/null | grep -v '^$' |
      tee /tmp/vantrel-tidy.$$ || true
    if grep -q 'error:' /tmp/vantrel-tidy.$$; then rm -f /tmp/vantrel-tidy.$$; exit 1; fi
    rm -f /tmp/vantrel-tidy.$$
    echo "lint: the style and every tidy check hold"
    ;;
  *)
    echo "usage: $0 [run|test|asan|tsan|wasm|web|windows|batch|tool|bench|package|fuzz|format|lint|pin|reference|validation|artwork|docs|deps]" >&2
    exit 2
    ;;
esac
