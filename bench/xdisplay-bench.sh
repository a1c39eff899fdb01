#!/usr/bin/env bash
# The marking menu beside a QMenu at a real X display (bench/README.md,
# "Marking menus at a real display, side by side with QMenu"). For each
# screen size, without and with a compositing manager, starts an Xvfb of its
# own (and xcompmgr), runs tnui_bench_xdisplay on it, stops them by process
# id, and prints one markdown table at the end.
#
# Usage, from the repository root after building tnui_bench_xdisplay:
#   bench/xdisplay-bench.sh [--program PATH] [--popups N] [--sizes "WxH ..."]
#                           [--compositor no|yes|both]
# Defaults: build/bench/bench/tnui_bench_xdisplay, 20 popups of each kind,
# 1600x1000 and 3840x2160, both.
set -euo pipefail

program=build/bench/bench/tnui_bench_xdisplay
popups=20
sizes="1600x1000 3840x2160"
compositor=both
while [[ $# -gt 0 ]]; do
  [[ $# -ge 2 ]] || { echo "xdisplay-bench: $1 needs a value" >&2; exit 2; }
  case $1 in
    --program) program=$2 ;;
    --popups) popups=$2 ;;
    --sizes) sizes=$2 ;;
    --compositor) compositor=$2 ;;
    *) echo "xdisplay-bench: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
case $compositor in
  no) modes=(no) ;;
  yes) modes=(yes) ;;
  both) modes=(no yes) ;;
  *) echo "xdisplay-bench: --compositor is no, yes or both" >&2; exit 2 ;;
esac

tools=(Xvfb xdotool)
[[ $compositor != no ]] && tools+=(xcompmgr)
for tool in "${tools[@]}"; do
  command -v "$tool" >/dev/null ||
    { echo "xdisplay-bench: $tool is missing (scripts/install-deps test installs it)" >&2; exit 1; }
done
[[ -x $program ]] ||
  { echo "xdisplay-bench: $program is not built (cmake --build build/bench --target tnui_bench_xdisplay)" >&2; exit 1; }

tmp=$(mktemp -d)
# Qt wants one; mktemp's folder is private to the user.
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$tmp}
pids=()
# Stops what this script started, the last first.
stop() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null || true
    wait "${pids[$i]}" 2>/dev/null || true
  done
  pids=()
}
trap 'stop; rm -rf "$tmp"' EXIT
trap 'exit 1' INT TERM

table=""
header=()
for size in $sizes; do
  for mode in "${modes[@]}"; do
    # Xvfb picks a free display and writes its number to the file.
    : >"$tmp/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    xvfb=$!
    pids+=("$xvfb")
    for _ in $(seq 100); do
      [[ -s $tmp/display && -z $(tail -c1 "$tmp/display") ]] && break
      kill -0 "$xvfb" 2>/dev/null || { cat "$tmp/xvfb.log" >&2; echo "xdisplay-bench: Xvfb ended" >&2; exit 1; }
      sleep 0.1
    done
    [[ -s $tmp/display ]] || { echo "xdisplay-bench: Xvfb gave no display" >&2; exit 1; }
    DISPLAY=":$(head -n1 "$tmp/display")"
    export DISPLAY
    options=(--server-pid "$xvfb" --popups "$popups" "${header[@]}")
    if [[ $mode == yes ]]; then
      xcompmgr >/dev/null 2>&1 &
      pids+=("$!")
      options+=(--compositor-pid "$!")
    fi
    echo "xdisplay-bench: $size, compositor: $mode, on $DISPLAY" >&2
    # In the background, so that a signal to the script stops it at once.
    env -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" "${options[@]}" >"$tmp/rows" &
    pids+=("$!")
    status=0
    wait "$!" || status=$?
    unset 'pids[-1]'
    ((status == 0)) || { echo "xdisplay-bench: $program failed on $size, compositor: $mode" >&2; exit 1; }
    table+=$(cat "$tmp/rows")$'\n'
    header=(--no-header)
    stop
  done
done
printf '\n%s' "$table"
