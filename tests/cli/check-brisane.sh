#!/usr/bin/env bash
# The host program `brisane` as a person uses it: bad arguments and bad documents end with a
# clear error and exit code 2 and write nothing; a good run splits and writes the document.
set -uo pipefail
brisane=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '{"measureCount": 4, "groups": [{"startStaff": "x"}]}' > "$work/bad.json"
failures=0

# expect_error MESSAGE-PART ARGS...: exit code 2, the message on standard error, no output file.
expect_error() {
  local want=$1; shift
  rm -f "$work/out.json"
  "$brisane" "$@" --output "$work/out.json" >/dev/null 2>"$work/err"
  local code=$?
  if [ $code -ne 2 ] || ! grep -qF -- "$want" "$work/err" || [ -e "$work/out.json" ]; then
    echo "FAIL: brisane $* -> exit $code, stderr: $(head -n1 "$work/err")"
    failures=$((failures + 1))
  fi
}

q="$examples/string-quartet.json"
expect_error "unknown option --frobnicate" "$q" --staves 1-4 --measures 5-8 --frobnicate
expect_error "no staves selected" "$q" --measures 5-8
expect_error "no measures selected" "$q" --staves 1-4
expect_error "--staves: 'x' is not a number" "$q" --staves 1-x --measures 5-8
expect_error "--measures: 40000 is out of range" "$q" --staves 1-4 --measures 5-40000
expect_error "--yes and --no exclude each other" "$q" --staves 1-4 --measures 5-8 --yes --no
expect_error "no document given" --staves 1-4 --measures 5-8
expect_error "groups[0].startStaff: expected an integer" "$work/bad.json" --staves 1-2 --measures 1-2
expect_error "missing.json" "$work/missing.json" --staves 1-2 --measures 1-2
expect_error "cannot load the plug-in" "$q" --staves 1-4 --measures 5-8 --plugin "$work/none.fxt"

# A good run: the quartet group is cut at measures 5 and 8 and the result written.
if ! "$brisane" "$q" --staves 1-4 --measures 5-8 --output "$work/out.json" --svg "$work/out.svg" \
     > "$work/stdout" 2>&1; then
  echo "FAIL: the example run failed"; cat "$work/stdout"; failures=$((failures + 1))
elif ! grep -q "The command returned 1" "$work/stdout" || ! grep -q '"endMeasure": 4' "$work/out.json" \
     || ! grep -q "<svg" "$work/out.svg"; then
  echo "FAIL: the example run did not split and write"; failures=$((failures + 1))
fi

if [ $failures -ne 0 ]; then exit 1; fi
echo "brisane: every case behaves"
