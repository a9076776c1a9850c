#!/usr/bin/env bash
# The host program `brisane` as a person uses it: bad arguments, selections outside the score and
# bad documents end with one line naming what and where, exit code 2, and nothing written; a run
# that splits ends with 0, one that splits nothing with 1; good runs write; answers come from a
# pipe as from a terminal; names never reach the terminal or the picture raw; every picture is
# valid XML, 1,400 pixels wide, and renders, the picture of a large score too; generate-score
# makes the benchmarks' scores.
#
# check-brisane.sh BRISANE EXAMPLES-FOLDER VERSION GENERATE-SCORE
set -uo pipefail
# The texts looked for are the English ones; the language checks below name theirs.
export LC_ALL=C
brisane=$(realpath "$1")
examples=$(cd "$2" && pwd)
version=$3
generate=$(realpath "$4")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Whatever a fault writes under a relative name ("-" for standard output) stays in here.
cd "$work" || exit 1
out="$work/out"   # where refused runs would write: must stay empty
made="$work/made" # what good runs write
mkdir -p "$out" "$made"
failures=0
q="$examples/string-quartet.json"
chamber="$examples/chamber-hidden-staves.json"
o=(--output "$out/doc.json" --svg "$out/picture.svg")

for tool in xmllint rsvg-convert; do
  command -v "$tool" >/dev/null || {
    echo "FAIL: $tool is missing (tools/setup installs it)"
    exit 1
  }
