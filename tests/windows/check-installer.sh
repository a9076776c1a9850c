#!/usr/bin/env bash
# The setup program as administrators use it, silently, in a Wine prefix holding fake
# installations of Finale (a Finale.exe each): what it writes, the installed-apps entry, what the
# uninstaller removes, what it refuses to do and with which exit code, and what it puts back when
# a disk fills up. The full disks are small tmpfs mounts, which need root: where mounting is not
# allowed, those checks are skipped with a line that says so.
#
# Usage: check-installer.sh RELEASE_DIR HOLD_OPEN PREFIX
#   RELEASE_DIR  the folder tools/build-release wrote (the setup program, the zip, the guides)
#   HOLD_OPEN    vb_hold_open.exe, which holds a file open while it runs a program
#   PREFIX       the Wine prefix to make and use; made afresh each time
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
release=$(realpath "${1:?release folder}")
hold_open=$(realpath "${2:?vb_hold_open.exe}")
prefix=$(realpath -m "${3:?Wine prefix}")
wine_run=("$here/../../tools/wine-run" --prefix "$prefix")
source "$(dirname "$0")/check-common.sh"

setups=("$release"/vorlanbrisane-*-win64-setup.exe)
setup=${setups[0]}
[ -f "$setup" ] || {
  echo "FAIL: no setup program in $release"
  exit 1
}
version=${setup##*/vorlanbrisane-}
version=${version%-win64-setup.exe}
work=$(mktemp -d "${TMPDIR:-/tmp}/vb-installer.XXXXXX")
# The tmpfs mounted for a check, unmounted whatever happens.
mounted=()
unmount_all() {
  local folder
  for folder in "${mounted[@]}"; do umount "$folder" 2>/dev/null || umount -l "$folder"; done
  mounted=()
}
trap 'unmount_all; rm -rf "$work"' EXIT
trap 'exit 1' INT TERM
unzip -q -o "$release"/vorlanbrisane-"$version"-win64.zip vorlanbrisane64.fxt -d "$work"
plugin=$work/vorlanbrisane64.fxt

# A run killed while a check had a tmpfs mounted in the prefix left it there: gone first.
while read -r target; do
  target=$(printf '%b' "$target") # findmnt writes a space as \x20
  umount "$target" 2>/dev/null || umount -l "$target"
done < <(findmnt -rn -o TARGET | grep -F "$prefix/")
rm -rf "$prefix" "$prefix.new"
"${wine_run[@]}" --init >/dev/null || {
  echo "FAIL: no Wine prefix"
  exit 1
}
drive=$prefix/drive_c
finale=$drive/Program\ Files/MakeMusic/Finale
program=$drive/Program\ Files/Vorlan\ Brisane
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlanBrisane'

# A fake installation of Finale VERSION: a Finale.exe, and for 26 a plug-in folder holding
# another plug-in that nothing may touch.
fake_finale() {
  mkdir -p "$finale/$1"
  echo "Finale $1" >"$finale/$1/Finale.exe"
  if [ "$1" == 26 ]; then
    mkdir -p "$finale/26/Plug-ins"
    echo "another plug-in" >"$finale/26/Plug-ins/other.fxt"
  fi
}

# Every folder and file of drive C: but the temporary folders; the files with sizes and times (in
# seconds: Windows keeps a file's time to 100 ns, Linux to the nanosecond), and checksums
# outside Wine's own folders. (A folder's time changes with what it held a moment.)
snapshot() {
  (
    cd "$drive" || exit 1
    find . \( -ipath './users/*/temp' -o -ipath './windows/temp' \) -prune -o \
      -type d -printf '%p\n' -o -printf '%p %y %s %Ts\n'
    find . \( -path ./windows -o -path ./users -o -path ./ProgramData \) -prune -o -type f \
      -exec sha256sum {} +
  ) | LC_ALL=C sort
}
# Runs the setup program or another Windows program; its exit code is the result.
wine() { "${wine_run[@]}" "$@" >>"$work/wine.log" 2>&1; }
install() { wine "$setup" "$@"; }
exits_with() {
  if (($1 == $2)); then pass "$3: exits with $2"; else fail "$3: exits with $1, not $2"; fi
}

# Mounts a tmpfs of SIZE on FOLDER for the check WHAT: a disk that fills up. Returns 1, saying the
# check is skipped, where this machine does not let the test mount.
mount_small() {
  if mount -t tmpfs -o "size=$1" tmpfs "$2" 2>"$work/mount.log"; then
    mounted+=("$2")
  else
    echo "SKIP: $3: cannot mount a tmpfs here, so this check did not run: $(cat "$work/mount.log")"
    return 1
  fi
}

# The entry's values as NAME=VALUE lines, read by read_entry; nothing when there is no entry.
entry=""
read_entry() {
  entry=$("${wine_run[@]}" reg query "$key" 2>/dev/null | tr -d '\r' |
    sed -n 's/^    \([^ ]*\)    REG_[A-Z_]*    \(.*\)$/\1=\2/p')
}
value() { sed -n "s/^$1=//p" <<<"$entry"; }

# Uninstalls silently through the entry's UninstallString, as Windows' list of apps does.
uninstall() {
  local command program
  read_entry
  command=$(value UninstallString)
  [ -n "$command" ] || {
    fail "$1: the entry has no UninstallString"
    return
  }
  if [[ "$command" == \"* ]]; then
    program=${command#\"}
    program=${program%%\"*}
  else
    program=${command%% *}
  fi
  wine "$program" /S || fail "$1: the uninstaller exits with $?"
}

same_as_before() {
  if diff <(echo "$1") <(snapshot) >"$work/diff"; then
    pass "$2: drive C: is as it was"
  else
    fail "$2: drive C: changed:"
    head -n 20 "$work/diff" | sed 's/^/    /'
  fi
}
no_entry() {
  read_entry
  if [ -z "$entry" ]; then pass "$1: no installed-apps entry"; else fail "$1: an entry is left"; fi
}
has_plugin() {
  if cmp -s "$plugin" "$finale/$1/Plug-ins/vorlanbrisane64.fxt"; then
    pass "$2: Finale $1 has the zip's vorlanbrisane64.fxt"
  else
    fail "$2: Finale $1 has no vorlanbrisane64.fxt identical to the zip's"
  fi
}
has_no_plugin() {
  if [ ! -e "$finale/$1/Plug-ins/vorlanbrisane64.fxt" ]; then
    pass "$2: Finale $1 has no plug-in"
  else
    fail "$2: Finale $1 got the plug-in"
  fi
}

fake_finale 26
fake_finale 27
before=$(snapshot)

# --- A silent install into every installation found, and a silent uninstall ---------------------
what="silent install"
install /S || fail "$what: exits with $?"
read_entry
has_plugin 26 "$what"
has_plugin 27 "$what"
[ "$(cat "$finale/26/Plug-ins/other.fxt")" == "another plug-in" ] ||
  fail "$what: the other plug-in changed"
for name in DisplayName="Vorlan Brisane" DisplayVersion="$version" \
  Publisher="The Vorlan Brisane authors" 'InstallLocation=C:\Program Files\Vorlan Brisane' \
  'UninstallString="C:\Program Files\Vorlan Brisane\uninstall.exe"'; do
  if grep -qxF "$name" <<<"$entry"; then pass "$what: the entry has $name"; else fail "$what: the entry lacks $name"; fi
done
size=$(($(value EstimatedSize)))
expected_size=$((($(stat -c %s "$plugin") * 2 + $(cat "$program"/* | wc -c)) / 1024))
if ((size > 0 && size >= expected_size - 8 && size <= expected_size + 8)); then
  pass "$what: the entry gives the size, $size KB"
else
  fail "$what: the entry gives the size $size KB; the files take $expected_size KB"
fi
for guide in GUIDE.html GUIDE.de.html GUIDE.fr.html GUIDE.ja.html; do
  cmp -s "$release/$guide" "$program/$guide" || fail "$what: $guide is not installed as released"
done
[ -f "$program/uninstall.exe" ] && pass "$what: the uninstaller and the guides are installed"

what="silent uninstall"
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# --- Nothing to install into -------------------------------------------------------------------
what="no Finale"
mv "$drive/Program Files/MakeMusic" "$work/MakeMusic"
empty=$(snapshot)
install /S
exits_with $? 4 "$what"
no_entry "$what"
same_as_before "$empty" "$what"
mv "$work/MakeMusic" "$drive/Program Files/MakeMusic"

# --- /FINALEDIR= names one installation --------------------------------------------------------
what="/FINALEDIR= one of two"
install /S '/FINALEDIR=C:\Program Files\MakeMusic\Finale\27' || fail "$what: exits with $?"
has_plugin 27 "$what"
has_no_plugin 26 "$what"
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# Elsewhere than the usual folder, quoted as cmd.exe passes it, with a trailing backslash.
what="/FINALEDIR= elsewhere"
mkdir -p "$drive/Music Apps/Finale"
echo "Finale 27" >"$drive/Music Apps/Finale/Finale.exe"
elsewhere=$(snapshot)
wine "$hold_open" - "$setup" /S '/FINALEDIR="C:\Music Apps\Finale\"' || fail "$what: exits with $?"
if cmp -s "$plugin" "$drive/Music Apps/Finale/Plug-ins/vorlanbrisane64.fxt"; then
  pass "$what: installed into C:\\Music Apps\\Finale\\Plug-ins"
else
  fail "$what: not installed into C:\\Music Apps\\Finale\\Plug-ins"
fi
has_no_plugin 26 "$what"
has_no_plugin 27 "$what"
uninstall "$what"
no_entry "$what"
same_as_before "$elsewhere" "$what"

what="/FINALEDIR= without Finale"
rm "$drive/Music Apps/Finale/Finale.exe"
nothing=$(snapshot)
install /S '/FINALEDIR=C:\Music Apps\Finale'
exits_with $? 4 "$what"
no_entry "$what"
same_as_before "$nothing" "$what"
rm -r "$drive/Music Apps"

# A relative path would name a folder that depends on where setup was started: refused, even
# started from the folder where it names an installation.
what="/FINALEDIR= not a full path"
(cd "$finale" && install /S /FINALEDIR=27)
exits_with $? 4 "$what"
no_entry "$what"
same_as_before "$before" "$what"

# --- An upgrade over an older build ------------------------------------------------------------
what="upgrade"
install /S || fail "$what: the first install exits with $?"
echo "an older build" >"$finale/26/Plug-ins/vorlanbrisane64.fxt"
echo "an older build" >"$finale/27/Plug-ins/vorlanbrisane64.fxt"
wine reg add "$key" /v DisplayVersion /d 1.0.1.0 /f || fail "$what: cannot set the old version"
install /S || fail "$what: exits with $?"
read_entry
has_plugin 26 "$what"
has_plugin 27 "$what"
[ "$(value DisplayVersion)" == "$version" ] && pass "$what: the entry gives version $version" ||
  fail "$what: the entry gives version $(value DisplayVersion)"
[ "$(grep -c '^File[0-9]*=' <<<"$entry")" == 2 ] && pass "$what: two files recorded" ||
  fail "$what: recorded $(grep '^File[0-9]*=' <<<"$entry" | tr '\n' ' ')"
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# --- A plug-in in use --------------------------------------------------------------------------
# The last of the installations holds it: the earlier one, written first, must not stay changed.
what="file in use"
mkdir -p "$finale/27/Plug-ins"
echo "an older build" >"$finale/26/Plug-ins/vorlanbrisane64.fxt"
echo "an older build" >"$finale/27/Plug-ins/vorlanbrisane64.fxt"
in_use=$(snapshot)
wine "$hold_open" "$finale/27/Plug-ins/vorlanbrisane64.fxt" "$setup" /S
exits_with $? 3 "$what"
no_entry "$what"
same_as_before "$in_use" "$what"
rm -r "$finale/26/Plug-ins/vorlanbrisane64.fxt" "$finale/27/Plug-ins"

# --- A full temporary folder -------------------------------------------------------------------
# Too full for setup to start: NSIS's own exit code 2, nothing written. Too small for what setup
# unpacks there, though big enough for it to start: our 5, and it stops before it writes
# anything. An older plug-in in Finale 27 must stay as it was.
temps=("$drive"/users/*/Temp)
mkdir -p "$finale/27/Plug-ins"
head -c 250000 /dev/urandom >"$work/older.fxt"
cp "$work/older.fxt" "$finale/27/Plug-ins/vorlanbrisane64.fxt"
older=$(snapshot)
what="temporary folder too full to start"
if mount_small 16k "${temps[0]}" "$what"; then
  install /S
  exits_with $? 2 "$what"
  no_entry "$what"
  same_as_before "$older" "$what"
  unmount_all
fi
what="full temporary folder"
if mount_small 1400k "${temps[0]}" "$what"; then
  install /S
  exits_with $? 5 "$what"
  cmp -s "$work/older.fxt" "$finale/27/Plug-ins/vorlanbrisane64.fxt" &&
    pass "$what: the older plug-in is still there, byte for byte" ||
    fail "$what: the older plug-in was changed"
  no_entry "$what"
  same_as_before "$older" "$what"
  unmount_all
fi
rm -r "$finale/27/Plug-ins"

# --- A disk that fills up part-way -------------------------------------------------------------
# An upgrade whose guides do not fit where the earlier ones are: the plug-ins are written first,
# then the first guide fails. Everything goes back: the older plug-ins, the earlier guides and
# uninstaller, the entry.
what="disk full part-way"
install /S || fail "$what: the first install exits with $?"
echo "an older build" >"$finale/26/Plug-ins/vorlanbrisane64.fxt"
echo "an older build" >"$finale/27/Plug-ins/vorlanbrisane64.fxt"
wine reg add "$key" /v DisplayVersion /d 1.0.1.0 /f || fail "$what: cannot set the old version"
mv "$program" "$work/program"
mkdir "$program"
if mount_small 200k "$program" "$what"; then
  cp -p "$work/program/uninstall.exe" "$program/"
  for guide in GUIDE.html GUIDE.de.html GUIDE.fr.html GUIDE.ja.html; do
    echo "an older guide" >"$program/$guide"
  done
  read_entry
  earlier_entry=$entry
  earlier=$(snapshot)
  install /S
  exits_with $? 5 "$what"
  same_as_before "$earlier" "$what"
  read_entry
  if [ "$entry" == "$earlier_entry" ]; then
    pass "$what: the entry is as it was"
  else
    fail "$what: the entry changed:"
    diff <(echo "$earlier_entry") <(echo "$entry") | sed 's/^/    /'
  fi
  uninstall "$what"
  unmount_all
  rmdir "$program"
else
  rmdir "$program"
  mv "$work/program" "$program"
  uninstall "$what"
fi
no_entry "$what"
same_as_before "$before" "$what"

if ((failures)); then
  echo "Wine's output:"
  sed 's/^/    /' "$work/wine.log"
fi
exit $((failures > 0))
