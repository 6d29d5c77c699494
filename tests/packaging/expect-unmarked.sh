#!/bin/sh
# Runs the marking check over its fixture: it must fail and report exactly the
# lines that the fixture's "expect:" comment lists.
perl=$1 dir=$2
fixture="$dir/fixtures/ui/unmarked.cpp"
out=$("$perl" "$dir/check-marked-strings.pl" "$dir/unmarked-allowed.txt" "$fixture") && {
  echo "the check passed a file with unmarked strings"; exit 1; }
found=$(printf '%s\n' "$out" | sed -n 's/^[^:]*:\([0-9]*\): .*/\1/p' | tr '\n' ' ' | sed 's/ $//')
expected=$(sed -n 's|^// expect: ||p' "$fixture")
[ "$found" = "$expected" ] || { printf 'expected lines %s\nfound lines    %s\n%s\n' "$expected" "$found" "$out"; exit 1; }
echo "the check reports lines $found"