done

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# refused MESSAGE-PART ARGS...: exit code 2, one line on standard error holding the message,
# nothing on it of the JSON library, and no file written.
refused() {
  local want=$1
  shift
  "$brisane" "$@" >"$work/stdout" 2>"$work/err" </dev/null
  local code=$? lines
  lines=$(wc -l <"$work/err")
  if [ $code -ne 2 ] || ! grep -qF -- "$want" "$work/err" || [ "$lines" -ne 1 ] ||
    grep -q "json.exception" "$work/err" || [ -n "$(ls -A "$out")" ]; then
    fail "brisane $* -> exit $code, $lines lines on stderr: $(head -c 300 "$work/err")"
  fi
  rm -rf "${out:?}"/* "$out"/.[!.]* 2>/dev/null
}

# ends CODE NAME ARGS...: exit code CODE; standard output in $work/stdout.
ends() {
  local want=$1 name=$2
  shift 2
  "$brisane" "$@" >"$work/stdout" 2>"$work/err"
  local code=$?
  if [ $code -ne "$want" ]; then
    fail "$name: brisane $* -> exit $code, not $want: $(head -c 300 "$work/err")"
    return 1
  fi
}

# runs NAME ARGS...: exit code 0 (groups were split, or scenarios passed).
runs() {
  ends 0 "$@"
}

# says NAME TEXT: the last run's standard output holds TEXT.
says() {
  grep -qF -- "$2" "$work/stdout" || fail "$1: the output lacks '$2'"
}

# Options.
refused "unknown option --frobnicate" "$q" --staves 1-4 --measures 5-8 --frobnicate "${o[@]}"
refused "no staves selected" "$q" --measures 5-8 "${o[@]}"
refused "no measures selected" "$q" --staves 1-4 "${o[@]}"
refused "no document given (brisane --help shows how to run it)" --staves 1-4 --measures 5-8 "${o[@]}"
refused "no document given (brisane --help shows how to run it)"
refused "more than one document given" "$q" "$q" --staves 1-4 --measures 5-8 "${o[@]}"
refused "--yes and --no exclude each other" "$q" --staves 1-4 --measures 5-8 --yes --no "${o[@]}"
refused "--staves is given twice" "$q" --staves 1-4 --measures 5-8 --staves=1-2 "${o[@]}"
refused "--yes is given twice" "$q" --staves 1-4 --measures 5-8 --yes --yes "${o[@]}"
refused "--yes takes no value" "$q" --staves 1-4 --measures 5-8 --yes=1 "${o[@]}"
refused "--output needs a value" "$q" --staves 1-4 --measures 5-8 --output
refused "--output needs a value" "$q" --staves 1-4 --measures 5-8 --output --yes
refused "--output and --svg name the same file" "$q" --staves 1-4 --measures 5-8 \
  --output "$out/x" --svg "$out/../out/x"
refused "--output and --svg name the same file: -" "$q" --staves 1-4 --measures 5-8 --output - --svg -
refused "--output and --svg name the same file: /dev/stdout" "$q" --staves 1-4 --measures 5-8 \
  --output - --svg /dev/stdout
refused "--svg names the document itself" "$q" --staves 1-4 --measures 5-8 --svg "$q"
refused "--staves means nothing with --no-selection" "$q" --no-selection --staves 1-4 "${o[@]}"
refused "--system means nothing with --no-selection" "$q" --no-selection --system 1 "${o[@]}"
refused "--output means nothing with --scenario" --scenario "$work/s.json" --output "$out/doc.json"
refused "--staves means nothing with --scenario" --scenario "$work/s.json" --staves 1-4
refused "--host-version means nothing with --scenario" --host-version=1 --scenario "$work/s.json"
refused "means nothing with --scenario" "$q" --scenario "$work/s.json"
refused "cannot load the plug-in" "$q" --staves 1-4 --measures 5-8 --plugin "$work/none.fxt" "${o[@]}"

# Numbers are decimal: a leading zero is no octal prefix, and nothing else passes for a number.
refused "--staves: '0x1' is not a decimal number" "$q" --staves 0x1-4 --measures 5-8 "${o[@]}"
refused "--staves: '+1' is not a decimal number" "$q" --staves +1-4 --measures 5-8 "${o[@]}"
refused "--staves: 'x' is not a decimal number" "$q" --staves 1-x --measures 5-8 "${o[@]}"
refused "--end-pos: '1e3' is not a decimal number" "$q" --staves 1-4 --measures 5-8 --end-pos 1e3 "${o[@]}"
refused "--measures: 40000 is out of range" "$q" --staves 1-4 --measures 5-40000 "${o[@]}"
refused "--host-version: '0x1FFFFFFFF' is not a version" "$q" --staves 1-4 --measures 5-8 \
  --host-version 0x1FFFFFFFF "${o[@]}"
runs "leading zeros" "$q" --staves 01-04 --measures 010-016 --yes &&
  says "leading zeros" "slots 1 to 4 of staff system 0), measures 10 to 16"
runs "08 is eight" "$q" --staves 1-4 --measures 08-16 --yes && says "08 is eight" "measures 8 to 16"
runs "decimal host version" "$q" --staves 1-4 --measures 5-8 --host-version=0285212672 &&
  says "decimal host version" "host version 0x11000000"
runs "hexadecimal host version" "$q" --staves=1-4 --measures=5-8 --host-version=0x11000000 &&
  says "hexadecimal host version" "host version 0x11000000"

# Selections the notation program never makes.
refused "--measures 9-32767: the score has 48 measures" "$q" --staves 1-4 --measures 9-32767 "${o[@]}"
refused "--measures 16-9: the first measure comes after the last" "$q" --staves 1-4 --measures 16-9 "${o[@]}"
refused "--measures 0-4: measures count from 1" "$q" --staves 1-4 --measures 0-4 "${o[@]}"
refused "--staves 4-1: the top slot comes after the bottom slot" "$q" --staves 4-1 --measures 5-8 "${o[@]}"
refused "--staves 0-4: slots count from 1" "$q" --staves 0-4 --measures 5-8 "${o[@]}"
refused "--staves 1-9: the score (staff system 0) has 4 staves" "$q" --staves 1-9 --measures 5-8 "${o[@]}"
refused "--start-pos -1: positions in a measure count from 0" "$q" --staves 1-4 --measures 5-8 \
  --start-pos -1 "${o[@]}"
refused "--end-pos -2147483648: positions in a measure count from 0" "$q" --staves 1-4 \
  --measures 5-8 --end-pos=-2147483648 "${o[@]}"
refused "--staves 1-6: staff system 2 has 5 staves" "$chamber" --system 2 --staves 1-6 --measures 5-8 "${o[@]}"
refused "--system 9: the document has no staff system 9" "$chamber" --system 9 --staves 1-2 --measures 5-8 "${o[@]}"
refused "--end-pos 10: the end comes before the start (--start-pos 500) in measure 9" "$q" --staves 1-4 \
  --measures 9 --start-pos 500 --end-pos 10 "${o[@]}"
ends 1 "an empty stretch of one measure" "$q" --staves 1-4 --measures 9 --start-pos 500 --end-pos 500 &&
  says "an empty stretch of one measure" "+-- Partial Measure"
ends 1 "positions in two measures" "$q" --staves 1-4 --measures 9-10 --start-pos 500 --end-pos 10 &&
  says "positions in two measures" "+-- Partial Measure"

# Files and documents.
refused "$work: is a folder, not a file" "$work" --staves 1-4 --measures 5-8 "${o[@]}"
refused "missing.json: no such file" "$work/missing.json" --staves 1-4 --measures 5-8 "${o[@]}"
[ "$(grep -o "missing.json" "$work/err" | wc -l)" -eq 1 ] || fail "the missing file is named more than once"
printf '{"measureCount": 4,\n "groups": [' >"$work/cut.json"
refused "cut.json: not valid JSON at line 2, column 13: unexpected end of input" "$work/cut.json" \
  --staves 1-1 --measures 1-2 "${o[@]}"
printf '{"measureCount": 4, "groups": [{"startStaff": "x"}]}' >"$work/bad.json"
refused "bad.json: groups[0].startStaff: expected an integer, found a string" "$work/bad.json" \
  --staves 1-2 --measures 1-2 "${o[@]}"
printf '{"measureCount": 4, "measureCount": 8}' >"$work/twice.json"
refused "twice.json: measureCount: the key appears twice" "$work/twice.json" --staves 1-1 --measures 1-2 "${o[@]}"
printf '{"staves": [{"number": 1}], "measureCount": null}' >"$work/null.json"
refused "null.json: measureCount: expected an integer, found null" "$work/null.json" \
  --staves 1-1 --measures 1-2 "${o[@]}"
printf '{"measureCount": 4, "staves": [{"number": 1}], "groups": [{"startStaff": 1, "endStaff": 3, "startMeasure": 1, "endMeasure": 4}]}' \
  >"$work/lacking.json"
refused "lacking.json: groups[0].endStaff: staff 3 is not in the score" "$work/lacking.json" \
  --staves 1-1 --measures 1-2 "${o[@]}"
# -1 in a key asks the host for a number: no group is stored under it.
printf '{"measureCount": 8, "staves": [{"number": 1}], "groups": [{"owner": -1, "number": 1, "startStaff": 1, "endStaff": 1, "startMeasure": 1, "endMeasure": 8}]}' \
  >"$work/owner.json"
refused "owner.json: groups[0].owner: -1 stands for a number still to be assigned" "$work/owner.json" \
  --staves 1-1 --measures 1-2 "${o[@]}"

# Outputs: checked before the command runs, and written only when all can be.
refused "--svg /nonexistent/x.svg: the folder /nonexistent does not exist" "$q" --staves 1-4 \
  --measures 5-8 --output "$out/doc.json" --svg /nonexistent/x.svg
refused "--output $out: is a folder, not a file" "$q" --staves 1-4 --measures 5-8 --output "$out"

# Help and version: standard output, exit 0.
"$brisane" --help >"$work/stdout" 2>&1 && grep -q "^usage: brisane" "$work/stdout" ||
  fail "--help does not print the usage"
[ "$("$brisane" --version)" = "brisane (Vorlan Brisane) $version" ] ||
  fail "--version prints '$("$brisane" --version)', not the project's version $version"

# unprinted LINE ARGS...: standard output is a full disk: exit 2, LINE alone on standard error,
# and no file written.
unprinted() {
  local want=$1
  shift
  "$brisane" "$@" >/dev/full 2>"$work/err" </dev/null
  local code=$?
  if [ $code -ne 2 ] || [ "$(cat "$work/err")" != "$want" ] || [ -n "$(ls -A "$out")" ]; then
    fail "brisane $* >/dev/full -> exit $code, $(ls -A "$out" | wc -l) files, stderr: $(head -c 300 "$work/err")"
  fi
  rm -rf "${out:?}"/* "$out"/.[!.]* 2>/dev/null
}
unprinted "brisane: write error: No space left on device" --version
unprinted "brisane: write error: No space left on device" --help
unprinted "brisane: write error: No space left on device" "$q" --staves 1-4 --measures 9-16 --yes
unprinted "brisane: write error: No space left on device; nothing was written" "$q" --staves 1-4 \
  --measures 9-16 --yes "${o[@]}"
unprinted "brisane: write error: No space left on device" --scenario "$here/../scenarios/create-key-existing.json"

# Answers from a pipe: the same as typed at a terminal.
runs "piped yes" "$q" --staves 1-4 --measures 5-6 < <(yes) && says "piped yes" "pressed: Yes" &&
  says "piped yes" "The command returned 1"
ends 1 "piped no" "$q" --staves 1-4 --measures 5-6 < <(printf 'maybe\r\nN\r\n') &&
  says "piped no" "Please answer y or n" && says "piped no" "pressed: No" &&
  says "piped no" "The command returned 0"
ends 1 "no input" "$q" --staves 1-4 --measures 5-6 </dev/null && says "no input" "pressed: (not answered)"

# The exit status tells what happened: 0 groups were split, 1 the command ran and split nothing.
# Outputs are written either way.
ends 0 "split" "$q" --staves 1-4 --measures 5-16 --output "$made/split.json" &&
  says "split" "The command returned 1"
ends 1 "answered No" "$q" --staves 1-4 --measures 5-6 --no --output "$made/unsplit.json" &&
  says "answered No" "pressed: No" && { [ -s "$made/unsplit.json" ] ||
    fail "a run that split nothing did not write its output"; }
ends 1 "partial measure refused" "$q" --staves 1-4 --measures 5-8 --start-pos 10 &&
  says "partial measure refused" "+-- Partial Measure"
ends 1 "multi-staff instrument refused" "$examples/orchestra.json" --staves 18-19 --measures 5-8 &&
  says "multi-staff instrument refused" "+-- Multi-staff Instrument Range"
ends 1 "no group" "$q" --staves 2-3 --measures 5-8 && says "no group" "+-- No Group"
ends 1 "no selection" "$q" --no-selection --yes

# --quiet: the selection, the boxes and the result, nothing else.
ends 1 "quiet" "$q" --staves 1-4 --measures 5-6 --no --quiet --output "$made/quiet.json"
cat >"$work/quiet" <<'EOF'
Selection: staves 1 "Violin I" to 4 "Violoncello" (slots 1 to 4 of staff system 0), measures 5 to 6

+-- Too small region? --
| You have selected to split groups a very small measure range, which might not be what you wanted.
| 
| Continue anyway?
+-- [Yes] [No]  pressed: No

The command returned 0 (nothing was split).
EOF
diff "$work/quiet" "$work/stdout" >"$work/diff" || fail "--quiet prints more or less: $(cat "$work/diff")"
ends 0 "quiet split" "$q" --staves 1-4 --measures 5-16 --quiet
[ "$(wc -l <"$work/stdout")" -eq 2 ] && [ "$(tail -n 1 "$work/stdout")" = "The command returned 1 (groups were split)." ] ||
  fail "--quiet on a split prints more than the selection and the result: $(cat "$work/stdout")"

# A good run: the quartet group is cut at measures 5 and 8, the result written and drawn, and the
# selection printed with its staff numbers and names.
if runs "example run" "$q" --staves 1-4 --measures 5-8 --output "$made/doc.json" --svg "$made/doc.svg"; then
  says "example run" "The command returned 1"
  says "example run" 'Selection: staves 1 "Violin I" to 4 "Violoncello" (slots 1 to 4 of staff system 0)'
  grep -q '"endMeasure": 4' "$made/doc.json" || fail "the example run did not write the split"
  [ -z "$(find "$made" -name '.*.tmp')" ] || fail "temporary files were left beside the outputs"
fi
# In place: the document as its own output, named through a symbolic link, which stays a link.
mkdir -p "$made/scores"
cp "$q" "$made/scores/quartet.json"
ln -s scores/quartet.json "$made/link.json"
if runs "in place through a link" "$made/link.json" --staves 1-4 --measures 5-8 --output "$made/link.json"; then
  [ -L "$made/link.json" ] || fail "writing through a symbolic link replaced the link"
  grep -q '"endMeasure": 4' "$made/scores/quartet.json" || fail "the link's target was not written"
  [ -z "$(find "$made" -name '.*.tmp')" ] || fail "temporary files were left beside the target"
fi

# Where the outputs are not regular files: standard output, named pipes, devices. Each gets the
# very bytes a file would, and stays what it was.
runs "reference outputs" "$q" --staves 1-4 --measures 9-16 --yes --output "$made/ref.json" --svg "$made/ref.svg"
# same NAME FILE REFERENCE: FILE holds exactly the reference output.
same() {
  cmp -s "$2" "$made/$3" || fail "$1: not the bytes of $3 ($(cat "$2" 2>/dev/null | wc -c) bytes)"
}
if runs "document to -" "$q" --staves 1-4 --measures 9-16 --yes --output -; then
  same "document to -" "$work/stdout" ref.json
  grep -q "^The command returned 1" "$work/err" && grep -q "^Written: -$" "$work/err" ||
    fail "document to -: the report is not on standard error: $(head -c 300 "$work/err")"
fi
runs "picture to -" "$q" --staves 1-4 --measures 9-16 --yes --svg=- --quiet &&
  same "picture to -" "$work/stdout" ref.svg
runs "picture to /dev/stdout, a file" "$q" --staves 1-4 --measures 9-16 --yes --svg /dev/stdout &&
  same "picture to /dev/stdout, a file" "$work/stdout" ref.svg
"$brisane" "$q" --staves 1-4 --measures 9-16 --yes --svg /dev/fd/1 --output "$made/piped.json" \
  2>"$work/err" | cat >"$work/piped.svg"
[ "${PIPESTATUS[0]}" -eq 0 ] || fail "picture to /dev/fd/1, a pipe: $(head -c 300 "$work/err")"
same "picture to /dev/fd/1, a pipe" "$work/piped.svg" ref.svg
same "document beside a picture to a pipe" "$made/piped.json" ref.json

mkfifo "$work/fifo"
timeout 20 cat "$work/fifo" >"$work/from-fifo" &
runs "document to a named pipe" "$q" --staves 1-4 --measures 9-16 --yes --output "$work/fifo"
wait
same "document to a named pipe" "$work/from-fifo" ref.json
[ -p "$work/fifo" ] || fail "the named pipe was replaced"
# Devices of their own, so that a fault here cannot replace the system's /dev/null or /dev/full.
mkdir "$work/dev"
if mknod "$work/dev/null" c 1 3 2>"$work/mknod" && mknod "$work/dev/full" c 1 7 2>"$work/mknod"; then
  runs "document to a character device" "$q" --staves 1-4 --measures 9-16 --yes --output "$work/dev/null"
  # A device that takes nothing: what was written in place cannot be taken back, and is named.
  timeout 20 cat "$work/fifo" >"$work/from-fifo" &
  refused "$work/dev/full: cannot write the file (No space left on device); only $work/fifo was written" \
    "$q" --staves 1-4 --measures 9-16 --yes --output "$work/fifo" --svg "$work/dev/full"
  wait
  refused "$work/dev/full: cannot write the file (No space left on device); nothing was written" "$q" \
    --staves 1-4 --measures 9-16 --yes --output "$out/doc.json" --svg "$work/dev/full"
  [ -c "$work/dev/null" ] && [ -c "$work/dev/full" ] && [ "$(ls -A "$work/dev")" = $'full\nnull' ] ||
    fail "writing to a character device replaced it: $(ls -la "$work/dev")"
else
  echo "NOT CHECKED: character devices as outputs (mknod is refused here: $(cat "$work/mknod"))"
fi

# The report's last lines name the files written; when they cannot be printed, the files are not
# written either. Standard output is a file that reaches the size limit exactly where those lines
# begin.
confirmed=$'\n'"Written: $made/doc.json"$'\n'"Drawn: $made/doc.svg"$'\n'
rm -f "$made/doc.json" "$made/doc.svg"
if runs "limited: unlimited" "$q" --staves 1-4 --measures 9-16 --yes --output "$made/doc.json" --svg "$made/doc.svg"; then
  rm -f "$made/doc.json" "$made/doc.svg"
  head -c $((65536 - $(wc -c <"$work/stdout") + ${#confirmed})) /dev/zero >"$work/limited"
  (
    trap '' XFSZ
    ulimit -f 64
    exec "$brisane" "$q" --staves 1-4 --measures 9-16 --yes --output "$made/doc.json" \
      --svg "$made/doc.svg" >>"$work/limited" 2>"$work/err" </dev/null
  )
  code=$?
  [ $code -eq 2 ] && [ "$(cat "$work/err")" = "brisane: write error: File too large; nothing was written" ] &&
    [ ! -e "$made/doc.json" ] && [ ! -e "$made/doc.svg" ] && [ -z "$(find "$made" -name '.*.tmp')" ] ||
    fail "the report's last lines failed: exit $code, $(ls "$made"/doc.*), $(head -c 300 "$work/err")"
fi

# Signals: a reader that leaves early (SIGPIPE), Ctrl-C (SIGINT), Ctrl-\ (SIGQUIT), SIGTERM, SIGHUP
# and a file-size limit (SIGXFSZ) end the run as the signal would and leave no temporary file
# behind: the picture beside is untouched. env gives back the default handling of a signal that
# the shell running this may ignore (a background job's SIGINT); a signal that brisane's caller
# ignores stays ignored. The document is larger than a pipe holds, so that a reader that leaves
# early leaves before it is written.
"$generate" 100 500 500 --output "$work/sizable.json" 2>/dev/null || fail "generate-score 100 500 500"
sizable=("$work/sizable.json" --no-selection --yes --quiet)
mkdir "$work/kept"
# kept NAME CODE WANT: exit status WANT, the picture as it was, nothing beside it.
kept() {
  [ "$2" -eq "$3" ] || fail "$1: exit $2, not $3: $(head -c 300 "$work/err")"
  [ "$(ls -A "$work/kept")" = picture.svg ] && [ "$(cat "$work/kept/picture.svg")" = old ] ||
    fail "$1: the picture was replaced or a file left beside it: $(ls -A "$work/kept")"
  rm -f "$work/kept"/.[!.]*
}
echo old >"$work/kept/picture.svg"
env --default-signal=PIPE "$brisane" "${sizable[@]}" --output - --svg "$work/kept/picture.svg" \
  2>"$work/err" | head -n 1 >/dev/null
kept "document to a pipe whose reader leaves" "${PIPESTATUS[0]}" 141
timeout 20 head -c 1 "$work/fifo" >/dev/null &
env --default-signal=PIPE "$brisane" "${sizable[@]}" --output "$work/fifo" \
  --svg "$work/kept/picture.svg" >/dev/null 2>"$work/err"
kept "a named pipe whose reader leaves" $? 141
wait
env --ignore-signal=PIPE "$brisane" "${sizable[@]}" --output - --svg "$work/kept/picture.svg" \
  2>"$work/err" | head -n 1 >/dev/null
kept "SIGPIPE ignored" "${PIPESTATUS[0]}" 2
grep -qx "brisane: -: cannot write the file (Broken pipe); nothing was written" "$work/err" ||
  fail "SIGPIPE ignored: $(head -c 300 "$work/err")"
# signalled SIGNAL ENV-OPTION: brisane waits to open a named pipe that has no reader, its picture
# ready in a temporary file, and gets SIGNAL. Its exit status is in $code.
signalled() {
  env "$2" "$brisane" "$q" --staves 1-4 --measures 9-16 --yes --output "$work/fifo" \
    --svg "$work/kept/picture.svg" >/dev/null 2>"$work/err" </dev/null &
  local pid=$! tries=0
  while [ -z "$(find "$work/kept" -name '.picture.svg.*.tmp')" ] && [ $tries -lt 200 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  [ $tries -lt 200 ] || fail "SIG$1: no temporary picture while waiting for a named pipe's reader"
  # The shell's own line on a job that a signal ended ("Hangup") is not wanted here.
  {
    kill -s "$1" $pid
    sleep 0.5
    # A run that lives on still waits for a reader: give it one.
    if kill -0 $pid; then timeout 20 cat "$work/fifo" >/dev/null; fi
    wait $pid
  } 2>/dev/null
  code=$?
}
ulimit -c 0 # SIGQUIT's core, not wanted here
for signal in INT TERM HUP QUIT XFSZ; do
  signalled "$signal" --default-signal="$signal"
  kept "SIG$signal while waiting for a named pipe's reader" $code $((128 + $(kill -l "$signal")))
done
signalled INT --ignore-signal=INT
[ $code -eq 0 ] && [ "$(head -c 4 "$work/kept/picture.svg")" = "<svg" ] &&
  [ "$(ls -A "$work/kept")" = picture.svg ] ||
  fail "SIGINT ignored: exit $code, not 0, and the picture not written: $(ls -A "$work/kept")"

# A name as long as a name may be (255 bytes): the temporary file beside it is named within the
# limit too, in ASCII and in characters of two bytes.
for long in "$(printf 'a%.0s' {1..245}).json" "$(printf '\xc3\xa9%.0s' {1..122})a.json"; do
  runs "a name of ${#long} bytes" "$q" --staves 1-4 --measures 9-16 --yes --output "$made/$long" &&
    same "a name of ${#long} bytes" "$made/$long" ref.json
done
[ -z "$(find "$made" -name '.*.tmp')" ] || fail "temporary files were left beside the outputs"

ends 1 "hidden staves" "$chamber" --system 2 --staves 2-3 --measures 9-16 &&
  says "hidden staves" 'staves 3 "Clarinet in A" to 4 "Bassoon" (slots 2 to 3 of staff system 2)'

# Names with control characters reach neither the terminal nor the picture raw.
cat >"$work/names.json" <<'EOF'
{"measureCount": 8, "staves": [{"number": 1, "name": "Red\u001b[31m"}, {"number": 2, "name": "B\u0001"}],
 "groups": [{"startStaff": 1, "endStaff": 2, "startMeasure": 1, "endMeasure": 8,
             "fullName": "Evil\u001b[31m\u0001\u202e<&>\"", "abbrevName": "\u0007\u007f\u0085"}]}
EOF
if runs "control characters" "$work/names.json" --staves 1-2 --measures 3-5 \
  --output "$made/names.json" --svg "$made/names.svg"; then
  if LC_ALL=C grep -q $'[\x01-\x08\x0b-\x1f\x7f]' "$work/stdout" "$made/names.svg"; then
    fail "control characters reached the terminal or the picture raw"
  fi
  says "control characters" 'full "Evil\u001b[31m\u0001\u202e<&>\""'
  says "control characters" 'Selection: staves 1 "Red\u001b[31m" to 2 "B\u0001"'
fi
"$brisane" "$q" --staves $'1-4\e' --measures 5-8 2>"$work/err" >/dev/null
LC_ALL=C grep -q $'\e' "$work/err" && fail "an argument's control character reached the terminal raw"

# Every picture: valid XML, stacked (After below Before, at the same left edge), 1,400 pixels
# wide, the selection marked, each piece's name clipped to it; and it renders.
picture() {
  local name=$1
  shift
  runs "$name" "$@" --svg "$made/$name.svg" || return
  local svg="$made/$name.svg"
  xmllint --noout "$svg" 2>"$work/xml" || fail "$name: the picture is not XML: $(head -n 2 "$work/xml")"
  grep -q '^<svg [^>]*width="1400"' "$svg" || fail "$name: the picture is not 1,400 pixels wide"
  local before after
  before=$(grep -o '<text x="20" y="[0-9]*" font-size="22" font-weight="bold">Before' "$svg")
  after=$(grep -o '<text x="20" y="[0-9]*" font-size="22" font-weight="bold">After' "$svg")
  [ -n "$before" ] && [ -n "$after" ] || fail "$name: Before and After do not stand one above the other"
  grep -q 'stroke-dasharray' "$svg" || fail "$name: the selection is not marked"
  grep -q '<g clip-path="url(#p1-g' "$svg" || fail "$name: the names are not clipped to their pieces"
  rsvg-convert "$svg" -o "$made/$name.png" 2>"$work/png" || fail "$name: the picture does not render"
  # The PNG header holds the width at bytes 16 to 19.
  [ "$(od -An -tu1 -j16 -N4 "$made/$name.png" | tr -s ' ')" = " 0 0 5 120" ] ||
    fail "$name: the rendered picture is not 1,400 pixels wide"
}
picture quartet "$q" --staves 1-4 --measures 9-16
picture orchestra "$examples/orchestra.json" --staves 20-24 --measures 33-40
picture chamber "$chamber" --system 2 --staves 1-3 --measures 9-16
picture names "$work/names.json" --staves 1-2 --measures 3-5

# A generated large score: its picture is folded to a size that rsvg-convert renders at 1,400
# pixels wide. (That a larger score draws no taller is the pictures' unit test, and the
# benchmarks measure it on a score four times this one.)
"$generate" 1 2 3 >"$work/stdout" 2>"$work/err"
[ $? -eq 2 ] && grep -qx "generate-score: STAVES: '1' is not a number from 2 to 2000" "$work/err" ||
  fail "generate-score 1 2 3 is not refused: $(cat "$work/err")"
"$generate" 30 10 16 --shape one-system >/dev/null 2>"$work/err" &&
  grep -qx "generate-score: its selection: --system 0 --staves 1-30 --measures 4-8" "$work/err" ||
  fail "generate-score does not name the selection of its score: $(cat "$work/err")"
if "$generate" 250 2000 2000 --output "$made/large.json" 2>"$work/err"; then
  selection=$(sed -n 's/^generate-score: its selection: //p' "$work/err")
  # shellcheck disable=SC2086  # the selection is a list of words
  if ends 0 "large score" "$made/large.json" $selection --yes --quiet --svg "$made/large.svg"; then
    rsvg-convert -w 1400 "$made/large.svg" -o "$made/large.png" 2>"$work/png" ||
      fail "rsvg-convert -w 1400 does not render the large score's picture: $(head -c 300 "$work/png")"
    [ "$(sed -n '1s/^<svg [^>]* height="\([0-9]*\)".*/\1/p' "$made/large.svg")" -le 4000 ] ||
      fail "the large score's picture is taller than 4,000 pixels"
  fi
else
  fail "generate-score 250 2000 2000: $(cat "$work/err")"
fi

for svg in "$made"/*.svg; do
  xmllint --noout "$svg" 2>/dev/null || fail "$(basename "$svg"): the picture is not XML"
done

# Scenarios: a file that cannot be read or is no scenario is a usage error, not a failed scenario.
scenarios=$(cd "$here/../scenarios" && pwd)
scenario() { # scenario NAME JSON-AFTER-THE-DOCUMENT
  printf '{"document": "%s", %s}' "$q" "$2" >"$work/$1.json"
}
refused "none.json: no such file" --scenario "$work/none.json"
scenario typo '"selection": null, "expect": {"reslt": 1}'
refused "typo.json: expect.reslt: unknown field" --scenario "$work/typo.json"
scenario octal '"selection": {"slots": [1, 4], "measures": [5, 8]}, "hostVersion": "0x1G"'
refused "octal.json: hostVersion: expected a decimal number or 0x" --scenario "$work/octal.json"
scenario fault '"selection": null, "fail": [{"function": "FX_SaveData", "nth": 1}]'
refused "fault.json: fail[0].function: not a host function: FX_SaveData" --scenario "$work/fault.json"
scenario tag '"selection": null, "fail": [{"function": "FX_LoadEData", "nth": 1, "tag": "SOT"}]'
refused "tag.json: fail[0].tag: expected four characters or 0x and one to eight hexadecimal digits" --scenario "$work/tag.json"
scenario enum '"selection": null, "enumerate": "no"'
refused "enum.json: enumerate: expected true or false" --scenario "$work/enum.json"
scenario slots '"selection": {"slots": [1, "4"], "measures": [5, 8]}'
refused "slots.json: selection.slots[1]: expected an integer, found a string" --scenario "$work/slots.json"
scenario nodoc '"selection": null' && sed -i 's/string-quartet/no-quartet/' "$work/nodoc.json"
refused "nodoc.json: document: " --scenario "$work/nodoc.json"
scenario free '"selection": {"slots": [4, 1], "measures": [40, 2000]}, "answers": ["yes"]'
runs "a scenario without expect" --scenario "$work/free.json" && says "a scenario without expect" "1 passed, 0 failed"
scenario wrong '"selection": {"slots": [1, 4], "measures": [5, 8]}, "expect": {"result": 0}'
"$brisane" --scenario "$work/wrong.json" >"$work/stdout" 2>&1
[ $? -eq 1 ] && grep -q "result expected 0, returned 1" "$work/stdout" ||
  fail "a scenario whose expectation fails does not exit 1"
# A failure of several lines is printed on several lines.
scenario writes '"selection": {"slots": [1, 4], "measures": [5, 8]}, "expect": {"writes": []}'
"$brisane" --scenario "$work/writes.json" >"$work/stdout" 2>&1
says "writes differ" "host writes differ; made:"
grep -q "^    FX_SaveEData 'SDNG' (0,1,0)$" "$work/stdout" && ! grep -qF '\u000a' "$work/stdout" ||
  fail "the writes of a failed scenario are not printed one a line"
# A planned fault that never takes effect fails the scenario, naming the entry.
scenario unfired '"selection": {"slots": [1, 4], "measures": [5, 8]}, "fail": [{"function": "FX_CreateEData", "nth": 1}, {"function": "FX_CreateEData", "nth": 999}, {"function": "FX_FontNumToName", "nth": 1, "answer": "full name"}]'
"$brisane" --scenario "$work/unfired.json" >"$work/stdout" 2>&1
[ $? -eq 1 ] || fail "a scenario whose planned faults never take effect does not exit 1"
says "unfired faults" "fail[1] never took effect: FX_CreateEData call 999 fails"
says "unfired faults" "fail[2] never took effect: FX_FontNumToName call 1 answers full name"
grep -q "fail\[0\]" "$work/stdout" && fail "a fault that took effect is named as one that did not"
# Records may hold what the sections refuse, a group under the key word -1 too; the run saves and
# reads back the document around the command.
printf '{"document": {"measureCount": 8, "staves": [{"number": 1}], "records": [{"tag": "SDNG", "key": [-1, 1, 0], "bytes": "%s"}]}, "selection": {"slots": [1, 1], "measures": [3, 5]}, "expect": {"unchanged": true}}' \
  "0100010000000000000000000000000000000000000000000000000000000000 01000800" >"$work/minus.json"
runs "a group stored under -1" --scenario "$work/minus.json" && says "a group stored under -1" "1 passed, 0 failed"
runs "shared scenarios" --scenario "$scenarios"/*.json && says "shared scenarios" " 0 failed"

# The user's language: the boxes in it and its name in the header line, English without a table.
LC_ALL=de_DE.UTF-8 runs "in German" "$q" --staves 1-4 --measures 5-6 --yes &&
  says "in German" "language German (LC_ALL=de_DE.UTF-8)" && says "in German" "+-- Bereich zu klein? --"
LC_ALL= LC_MESSAGES=ja_JP.UTF-8 LANG=fr_FR.UTF-8 ends 1 "LC_MESSAGES before LANG" "$q" --staves 1-3 \
  --measures 5-8 && says "LC_MESSAGES before LANG" "language Japanese (LC_MESSAGES=ja_JP.UTF-8)" &&
  says "LC_MESSAGES before LANG" "+-- グループがありません --"
LC_ALL=pt_BR.UTF-8 ends 1 "no table" "$q" --staves 1-3 --measures 5-8 &&
  says "no table" "language English (LC_ALL=pt_BR.UTF-8)" && says "no table" "+-- No Group --"

# The pictures' language: the plug-in's by default, or the one --language names, which changes
# neither the plug-in's boxes nor the report; the document's names are drawn as stored.
# drawn NAME SVG TEXT...: the picture holds each TEXT; "!TEXT" that it does not.
drawn() {
  local name=$1 svg=$2 text
  shift 2
  for text in "$@"; do
    if [[ "$text" == !* ]]; then
      grep -qF -- "${text#!}" "$svg" && fail "$name: the picture holds '${text#!}'"
    else
      grep -qF -- "$text" "$svg" || fail "$name: the picture lacks '$text'"
    fi
  done
}
refused "--language pt: not a language of the plug-in; the languages are en, de, fr, ja" "$q" \
  --staves 1-4 --measures 9-16 --language pt "${o[@]}"
refused "--language means nothing with --scenario" --scenario "$work/s.json" --language de
LC_ALL=fr_FR.UTF-8 runs "pictures as the plug-in speaks" "$q" --staves 1-4 --measures 9-16 --yes \
  --svg "$made/fr.svg" &&
  says "pictures as the plug-in speaks" "language French (LC_ALL=fr_FR.UTF-8), pictures in French" &&
  drawn "pictures as the plug-in speaks" "$made/fr.svg" ">Avant</text>" ">nom complet<" \
    ">Sélection"$'\xc2\xa0'": portées 1 Violin I à 4 Violoncello, mesures 9 à 16<" \
    "<title>String Quartet</title>" "!>full name<"
ends 1 "--language de" "$q" --staves 1-4 --measures 5-6 --no --svg "$made/de.svg" --language de &&
  says "--language de" "language English (LC_ALL=C), pictures in German (--language de)" &&
  says "--language de" "+-- Too small region? --" &&
  drawn "--language de" "$made/de.svg" ">Vorher</text>" ">Vollständiger Name<" \
    ">Auswahl: Notensysteme 1 Violin I bis 4 Violoncello, Takte 5 bis 6<" ">Violin I <tspan" \
    "<title>String Quartet</title>" "!>full name<" "!Auswahl: staves"
LC_ALL=de_DE.UTF-8 ends 1 "--language ja" "$q" --staves 1-4 --measures 5-6 --no --svg "$made/ja.svg" \
  --language=ja &&
  says "--language ja" "language German (LC_ALL=de_DE.UTF-8), pictures in Japanese (--language ja)" &&
  says "--language ja" "+-- Bereich zu klein? --" &&
  drawn "--language ja" "$made/ja.svg" ">実行前</text>" ">正式グループ名<" "'Noto Sans CJK JP'" \
    "<title>String Quartet</title>" "<title>Str. Qt.</title>" "!>Vollständiger Name<"
LC_ALL=pt_BR.UTF-8 runs "pictures without labels" "$q" --staves 1-4 --measures 9-16 --yes \
  --svg "$made/pt.svg" &&
  says "pictures without labels" "language English (LC_ALL=pt_BR.UTF-8), pictures in English" &&
  drawn "pictures without labels" "$made/pt.svg" ">Before</text>" ">full name<"
# Without pictures, their language is named only where it is not the plug-in's.
if LC_ALL=ja_JP.UTF-8 runs "no pictures, one language" "$q" --staves 1-4 --measures 9-16 --yes \
  --language ja; then
  grep -q "pictures in" "$work/stdout" && fail "no pictures, one language: their language is named"
fi
runs "no pictures, another language" "$q" --staves 1-4 --measures 9-16 --yes --language fr &&
  says "no pictures, another language" "language English (LC_ALL=C), pictures in French (--language fr)"

if [ $failures -ne 0 ]; then exit 1; fi
echo "brisane: every case behaves"
