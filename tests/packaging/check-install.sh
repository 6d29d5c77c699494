#!/bin/sh
# Installs the build into a scratch prefix and checks that every file a system
# install needs is there: the program, pictures, local pages, desktop entry,
# AppStream file, icons and the compiled translations of po/LINGUAS.
#   check-install.sh CMAKE BUILD_DIR
cmake=$1 build=$2
prefix=$(mktemp -d /tmp/orvane-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || { echo "cmake --install failed"; exit 1; }
status=0
need() {
  [ -e "$prefix/$1" ] || { echo "missing: $1"; status=1; }
}
need bin/orvane
for p in orvane_start.png orvane_button.png orvane_log.png splash_orvane.png; do
  need "share/orvane/pixmaps/$p"
done
for page in main.html version.html about.html bug_rapport.html style.css DOC/doc.html; do
  need "share/orvane/www/$page"
done
need share/applications/orvane.desktop
need share/metainfo/org.orvane.Orvane.metainfo.xml
need share/icons/hicolor/48x48/apps/orvane.png
need share/icons/hicolor/128x128/apps/orvane.png
src=$(dirname "$0")/../..
for word_file in "$src"/data/doc/*; do
  [ "$(basename "$word_file")" = README.md ] && continue
  [ -f "$word_file" ] && need "share/orvane/doc/$(basename "$word_file")"
done
for lang in $(sed 's/#.*//' "$src/po/LINGUAS"); do
  need "share/locale/$lang/LC_MESSAGES/orvane.mo"
done
[ -x "$prefix/bin/orvane" ] || { echo "bin/orvane is not executable"; status=1; }
[ "$status" -eq 0 ] && echo "install tree complete under a scratch prefix"
exit "$status"
