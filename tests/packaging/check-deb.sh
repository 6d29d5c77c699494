#!/bin/sh
# Builds the Debian package from this build folder, installs it on the machine,
# starts the installed program as a user would (new x.sh, temporary HOME, no
# ORVANE_* variable) and checks that it created the file with its header and
# read its pictures and pages from /usr/share/orvane; then removes the package
# and checks that nothing of it is left. Needs root and apt-get; skips (77)
# otherwise, and when an orvane package is already installed.
#   check-deb.sh BUILD_DIR
build=$1
src=$(cd "$(dirname "$0")/../.." && pwd)
skip() { echo "skipped: $*"; exit 77; }
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
command -v apt-get >/dev/null && command -v cpack >/dev/null || skip "apt-get or cpack missing"
command -v strace >/dev/null && command -v xdotool >/dev/null ||
  skip "strace or xdotool missing (scripts/setup installs them)"
dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q 'install ok' &&
  skip "an orvane package is already installed here"

work=$(mktemp -d /tmp/orvane-deb-XXXXXX)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null
  dpkg-query -W -f='${Status}' orvane 2>/dev/null | grep -q 'install ok' &&
    DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq orvane >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

echo "building the package"
(cd "$build" && cpack -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; fail "cpack"; }
deb=$(ls "$work"/pkg/orvane_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no orvane_<version>_amd64.deb"
control=$(dpkg-deb -f "$deb")
printf '%s\n' "$control" | grep -q '^Depends:.*libgtk-3-0' || fail "Depends lacks the computed libraries: $control"
printf '%s\n' "$control" | grep -q '^Suggests:.*sshfs' || fail "Suggests lacks the outside tools"
dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' | grep -v '/$' >"$work/files"

echo "installing $(basename "$deb")"
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" \
  >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt-get install"; }
[ -x /usr/bin/orvane ] || fail "/usr/bin/orvane missing after install"
man=/usr/share/man/man1/orvane.1.gz
[ -f "$man" ] || fail "manual page not installed"
warnings=$(zcat "$man" | LC_ALL=C.UTF-8 groff -ww -man -Tutf8 2>&1 >/dev/null)
[ -z "$warnings" ] || fail "groff warns: $warnings"

home="$work/home"
mkdir -p "$home" "$work/start"
cd "$work/start" || fail "cd"
# Starts the installed program as a user would (no ORVANE_* variable), tracing
# the files it opens into $work/trace.NAME, and waits until PATTERN was opened.
start_installed() {
  local name=$1 pattern=$2
  shift 2
  env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" \
    DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-}" NO_AT_BRIDGE=1 \
    GSETTINGS_BACKEND=memory XDG_CACHE_HOME="$home/.cache" XDG_DATA_HOME="$home/.local/share" \
    strace -f -qq -o "$work/trace.$name" -e trace=open,openat /usr/bin/orvane "$@" &
  pid=$!
  for i in $(seq 1 120); do
    grep -q "$pattern" "$work/trace.$name" 2>/dev/null && break
    sleep 0.5
  done
  opid=$(pgrep -f "^/usr/bin/orvane${1:+ $1}\$")
}
# The program itself gets the signal; strace then ends with its exit status.
stop_installed() {
  kill -TERM "$opid" 2>/dev/null
  wait "$pid"; status=$?; pid=
  [ "$status" -eq 15 ] || fail "SIGTERM exit status $status"
}
check_trace() {
  ! grep -q "\"$src/" "$1" || fail "the installed program read the source tree: $(grep "\"$src/" "$1" | head -3)"
  ! grep -q '"/usr/local/share/orvane' "$1" || fail "the installed program looked in /usr/local"
}

echo "starting /usr/bin/orvane x.sh"
start_installed file '"/usr/share/orvane/pixmaps/[^"]*\.png"' x.sh
# The header goes into the new page; Ctrl+S writes it to the file.
win=$(timeout 30 xdotool search --sync --onlyvisible --pid "$opid" --class Orvane | head -n 1)
[ -n "$win" ] || fail "no main window"
xdotool windowfocus --sync "$win" key --clearmodifiers ctrl+s
for i in $(seq 1 60); do
  [ -s x.sh ] && break
  sleep 0.5
done
stop_installed
[ -s x.sh ] || fail "x.sh was not created with its header"
head -n 1 x.sh | grep -q '^#!/bin/bash' || fail "x.sh has no bash header: $(head -n 1 x.sh)"
[ -x x.sh ] || fail "x.sh is not executable"
grep -q '"/usr/share/orvane/pixmaps/[^"]*\.png"' "$work/trace.file" || fail "no picture read from /usr/share/orvane"
check_trace "$work/trace.file"

# Without a file the start view shows the product's start page.
echo "starting /usr/bin/orvane"
start_installed start '"/usr/share/orvane/www/main.html"'
stop_installed
grep -q '"/usr/share/orvane/www/main.html"' "$work/trace.start" || fail "start page not read from /usr/share/orvane"
check_trace "$work/trace.start"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq orvane >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log"; fail "apt-get purge"; }
left=$(while read -r f; do [ -e "$f" ] && echo "$f"; done <"$work/files")
[ -z "$left" ] || fail "left after removal: $left"
for d in /usr/share/orvane /usr/share/doc/orvane; do
  [ -e "$d" ] && fail "$d left after removal"
done
echo "package installed, run from /usr/share/orvane, and removed without a trace"
