#!/usr/bin/env bash
# The release: tools/build-release run in two copies of the sources at different paths must give
# the same DLL, zip, setup program and guides, byte for byte; and the zip must hold what a user
# needs, as the install texts promise, in each language.
#
# Usage: check-release.sh SOURCE_DIR WORK_DIR
# The copies, WORK_DIR/a and one further down, hold what a commit of the sources would: the files
# git tracks, and new files it does not ignore. They stay after the check: the tests of the setup
# program, the guides and signing use the release built in WORK_DIR/a.
set -uo pipefail
source=$(realpath "${1:?source folder}")
work=$(realpath -m "${2:?work folder}")
rm -rf "$work"
mkdir -p "$work"
source "$(dirname "$0")/check-common.sh"

if git -C "$source" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  list_sources() {
    git -C "$source" ls-files -z --cached --others --exclude-standard |
      (cd "$source" && while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done)
  }
else
  list_sources() { (cd "$source" && find . -path ./build -prune -o -type f -print0); }
fi

copies=("$work/a" "$work/another/copy/further/down")
for copy in "${copies[@]}"; do
  mkdir -p "$copy"
  list_sources | (cd "$source" && tar -cf - --null -T -) | tar -C "$copy" -xf -
  if ! (cd "$copy" && tools/build-release) >"$copy.log" 2>&1; then
    echo "FAIL: tools/build-release in $copy:"
    cat "$copy.log"
    exit 1
  fi
done

# --- Same bytes from both copies ---------------------------------------------------------------
first=${copies[0]}/build/release
second=${copies[1]}/build/release
zips=("$first"/vorlanbrisane-*-win64.zip)
zip=${zips[0]}
if [ ${#zips[@]} -ne 1 ] || [ ! -f "$zip" ]; then
  echo "FAIL: expected one zip in $first, found: ${zips[*]}"
  exit 1
fi
setup=${zip%.zip}-setup.exe
guides=(GUIDE.html GUIDE.de.html GUIDE.fr.html GUIDE.ja.html)
for file in vorlanbrisane64.fxt "$(basename "$zip")" "$(basename "$setup")" "${guides[@]}" \
  SHA256SUMS; do
  if [ ! -f "$first/$file" ]; then
    fail "the first build has no $file"
  elif [ ! -f "$second/$file" ]; then
    fail "the second build has no $file"
  elif cmp -s "$first/$file" "$second/$file"; then
    echo "ok: $file is the same in both builds"
  else
    fail "$file differs between the builds: $(cmp -l "$first/$file" "$second/$file" |
      wc -l) bytes, the first at offsets (decimal, 1-based; octal bytes):"
    cmp -l "$first/$file" "$second/$file" | head -n 8 | sed 's/^/    /'
  fi
done

# --- What the release holds --------------------------------------------------------------------
expected_sums="$(basename "$setup")
$(basename "$zip")
${guides[*]}"
if [ "$(cut -c 67- "$first/SHA256SUMS")" == "${expected_sums// /$'\n'}" ] &&
  (cd "$first" && sha256sum --quiet -c SHA256SUMS); then
  echo "ok: SHA256SUMS of the release covers the setup program, the zip and the guides"
else
  fail "SHA256SUMS of the release: $(cat "$first/SHA256SUMS")"
fi
if head -c 2 "$setup" | grep -q MZ && x86_64-w64-mingw32-objdump -f "$setup" 2>/dev/null |
  grep -q 'file format pei-x86-64'; then
  echo "ok: the setup program is a 64-bit Windows program"
else
  fail "the setup program is not a 64-bit Windows program"
fi

# --- What the zip holds ------------------------------------------------------------------------
listing=$(unzip -Z1 "$zip")
expected="vorlanbrisane64.fxt
INSTALL.txt
INSTALL.de.txt
INSTALL.fr.txt
INSTALL.ja.txt
GUIDE.html
GUIDE.de.html
GUIDE.fr.html
GUIDE.ja.html
LICENSE
SHA256SUMS"
if [ "$listing" == "$expected" ]; then
  echo "ok: the zip holds $(echo $expected)"
else
  fail "the zip holds, in this order: $(echo $listing); expected: $(echo $expected)"
fi
unpacked=$(mktemp -d "${TMPDIR:-/tmp}/vb-release.XXXXXX")
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
if cmp -s "$unpacked/vorlanbrisane64.fxt" "$first/vorlanbrisane64.fxt" &&
  cmp -s "$unpacked/LICENSE" "$source/LICENSE"; then
  echo "ok: the zip holds the built DLL and the license"
else
  fail "the DLL or the license in the zip differs from the built one"
fi
for guide in "${guides[@]}"; do
  cmp -s "$unpacked/$guide" "$first/$guide" || fail "$guide in the zip differs from the release's"
done
if (cd "$unpacked" && sha256sum --quiet -c SHA256SUMS); then
  echo "ok: SHA256SUMS matches the files"
else
  fail "SHA256SUMS does not match the files"
fi

# --- The install texts -------------------------------------------------------------------------
version=${zip##*/vorlanbrisane-}
version=${version%-win64.zip}
# What a text must say the same in every language: paths, file names, options and commands.
# (Bytes, not characters: a word next to Japanese text ends where the Japanese begins.)
facts() {
  LC_ALL=C grep -oE '[A-Z]:\\((Program Files|Vorlan Brisane|[A-Za-z0-9_-]+)\\?)*|/[A-Z]+=?|[a-zA-Z0-9_-]+\.(fxt|txt|exe|html)\b|SHA256SUMS|Get-FileHash|sha256sum -c|[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+' "$1" |
    LC_ALL=C sort -u
}
english_facts=$(facts "$unpacked/INSTALL.txt")
for install in "$unpacked"/INSTALL*.txt; do
  text=$(basename "$install")
  lines=$(wc -l <"$install")
  crlf=$(grep -c $'\r$' "$install")
  if [ "$lines" -gt 0 ] && [ "$lines" == "$crlf" ] && [ -z "$(tail -c 1 "$install")" ]; then
    echo "ok: $text has Windows line ends"
  else
    fail "$text: $crlf of $lines lines end in CR LF"
  fi
  if iconv -f UTF-8 -t UTF-8 "$install" >/dev/null 2>&1 && [ "$(head -c 3 "$install")" != $'\xef\xbb\xbf' ]; then
    echo "ok: $text is UTF-8 without a byte order mark"
  else
    fail "$text is not UTF-8, or begins with a byte order mark"
  fi
  if grep -qE '@[A-Z_]+@' "$install"; then
    fail "$text keeps a placeholder: $(grep -E '@[A-Z_]+@' "$install" | head -n 1)"
  elif [ "$(grep -cF "$version" "$install")" -lt 2 ]; then
    fail "$text does not name the version $version in its title and its version check"
  else
    echo "ok: $text names the version $version"
  fi
  if [ "$(facts "$install")" == "$english_facts" ]; then
    echo "ok: $text names the same paths, files, options and commands as INSTALL.txt"
  else
    fail "$text does not name the same paths, files, options and commands as INSTALL.txt:"
    diff <(echo "$english_facts") <(facts "$install") | sed 's/^/    /'
  fi
done

exit $((failures > 0))
