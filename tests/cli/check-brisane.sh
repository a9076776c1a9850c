#!/usr/bin/env bash
# The host program `brisane` as a person uses it: bad arguments, selections outside the score and
# bad documents end with one line naming what and where, exit code 2, and nothing written; good
# runs split and write; answers come from a pipe as from a terminal; names never reach the
# terminal or the picture raw; every picture is valid XML, 1,400 pixels wide, and renders.
#
# check-brisane.sh BRISANE EXAMPLES-FOLDER VERSION
set -uo pipefail
# The texts looked for are the English ones; the language checks below name theirs.
export LC_ALL=C
brisane=$1
examples=$(cd "$2" && pwd)
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
out="$work/out"    # where refused runs would write: must stay empty
made="$work/made"  # what good runs write
mkdir -p "$out" "$made"
failures=0
q="$examples/string-quartet.json"
chamber="$examples/chamber-hidden-staves.json"
o=(--output "$out/doc.json" --svg "$out/picture.svg")

for tool in xmllint rsvg-convert; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (tools/setup installs it)"; exit 1; }
done

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# refused MESSAGE-PART ARGS...: exit code 2, one line on standard error holding the message,
# nothing on it of the JSON library, and no file written.
refused() {
  local want=$1; shift
  "$brisane" "$@" >"$work/stdout" 2>"$work/err" </dev/null
  local code=$? lines
  lines=$(wc -l <"$work/err")
  if [ $code -ne 2 ] || ! grep -qF -- "$want" "$work/err" || [ "$lines" -ne 1 ] \
     || grep -q "json.exception" "$work/err" || [ -n "$(ls -A "$out")" ]; then
    fail "brisane $* -> exit $code, $lines lines on stderr: $(head -c 300 "$work/err")"
  fi
  rm -rf "${out:?}"/* "$out"/.[!.]* 2>/dev/null
}

# runs NAME ARGS...: exit code 0; standard output in $work/stdout.
runs() {
  local name=$1; shift
  if ! "$brisane" "$@" >"$work/stdout" 2>"$work/err"; then
    fail "$name: brisane $* -> $(head -c 300 "$work/err")"
    return 1
  fi
}

# says NAME TEXT: the last run's standard output holds TEXT.
says() {
  grep -qF -- "$2" "$work/stdout" || fail "$1: the output lacks '$2'"
}

# Options.
refused "unknown option --frobnicate" "$q" --staves 1-4 --measures 5-8 --frobnicate "${o[@]}"
refused "no staves selected" "$q" --measures 5-8 "${o[@]}"
refused "no measures selected" "$q" --staves 1-4 "${o[@]}"
refused "no document given" --staves 1-4 --measures 5-8 "${o[@]}"
refused "more than one document given" "$q" "$q" --staves 1-4 --measures 5-8 "${o[@]}"
refused "--yes and --no exclude each other" "$q" --staves 1-4 --measures 5-8 --yes --no "${o[@]}"
refused "--staves is given twice" "$q" --staves 1-4 --measures 5-8 --staves=1-2 "${o[@]}"
refused "--yes is given twice" "$q" --staves 1-4 --measures 5-8 --yes --yes "${o[@]}"
refused "--yes takes no value" "$q" --staves 1-4 --measures 5-8 --yes=1 "${o[@]}"
refused "--output needs a value" "$q" --staves 1-4 --measures 5-8 --output
refused "--output needs a value" "$q" --staves 1-4 --measures 5-8 --output --yes
refused "--output and --svg name the same file" "$q" --staves 1-4 --measures 5-8 \
  --output "$out/x" --svg "$out/../out/x"
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
runs "leading zeros" "$q" --staves 01-04 --measures 010-016 --yes && \
  says "leading zeros" "slots 1 to 4 of staff system 0), measures 10 to 16"
runs "08 is eight" "$q" --staves 1-4 --measures 08-16 --yes && says "08 is eight" "measures 8 to 16"
runs "decimal host version" "$q" --staves 1-4 --measures 5-8 --host-version=0285212672 && \
  says "decimal host version" "host version 0x11000000"
runs "hexadecimal host version" "$q" --staves=1-4 --measures=5-8 --host-version=0x11000000 && \
  says "hexadecimal host version" "host version 0x11000000"

# Selections the notation program never makes.
refused "--measures 9-32767: the score has 48 measures" "$q" --staves 1-4 --measures 9-32767 "${o[@]}"
refused "--measures 16-9: the first measure comes after the last" "$q" --staves 1-4 --measures 16-9 "${o[@]}"
refused "--measures 0-4: measures count from 1" "$q" --staves 1-4 --measures 0-4 "${o[@]}"
refused "--staves 4-1: the top slot comes after the bottom slot" "$q" --staves 4-1 --measures 5-8 "${o[@]}"
refused "--staves 0-4: slots count from 1" "$q" --staves 0-4 --measures 5-8 "${o[@]}"
refused "--staves 1-9: the score (staff system 0) has 4 staves" "$q" --staves 1-9 --measures 5-8 "${o[@]}"
refused "--staves 1-6: staff system 2 has 5 staves" "$chamber" --system 2 --staves 1-6 --measures 5-8 "${o[@]}"
refused "--system 9: the document has no staff system 9" "$chamber" --system 9 --staves 1-2 --measures 5-8 "${o[@]}"

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
"$brisane" --help >"$work/stdout" 2>&1 && grep -q "^usage: brisane" "$work/stdout" \
  || fail "--help does not print the usage"
[ "$("$brisane" --version)" = "brisane (Vorlan Brisane) $version" ] \
  || fail "--version prints '$("$brisane" --version)', not the project's version $version"

# Answers from a pipe: the same as typed at a terminal.
runs "piped yes" "$q" --staves 1-4 --measures 5-6 < <(yes) && says "piped yes" "pressed: Yes" \
  && says "piped yes" "The command returned 1"
runs "piped no" "$q" --staves 1-4 --measures 5-6 < <(printf 'maybe\r\nN\r\n') \
  && says "piped no" "Please answer y or n" && says "piped no" "pressed: No" \
  && says "piped no" "The command returned 0"
runs "no input" "$q" --staves 1-4 --measures 5-6 </dev/null && says "no input" "pressed: (not answered)"

# A good run: the quartet group is cut at measures 5 and 8, the result written and drawn, and the
# selection printed with its staff numbers and names.
if runs "example run" "$q" --staves 1-4 --measures 5-8 --output "$made/doc.json" --svg "$made/doc.svg"; then
  says "example run" "The command returned 1"
  says "example run" 'Selection: staves 1 "Violin I" to 4 "Violoncello" (slots 1 to 4 of staff system 0)'
  grep -q '"endMeasure": 4' "$made/doc.json" || fail "the example run did not write the split"
  [ -z "$(find "$made" -name '.*.tmp')" ] || fail "temporary files were left beside the outputs"
fi
runs "hidden staves" "$chamber" --system 2 --staves 2-3 --measures 9-16 \
  && says "hidden staves" 'staves 3 "Clarinet in A" to 4 "Bassoon" (slots 2 to 3 of staff system 2)'

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
  local name=$1; shift
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
  [ "$(od -An -tu1 -j16 -N4 "$made/$name.png" | tr -s ' ')" = " 0 0 5 120" ] \
    || fail "$name: the rendered picture is not 1,400 pixels wide"
}
picture quartet "$q" --staves 1-4 --measures 9-16
picture orchestra "$examples/orchestra.json" --staves 20-24 --measures 33-40
picture chamber "$chamber" --system 2 --staves 1-3 --measures 9-16
picture names "$work/names.json" --staves 1-2 --measures 3-5

for svg in "$made"/*.svg; do
  xmllint --noout "$svg" 2>/dev/null || fail "$(basename "$svg"): the picture is not XML"
done

# Scenarios: a file that cannot be read or is no scenario is a usage error, not a failed scenario.
scenarios=$(cd "$(dirname "$0")/../scenarios" && pwd)
scenario() {  # scenario NAME JSON-AFTER-THE-DOCUMENT
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
[ $? -eq 1 ] && grep -q "result expected 0, returned 1" "$work/stdout" \
  || fail "a scenario whose expectation fails does not exit 1"
# A failure of several lines is printed on several lines.
scenario writes '"selection": {"slots": [1, 4], "measures": [5, 8]}, "expect": {"writes": []}'
"$brisane" --scenario "$work/writes.json" >"$work/stdout" 2>&1
says "writes differ" "host writes differ; made:"
grep -q "^    FX_SaveEData 'SDNG' (0,1,0)$" "$work/stdout" && ! grep -qF '\u000a' "$work/stdout" \
  || fail "the writes of a failed scenario are not printed one a line"
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
LC_ALL=de_DE.UTF-8 runs "in German" "$q" --staves 1-4 --measures 5-6 --yes \
  && says "in German" "language German (LC_ALL=de_DE.UTF-8)" && says "in German" "+-- Bereich zu klein? --"
LC_ALL= LC_MESSAGES=ja_JP.UTF-8 LANG=fr_FR.UTF-8 runs "LC_MESSAGES before LANG" "$q" --staves 1-3 \
  --measures 5-8 && says "LC_MESSAGES before LANG" "language Japanese (LC_MESSAGES=ja_JP.UTF-8)" \
  && says "LC_MESSAGES before LANG" "+-- グループがありません --"
LC_ALL=pt_BR.UTF-8 runs "no table" "$q" --staves 1-3 --measures 5-8 \
  && says "no table" "language English (LC_ALL=pt_BR.UTF-8)" && says "no table" "+-- No Group --"

if [ $failures -ne 0 ]; then exit 1; fi
echo "brisane: every case behaves"
