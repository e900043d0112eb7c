#!/usr/bin/env bash
# End-to-end checks of the window program under a virtual X server (xvfb-run, xdotool):
# it starts and shows its window, refuses a second start with the box, converts a file
# through the window's own fields and button, writes its settings file on closing, and
# starts again after an instance was killed (its lock left behind).
#
#   tests/e2e/run-e2e.sh [ORVEN]            the built program (default: build/ui/orven)
#   tests/e2e/run-e2e.sh --package [BUILD]  builds the Debian package in BUILD (default:
#                                           build), has lintian check it, installs it with
#                                           dpkg -i, checks the installed /usr/bin/orven,
#                                           manual pages and completion, validates the
#                                           desktop entry and the AppStream metadata
#                                           (appstreamcli, desktop-file-validate), removes
#                                           the package
#
# Each run works in a fresh temporary folder with its own runtime folder (for the lock)
# and a copy of the program (for the settings file beside it). Exit status 0: all passed.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
if [ -z "${ORVEN_E2E_DISPLAY:-}" ]; then
  export ORVEN_E2E_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi

mode=program
if [ "${1:-}" = "--package" ]; then
  mode=package
  build=$(cd "${2:-$root/build}" && pwd)
else
  program=$(cd "$(dirname "${1:-$root/build/ui/orven}")" && pwd)/$(basename "${1:-orven}")
fi

# The program draws on the virtual X server, whatever platform the caller's tests use.
export QT_QPA_PLATFORM=xcb
# A program built with the sanitizers: leaks of system libraries are not ours to report.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$root/tests/e2e/lsan.supp:print_suppressions=0"

work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
started=()
passed=0
failed=0

