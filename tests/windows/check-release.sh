#!/usr/bin/env bash
# The release package: tools/build-release run in two copies of the sources at different paths
# must give the same DLL and the same zip, byte for byte; and the zip must hold what a user
# needs, as the install text promises.
#
# Usage: check-release.sh SOURCE_DIR
# The copies hold what a commit of the sources would: the files git tracks, and new files it
# does not ignore.
set -uo pipefail
source=$(realpath "${1:?source folder}")
work=$(mktemp -d "${TMPDIR:-/tmp}/vb-release.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

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
for file in vorlanbrisane64.fxt "$(basename "$zip")"; do
    if [ ! -f "$second/$file" ]; then
        fail "the second build has no $file"
    elif cmp -s "$first/$file" "$second/$file"; then
        echo "ok: $file is the same in both builds"
    else
        fail "$file differs between the builds: $(cmp -l "$first/$file" "$second/$file" |
            wc -l) bytes, the first at offsets (decimal, 1-based; octal bytes):"
        cmp -l "$first/$file" "$second/$file" | head -n 8 | sed 's/^/    /'
    fi
done

# --- What the zip holds ------------------------------------------------------------------------
listing=$(unzip -Z1 "$zip")
expected="vorlanbrisane64.fxt
INSTALL.txt
LICENSE
SHA256SUMS"
if [ "$listing" == "$expected" ]; then
    echo "ok: the zip holds $(echo $expected)"
else
    fail "the zip holds, in this order: $(echo $listing); expected: $(echo $expected)"
fi
unpacked=$work/unpacked
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
if cmp -s "$unpacked/vorlanbrisane64.fxt" "$first/vorlanbrisane64.fxt" &&
   cmp -s "$unpacked/LICENSE" "$source/LICENSE"; then
    echo "ok: the zip holds the built DLL and the license"
else
    fail "the DLL or the license in the zip differs from the built one"
fi
if (cd "$unpacked" && sha256sum --quiet -c SHA256SUMS); then
    echo "ok: SHA256SUMS matches the files"
else
    fail "SHA256SUMS does not match the files"
fi
install=$unpacked/INSTALL.txt
lines=$(wc -l <"$install")
crlf=$(grep -c $'\r$' "$install")
if [ "$lines" -gt 0 ] && [ "$lines" == "$crlf" ] && [ -z "$(tail -c 1 "$install")" ]; then
    echo "ok: INSTALL.txt has Windows line ends"
else
    fail "INSTALL.txt: $crlf of $lines lines end in CR LF"
fi
version=${zip##*/vorlanbrisane-}
version=${version%-win64.zip}
if grep -qE '@[A-Z_]+@' "$install"; then
    fail "INSTALL.txt keeps a placeholder: $(grep -E '@[A-Z_]+@' "$install" | head -n 1)"
elif [ "$(grep -cF "$version" "$install")" -lt 2 ]; then
    fail "INSTALL.txt does not name the version $version in its title and its version check"
else
    echo "ok: INSTALL.txt names the version $version"
fi

exit $((failures > 0))
