#!/bin/sh
# The include check over its fixture must fail and name exactly the three
# offending includes: documents -> tools, tools -> the menu table, core -> report.
dir=$(dirname "$0")
out=$(perl "$dir/check-includes.pl" "$dir/fixtures/src") && {
  echo "the check passed a tree with upward includes"; exit 1; }
expected='documents/rules.cpp:2: shell/ui/report.h (a core file includes an interface header)
documents/ui/page.cpp:3: tools/ui/scanner.h (floor 2 includes floor 3)
tools/ui/scanner.cpp:4: shell/ui/menu_table.h (floor 3 includes floor 4)'
[ "$out" = "$expected" ] || { printf 'expected:\n%s\nfound:\n%s\n' "$expected" "$out"; exit 1; }
echo "the check reports the three upward includes"
