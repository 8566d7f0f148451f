# Sourced by the Windows edition's test scripts: a display of their own for Wine's windows, on a
# number the server picks, and a Wine server that ends before the display does (else every
# Wine process still running reports the broken X connection).
#   start_wine_display WORK_DIR   sets DISPLAY; stop_wine_display ends both
start_wine_display() {
  Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5> "$1/display" 2>/dev/null &
  wine_display_server=$!
  for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.1; done
  [ -s "$1/display" ] || { echo "Xvfb did not start"; return 1; }
  export DISPLAY=":$(cat "$1/display")"
  export WINEDEBUG=-all
  # One server for the whole run: a server that ends between two programs races the next
  # program's connection ("recvmsg: Connection reset by peer").
  # The services it starts with the first program are started here, on no pipe of a caller
  # (ctest waits for every holder of a test's output to close it).
  wineserver -w 2>/dev/null
  wineserver -p 2>/dev/null
  timeout 60 wine cmd /c exit < /dev/null > /dev/null 2>&1
}
stop_wine_display() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  [ -n "${wine_display_server:-}" ] && kill "$wine_display_server" 2>/dev/null
  wine_display_server=
}
