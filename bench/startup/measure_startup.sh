#!/usr/bin/env bash
# Time from exec to the main window mapped, for the built orvane and for geany
# when it is installed: N runs each (default 7), a fresh HOME every run, the
# median and the ratio printed as a small table.
#
#   bench/startup/measure_startup.sh [RUNS]
#
# Runs on the current DISPLAY (e.g. under xvfb-run, or the desktop). The
# program is ORVANE_BIN when set, else a Release build in build-startup, which
# is configured and built when missing. The watcher (map_watch.cpp) is built
# into the same folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-7}
build=${ORVANE_STARTUP_BUILD:-"$root/build-startup"}

if [ -z "${DISPLAY:-}" ]; then
  echo "measure_startup: no DISPLAY; run under xvfb-run or a desktop session" >&2
  exit 1
fi
case "$runs" in '' | *[!0-9]* | 0) echo "measure_startup: RUNS must be a positive number" >&2; exit 1 ;; esac

orvane=${ORVANE_BIN:-"$build/orvane"}
if [ -z "${ORVANE_BIN:-}" ] && [ ! -x "$orvane" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target orvane >/dev/null
fi
watch="$build/map_watch"
if [ ! -x "$watch" ] || [ "$root/bench/startup/map_watch.cpp" -nt "$watch" ]; then
  mkdir -p "$build"
  c++ -std=c++20 -O2 -Wall -Wextra -o "$watch" "$root/bench/startup/map_watch.cpp" -lX11
fi

scratch=$(mktemp -d /tmp/orvane-startup-XXXXXX)
trap 'rm -rf "$scratch"' EXIT

# One run: a new HOME with its XDG folders, nothing of the real one.
one_run() {
  local home
  home=$(mktemp -d "$scratch/home-XXXXXX")
  mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/run"
  chmod 700 "$home/run"
  env HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    XDG_CACHE_HOME="$home/.cache" XDG_RUNTIME_DIR="$home/run" \
    NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory GIO_USE_VFS=local \
    ORVANE_DATADIR="${ORVANE_DATADIR:-$root/data}" \
    "$watch" --timeout 60 "$@"
  rm -rf "$home"
}

# Prints the median of the numbers on stdin, or "-" when there are none.
median() {
  sort -n | awk '{ v[NR] = $1 } END {
    if (NR == 0) { print "-"; exit }
    if (NR % 2) printf "%.1f\n", v[(NR + 1) / 2]
    else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# Runs one program RUNS times; prints "median min max ok_runs".
measure() {
  local times=() t i
  for ((i = 0; i < runs; i++)); do
    t=$(one_run "$@" || true)
    case "$t" in
      '' | *[!0-9.]*) echo "  run $((i + 1)) of $1: ${t:-no answer}" >&2 ;;
      *) times+=("$t") ;;
    esac
  done
  if [ "${#times[@]}" -eq 0 ]; then
    echo "- - - 0"
    return
  fi
  local med min max
  med=$(printf '%s\n' "${times[@]}" | median)
  min=$(printf '%s\n' "${times[@]}" | sort -n | head -1)
  max=$(printf '%s\n' "${times[@]}" | sort -n | tail -1)
  echo "$med $min $max ${#times[@]}"
}

read -r o_med o_min o_max o_ok < <(measure "$orvane")
printf '%-8s %10s %10s %10s %6s %8s\n' program "median ms" "min ms" "max ms" runs ratio
printf '%-8s %10s %10s %10s %6s %8s\n' orvane "$o_med" "$o_min" "$o_max" "$o_ok/$runs" 1.00
if command -v geany >/dev/null 2>&1; then
  # --new-instance: never hand the start to a geany already running on the display.
  read -r g_med g_min g_max g_ok < <(measure "$(command -v geany)" --new-instance)
  ratio=-
  if [ "$o_med" != - ] && [ "$g_med" != - ]; then
    ratio=$(awk -v o="$o_med" -v g="$g_med" 'BEGIN { printf "%.2f", o / g }')
  fi
  printf '%-8s %10s %10s %10s %6s %8s\n' geany "$g_med" "$g_min" "$g_max" "$g_ok/$runs" "$ratio"
  echo "ratio: orvane median / geany median (below 1.00: orvane maps first)"
else
  printf '%-8s %s\n' geany "not installed"
fi
