#!/bin/sh
# Checks every translation of po/LINGUAS against the strings marked in the
# sources as they are now (extracted afresh, the way the orvane-pot target does):
# msgfmt --check passes, no message is untranslated or fuzzy, and every marked
# string has its translation. Also fails when po/orvane.pot lacks a marked
# string, i.e. when it was not regenerated after a change.
#   check-catalogue.sh SOURCE_DIR "XGETTEXT_OPTIONS" FILE...   (FILE relative to SOURCE_DIR)
src=$1 options=$2
shift 2
work=$(mktemp -d /tmp/orvane-catalogue-XXXXXX)
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2086 # the options are separate words
(cd "$src" && xgettext $options --output="$work/current.pot" "$@") || {
  echo "xgettext failed"; exit 1; }
# The msgid lines of the extracted strings that msgcmp's log reports missing.
missing() {
  sed -n 's|^.*/current\.pot:\([0-9]*\): this message is used but not defined.*|\1|p' "$1" |
    head -n 20 | while read -r line; do
      awk -v n="$line" '/^msgid /{on = 1; b = $0} /^"/ && on {b = b "\n" $0}
        /^msgstr/{on = 0} NR == n {print b; exit}' "$work/current.pot"
    done
}
status=0
msgcmp --use-untranslated "$src/po/orvane.pot" "$work/current.pot" >"$work/pot.log" 2>&1 || {
  echo "po/orvane.pot is out of date (cmake --build <dir> --target orvane-pot):"
  missing "$work/pot.log"
  status=1
}
for lang in $(sed 's/#.*//' "$src/po/LINGUAS"); do
  po="$src/po/$lang.po"
  stats=$(LC_ALL=C msgfmt --check --statistics --output-file=/dev/null "$po" 2>&1) || {
    printf '%s: msgfmt --check fails\n%s\n' "$po" "$stats"; status=1; continue; }
  case $stats in
    *untranslated* | *fuzzy*) printf '%s: %s\n' "$po" "$stats"; status=1 ;;
  esac
  # Untranslated entries of the catalogue were reported above; this finds the
  # strings it lacks altogether.
  msgcmp "$po" "$work/current.pot" >"$work/$lang.log" 2>&1 || {
    printf '%s lacks translations (msgmerge it with po/orvane.pot and translate):\n' "$po"
    missing "$work/$lang.log"
    grep -e 'untranslated' -e 'reviewed' "$work/$lang.log" | head -n 20
    status=1
  }
  [ "$status" -eq 0 ] && printf '%s: %s\n' "$po" "$stats"
done
exit "$status"