cleanup() {
  for pid in "${started[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

say() { printf '%s\n' "$*"; }
check() {  # check NAME COMMAND...: one named check
  local name=$1; shift
  if "$@"; then passed=$((passed + 1)); say "ok: $name"
  else failed=$((failed + 1)); say "FAILED: $name"; fi
}

# The first visible window whose name matches the pattern, waiting up to $2 seconds.
wait_window() {
  local deadline=$((SECONDS + ${2:-20})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then printf '%s\n' "$id"; return 0; fi
    sleep 0.2
  done
  return 1
}
wait_no_window() {
  local deadline=$((SECONDS + ${2:-10}))
  while [ "$(window_count "$1")" -ne 0 ]; do
    if [ $SECONDS -ge $deadline ]; then return 1; fi
    sleep 0.2
  done
}
window_position() {
  xdotool getwindowgeometry "$1" | sed -n 's/.*Position: \([0-9-]*,[0-9-]*\).*/\1/p'
}
position_is() { [ -n "$1" ] && [ "$(window_position "$1")" = "$2" ]; }
has_window() { wait_window "$@" >/dev/null; }
window_count() { xdotool search --onlyvisible --name "$1" 2>/dev/null | wc -l; }

# Waits up to $2 seconds for process $1 to end; its exit status in $exit_status.
wait_exit() {
  local deadline=$((SECONDS + ${2:-20}))
  while kill -0 "$1" 2>/dev/null; do
    if [ $SECONDS -ge $deadline ]; then return 1; fi
    sleep 0.2
  done
  exit_status=0
  wait "$1" || exit_status=$?
  return 0
}

start_program() {  # start_program EXE: runs it in the background; its pid in $pid
  "$1" >>"$work/program.log" 2>&1 &
  pid=$!
  started+=("$pid")
}

click_at() {  # click_at WINDOW X Y: a left click at a point of the window's client area
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

fill_field() {  # fill_field WINDOW X Y TEXT
  click_at "$1" "$2" "$3"
  xdotool key --clearmodifiers ctrl+a BackSpace
  xdotool type --delay 1 "$4"
}

close_by_menu() {  # "ﾌｧｲﾙ(&F)" -> "終了(&X)"
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers alt+f
  sleep 0.3
  xdotool key x
}

open_version() {  # "ﾍﾙﾌﾟ(&H)" -> "Version(&A)"
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers alt+h
  sleep 0.3
  xdotool key a
}

title='^<BR>Ｏｒｖｅｎ$'

lintian_clean() {  # lintian_clean DEB: no error and no warning
  local report status=0
  report=$(lintian "$1" 2>&1) || status=$?
  if grep -E '^[EW]: ' <<<"$report"; then return 1; fi
  # lintian itself failing (not a finding) must not pass as clean.
  [ "$status" -eq 0 ] || { printf '%s\n' "$report"; return 1; }
}

docs_installed() {  # the documentation checks of the installed package; their report on failure
  local report
  report=$("$root/tests/docs/check-docs.sh" installed /usr) && return 0
  printf '%s\n' "$report"
  return 1
}

run_program_checks() {
  local exe=$1 ini=$2
  start_program "$exe"
  local first=$pid main
  main=$(wait_window "$title") || { check "the window titled <BR>Ｏｒｖｅｎ appears" false; return; }
  check "the window titled <BR>Ｏｒｖｅｎ appears" true

  # A second start: only the box, then it ends.
  start_program "$exe"
  local second=$pid box
  if box=$(wait_window '^警告$'); then
    check "a second start shows the box 警告" true
    check "the second start made no window of its own" [ "$(window_count "$title")" -eq 1 ]
    xdotool windowfocus --sync "$box" 2>/dev/null || true
    xdotool key Return || true
    check "the second start ends when the box is closed" wait_exit "$second" 10
    check "the second start ends with status 0" [ "${exit_status:-1}" -eq 0 ]
  else
    check "a second start shows the box 警告" false
  fi
  check "the first instance still runs" kill -0 "$first"

  # A conversion through the window: the fields, then the Execute button.
  local menu height
  height=$(xdotool getwindowgeometry "$main" | sed -n 's/.*Geometry: [0-9]*x\([0-9]*\).*/\1/p')
  menu=$((height - 427))  # the client area is 625 x 427 below the menu bar
  printf 'a<b & "c"\r\n\x83\x65\x83\x58\x83\x67\r\n' >"$work/in.txt"  # テスト in Shift_JIS
  xdotool windowfocus --sync "$main" 2>/dev/null || true
  fill_field "$main" 188 $((menu + 85)) "$work/in.txt"     # eLoad
  fill_field "$main" 188 $((menu + 107)) "$work/out.htm"   # eSave
  click_at "$main" 66 $((menu + 37))                       # bExe
  local done_box
  if done_box=$(wait_window '^完了'); then
    check "the completion dialog 完了 appears" true
    xdotool windowfocus --sync "$done_box" 2>/dev/null || true
    xdotool key Return || true
    sleep 0.5
    check "the completion dialog closes with OK" [ "$(window_count '^完了')" -eq 0 ]
  else
    check "the completion dialog 完了 appears" false
  fi
  check "the output holds the escaped first line" \
    grep -qF 'a&lt;b &amp; &quot;c&quot;<BR>' "$work/out.htm"
  check "the output keeps the Shift_JIS text" \
    grep -qF "$(printf '\x83\x65\x83\x58\x83\x67<BR>')" "$work/out.htm"

  # The version dialog: centred on the screen at first, where the user left it later.
  open_version "$main"
  local about
  if about=$(wait_window '^Version情報$'); then
    check "the version dialog is centred on the 1280 x 1024 screen" \
      position_is "$about" 507,405
    xdotool windowmove --sync "$about" 100 120 2>/dev/null || xdotool windowmove "$about" 100 120
    sleep 0.3
    xdotool windowfocus --sync "$about" 2>/dev/null || true
    xdotool key Return || true
    check "OK closes the version dialog" wait_no_window '^Version情報$'
    open_version "$main"
    about=$(wait_window '^Version情報$' || true)
    check "the version dialog comes back where it was moved" position_is "$about" 100,120
    xdotool windowfocus --sync "$about" 2>/dev/null || true
    xdotool key Return || true
    wait_no_window '^Version情報$' || true
  else
    check "the version dialog appears from the help menu" false
  fi

  # Closing by the menu saves the settings.
  close_by_menu "$main"
  check "closing by the menu ends the program" wait_exit "$first" 10
  check "the program ends with status 0" [ "${exit_status:-1}" -eq 0 ]
  check "the settings file was written" grep -q '^\[Form\]' "$ini"

  # An instance that crashed leaves its lock; the next start is not refused.
  start_program "$exe"
  local crashed=$pid
  if wait_window "$title" >/dev/null; then
    kill -KILL "$crashed"
    wait "$crashed" 2>/dev/null || true
    start_program "$exe"
    local next=$pid
    check "a start after a crash shows the window" has_window "$title"
    check "a start after a crash shows no box" [ "$(window_count '^警告$')" -eq 0 ]
    main=$(wait_window "$title" 1 || true)
    [ -n "$main" ] && close_by_menu "$main"
    check "the restarted instance closes" wait_exit "$next" 10
  else
    check "a start after a crash shows the window" false
  fi
}

if [ "$mode" = program ]; then
  [ -x "$program" ] || { say "no program at $program"; exit 2; }
  mkdir "$work/bin"
  cp "$program" "$work/bin/orven"  # the settings file goes beside this copy
  run_program_checks "$work/bin/orven" "$work/bin/orven.ini"
else
  (cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
  deb=$(ls -t "$build"/orven_*.deb | head -n 1)
  check "the Debian package builds" [ -f "$deb" ]
  check "lintian reports no error and no warning" lintian_clean "$deb"
  had_ini=0; [ -e /usr/bin/orven.ini ] && had_ini=1
  check "the Debian package installs" dpkg -i "$deb"
  check "the package holds the desktop entry" [ -f /usr/share/applications/orven.desktop ]
  check "the package holds the AppStream metadata" \
    [ -f /usr/share/metainfo/example.orven.Orven.metainfo.xml ]
  check "orven-cli runs" /usr/bin/orven-cli --version
  check "the manual pages and the completion work from the package" docs_installed
  run_program_checks /usr/bin/orven /usr/bin/orven.ini
  [ "$had_ini" -eq 0 ] && rm -f /usr/bin/orven.ini
  check "the Debian package removes" dpkg -r orven
fi

if [ "$failed" -ne 0 ] && [ -s "$work/program.log" ]; then
  say "--- what the program printed (last lines):"
  tail -n 60 "$work/program.log"
fi
say "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
