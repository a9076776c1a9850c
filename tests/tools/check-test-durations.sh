#!/usr/bin/env bash
# tools/test names each suite's usual duration as it starts: that of the suite's last passing run
# on this machine, and nothing before there has been one. Run on a copy of the script in a folder
# of its own, with a format suite over one file and a tools/setup that installs nothing.
#
# check-test-durations.sh SOURCE-FOLDER
set -uo pipefail
source=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tools"
cp "$source/tools/test" "$work/tools/test"
cp "$source/.clang-format" "$source/.editorconfig" "$work/"
printf '#!/bin/sh\nexit 0\n' >"$work/tools/setup"
chmod +x "$work/tools/setup"
printf 'int main() {\n    return 0;\n}\n' >"$work/a.cpp"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
started() { # the line tools/test printed as the format suite started
  grep '^test: format (' "$work/out"
}

"$work/tools/test" format >"$work/out" 2>&1 || fail "the format suite failed: $(cat "$work/out")"
[ "$(started)" = "test: format (log: build/test-logs/format.log)" ] ||
  fail "a first run names a usual duration: $(started)"
[[ $(cat "$work/build/test-logs/format.seconds" 2>/dev/null) =~ ^[0-9]+$ ]] ||
  fail "a passing run does not record its duration"

for case in "754 13 min" "42 42 s" "89 89 s" "90 2 min"; do
  read -r seconds said <<<"$case"
  echo "$seconds" >"$work/build/test-logs/format.seconds"
  "$work/tools/test" format >"$work/out" 2>&1
  [ "$(started)" = "test: format (log: build/test-logs/format.log; usually about $said here)" ] ||
    fail "after a run of $seconds s: $(started)"
done

# A failing run leaves the usual duration as it was.
echo 600 >"$work/build/test-logs/format.seconds"
printf 'int  main(){return 0;}\n' >"$work/a.cpp"
"$work/tools/test" format >"$work/out" 2>&1 && fail "an unformatted file passes the format suite"
[ "$(cat "$work/build/test-logs/format.seconds")" = 600 ] ||
  fail "a failing run replaced the usual duration"

if [ $failures -ne 0 ]; then exit 1; fi
echo "tools/test: the usual durations are stated"
