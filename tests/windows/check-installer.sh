#!/usr/bin/env bash
# The setup program as administrators use it, silently, in a Wine prefix holding fake
# installations of Finale (a Finale.exe each): what it writes, the installed-apps entry, what the
# uninstaller removes, what it refuses to do and with which exit code, and what it puts back when
# a disk fills up or a file is held by another program. The full disks are small tmpfs mounts,
# and a folder whose files cannot be removed is one with Linux's append-only attribute; both need
# root: where they are not allowed, those checks are skipped with a line that says so.
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

# The entry's values as NAME=VALUE lines, read by read_entry; nothing when there is no entry. They
# are read from the file where Wine keeps the registry, which its server writes when it ends (as
# it has when wine-run returns): as reg query gives them, a number as 0x..., without the seconds
# that starting Wine for reg query would take each time.
entry=""
read_entry() {
  entry=$(section='[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VorlanBrisane]' awk '
    index($0, ENVIRON["section"] " ") == 1 { inside = 1; next }
    !inside { next }
    /^$/ { exit }
    /^"/ {
      name = substr($0, 2, index(substr($0, 2), "\"") - 1)
      data = substr($0, length(name) + 4)
      if (data ~ /^dword:/) {
        data = substr(data, 7)
        sub(/^0+/, "", data)
        print name "=0x" (data == "" ? "0" : data)
      } else if (data ~ /^"/) {
        value = ""
        for (i = 2; i < length(data); i++) {
          c = substr(data, i, 1)
          if (c == "\\") c = substr(data, ++i, 1)
          value = value c
        }
        print name "=" value
      }
    }' "$prefix/system.reg")
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

entry_as_before() {
  read_entry
  if [ "$entry" == "$1" ]; then
    pass "$2: the entry is as it was"
  else
    fail "$2: the entry changed:"
    diff <(echo "$1") <(echo "$entry") | sed 's/^/    /'
  fi
}
# No file that setup moved aside (NAME.N.setup-old) is left in the Program Files folder.
no_aside_left() {
  local left
  left=$(cd "$drive/Program Files" && find . -name '*.[0-9]*.setup-old')
  if [ -z "$left" ]; then
    pass "$1: no file moved aside is left"
  else
    fail "$1: files moved aside are left: $(echo $left)"
  fi
}
# Nothing of a setup's is left for the next restart of Windows: NSIS removes its temporary folder
# at the end only when it is not the current folder, and else leaves it for Windows to remove
# then, in a value that some installers read as a restart pending.
nothing_left_for_restart() {
  local left
  left=$(cd "$drive" && find users/*/Temp windows/temp -maxdepth 1 -iname 'ns*.tmp' 2>/dev/null)
  if grep -q '^"PendingFileRenameOperations"=' "$prefix/system.reg"; then
    left+=" $(grep -a '^"PendingFileRenameOperations"=' "$prefix/system.reg")"
  fi
  if [ -z "$left" ]; then
    pass "$1: nothing is left for the next restart"
  else
    fail "$1: left for the next restart: $(echo $left)"
  fi
}
# The files the entry records, each on a line.
recorded_files() { sed -n 's/^File[0-9]*=//p' <<<"$entry"; }
# The entry's size is that of the files setup installed, as they are: two plug-ins, the guides
# and the uninstaller, within 8 KB.
size_as_on_disk() {
  local size expected
  size=$(($(value EstimatedSize)))
  expected=$((($(stat -c %s "$plugin") * 2 + $(cat "$program"/* | wc -c)) / 1024))
  if ((size > 0 && size >= expected - 8 && size <= expected + 8)); then
    pass "$1: the entry gives the size, $size KB"
  else
    fail "$1: the entry gives the size $size KB; the files take $expected KB"
  fi
}
same_file() {
  if cmp -s "$1" "$2"; then pass "$3"; else fail "$3: no, $2 differs"; fi
}

# An earlier install whose plug-ins are an older build and whose entry gives an older version:
# what an upgrade starts from.
older_install() {
  local version
  install /S || fail "$1: the first install exits with $?"
  for version in 25 26 27; do
    if [ -d "$finale/$version/Plug-ins" ]; then
      echo "an older build" >"$finale/$version/Plug-ins/vorlanbrisane64.fxt"
    fi
  done
  wine reg add "$key" /v DisplayVersion /d 1.0.1.0 /f || fail "$1: cannot set the old version"
}

# Puts the program folder on a tmpfs of SIZE holding the uninstaller and older guides, for the
# check WHAT: a disk that fills up part-way through an upgrade. Returns 1 where the test cannot
# mount; program_off_small_disk puts the folder back on drive C: with what it then holds.
program_on_small_disk() {
  local guide
  mv "$program" "$work/program"
  mkdir "$program"
  if ! mount_small "$1" "$program" "$2"; then
    rmdir "$program"
    mv "$work/program" "$program"
    return 1
  fi
  cp -p "$work/program/uninstall.exe" "$program/"
  rm -r "$work/program"
  for guide in GUIDE.html GUIDE.de.html GUIDE.fr.html GUIDE.ja.html; do
    echo "an older guide" >"$program/$guide"
  done
}
program_off_small_disk() {
  mkdir "$work/program"
  cp -pr "$program/." "$work/program/"
  unmount_all
  rmdir "$program"
  mv "$work/program" "$program"
}
# The size a file takes on a tmpfs, in KB: whole pages.
kb() { echo $((($(stat -c %s "$1") + 4095) / 4096 * 4)); }

# Sets Linux's append-only attribute on FOLDER for the check WHAT: files can be made there but
# not removed, as when another program holds them. Returns 1, saying the check is skipped, where
# the file system or the user cannot.
append_only() {
  if chattr +a "$1" 2>"$work/chattr.log"; then
    return 0
  fi
  echo "SKIP: $2: cannot make a folder append-only here, so this check did not run: $(cat "$work/chattr.log")"
  return 1
}

# Runs a Windows program as wine does, keeping in the file LOG what Wine writes on its debug
# CHANNELS (as WINEDEBUG takes them).
wine_logging() {
  local channels=$1 log=$2
  shift 2
  (
    export WINEPREFIX="$prefix" WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" \
      WINEDEBUG=$channels
    status=0
    env -u DISPLAY wine "$@" </dev/null >/dev/null 2>"$log" || status=$?
    wineserver --wait || true
    exit $status
  )
}
# Keeps what Wine writes of the event log: Wine has no event log of its own, and writes an error
# event as an "err:eventlog:" line.
wine_logging_events() { wine_logging err+eventlog "$@"; }

# Programs run between two restarts of Windows: one Wine session, from session_start to
# session_end, for session_wine to run programs in. Wine carries out what was left for the next
# restart (PendingFileRenameOperations) as a session starts, and wine-run starts one each time.
session_env() { env -u DISPLAY WINEPREFIX="$prefix" WINEARCH=win64 \
  WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all "$@"; }
session_start() { session_env wineserver --persistent; }
session_wine() { session_env wine "$@" </dev/null >>"$work/wine.log" 2>&1; }
session_end() {
  session_env wineserver --kill
  session_env wineserver --wait
}
# Whether the error events logged in LOG include TEXT (a Windows path's "\" doubled, as Wine
# writes it; the text may be cut after 300 characters).
logged() {
  local text=${2//\\/\\\\}
  if grep -a '^[0-9a-f]*:err:eventlog:' "$1" | grep -qF "$text"; then
    pass "$3: the event log says $2"
  else
    fail "$3: the event log does not say $2; it has:"
    grep -a 'eventlog' "$1" | sed 's/^/    /'
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
size_as_on_disk "$what"
for guide in GUIDE.html GUIDE.de.html GUIDE.fr.html GUIDE.ja.html; do
  cmp -s "$release/$guide" "$program/$guide" || fail "$what: $guide is not installed as released"
done
[ -f "$program/uninstall.exe" ] && pass "$what: the uninstaller and the guides are installed"
nothing_left_for_restart "$what"

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
nothing_left_for_restart "$what"
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
# Traced: no file is made or emptied at a name setup installs, each comes there whole, by a
# rename; a setup stopped while it copies leaves no part of a plug-in where Finale loads it.
wine_logging trace+file "$work/trace.log" "$setup" /S || fail "$what: exits with $?"
creates=$(grep -a ':trace:file:NtCreateFile ' "$work/trace.log" | grep -av ' disp=1 ')
made=$(grep -aoE 'name=L"[^"]*Program Files[^"]*\\(vorlanbrisane64\.fxt|GUIDE(\.[a-z]+)?\.html|uninstall\.exe)"' <<<"$creates")
# The copies beside the two plug-ins show that the trace holds the creations at all.
copies=$(grep -acE 'name=L"[^"]*Plug-ins\\+vorlanbrisane64\.fxt\.[0-9]+\.setup-old"' <<<"$creates")
if [ -z "$made" ] && ((copies >= 2)); then
  pass "$what: each file comes to its name by a rename"
else
  fail "$what: files made or emptied at their names: $(echo $made); copies made beside the plug-ins: $copies"
fi
read_entry
has_plugin 26 "$what"
has_plugin 27 "$what"
[ "$(value DisplayVersion)" == "$version" ] && pass "$what: the entry gives version $version" ||
  fail "$what: the entry gives version $(value DisplayVersion)"
[ "$(grep -c '^File[0-9]*=' <<<"$entry")" == 2 ] && pass "$what: two files recorded" ||
  fail "$what: recorded $(grep '^File[0-9]*=' <<<"$entry" | tr '\n' ' ')"
# Measured without the files moved aside, removed after.
size_as_on_disk "$what"
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
nothing_left_for_restart "$what"
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
  nothing_left_for_restart "$what"
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
  nothing_left_for_restart "$what"
  entry_as_before "$earlier_entry" "$what"
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

# --- Files to replace that are empty -----------------------------------------------------------
# An empty file is a whole file: a plug-in emptied by a failed copy, or an empty guide, is
# replaced like any other.
older_install "upgrade over empty files"
for empty in "$finale/27/Plug-ins/vorlanbrisane64.fxt" "$program/GUIDE.fr.html"; do
  what="upgrade over an empty ${empty##*/}"
  echo "an older build" >"$finale/26/Plug-ins/vorlanbrisane64.fxt"
  echo "an older build" >"$finale/27/Plug-ins/vorlanbrisane64.fxt"
  : >"$empty"
  install /S
  exits_with $? 0 "$what"
  has_plugin 26 "$what"
  has_plugin 27 "$what"
  same_file "$release/GUIDE.fr.html" "$program/GUIDE.fr.html" "$what: GUIDE.fr.html is the release's"
  no_aside_left "$what"
done
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# --- Other files to replace in use -------------------------------------------------------------
# Every file setup replaces is checked before the first write, not only the plug-ins: a guide or
# the uninstaller held by a program that reads it (letting others read it, and delete it or not)
# stops an upgrade with nothing written, as a plug-in in use does.
older_install "files in use during an upgrade"
read_entry
earlier_entry=$entry
earlier=$(snapshot)
for held in "r GUIDE.de.html" "rd GUIDE.html" "r uninstall.exe"; do
  read -r share name <<<"$held"
  what="upgrade with $name in use ($share)"
  wine "$hold_open" --share "$share" "$program/$name" "$setup" /S
  exits_with $? 3 "$what"
  same_as_before "$earlier" "$what"
  entry_as_before "$earlier_entry" "$what"
done

# --- A write that fails after files held by other programs were replaced -----------------------
# Each file replaced is moved aside and moved back, never deleted and copied back: one that
# another program holds, letting others write and delete it, comes back whole, where a deleted
# one would stay behind only for the program that holds it. The program folder fills up at the
# first guide, after the plug-ins; or at the third, after the GUIDE.de.html held.
held_files=("$finale/27/Plug-ins/vorlanbrisane64.fxt" "$program/GUIDE.de.html")
fitting=(0 $(($(kb "$release/GUIDE.html") + $(kb "$release/GUIDE.de.html"))))
for i in "${!held_files[@]}"; do
  file=${held_files[i]}
  what="disk full part-way, ${file#"$drive"/} in use (rwd)"
  if program_on_small_disk "$(($(kb "$program/uninstall.exe") + 16 + fitting[i] + 64))k" "$what"; then
    earlier=$(snapshot)
    wine "$hold_open" --share rwd "$file" "$setup" /S
    exits_with $? 5 "$what"
    same_as_before "$earlier" "$what"
    entry_as_before "$earlier_entry" "$what"
    program_off_small_disk
  fi
done
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# Three installations, the one in the middle in use: nothing is written, the first included.
what="three installations, Finale 26's plug-in in use"
fake_finale 25
mkdir -p "$finale/25/Plug-ins" "$finale/27/Plug-ins"
for version in 25 26 27; do echo "an older build" >"$finale/$version/Plug-ins/vorlanbrisane64.fxt"; done
earlier=$(snapshot)
wine "$hold_open" "$finale/26/Plug-ins/vorlanbrisane64.fxt" "$setup" /S
exits_with $? 3 "$what"
no_entry "$what"
same_as_before "$earlier" "$what"

# --- A file that cannot be put back -----------------------------------------------------------
# A file that is not setup's takes the name of a plug-in setup moved aside, before setup writes
# there (here the same name in capitals, which Wine finds as Windows finds one name): setup writes
# nothing over it and leaves it, keeps the earlier plug-in aside, beside it, and says which and
# where, in Windows' event log when silent, with an exit code of its own. It puts back the rest:
# Finale 26 is the second of three installations. (The new plug-in, copied first beside its place
# to be renamed into it, took the first free name of a file moved aside; it is removed.)
what="a file not setup's takes a plug-in's name"
echo "not setup's" >"$finale/26/Plug-ins/VORLANBRISANE64.FXT"
if [ "$(cat "$finale/26/Plug-ins/vorlanbrisane64.fxt")" != "an older build" ]; then
  echo "SKIP: $what: this file system does not tell names apart by case, so this check did not run"
else
  earlier=$(snapshot)
  wine_logging_events "$work/events.log" "$setup" /S
  exits_with $? 6 "$what"
  aside="$finale/26/Plug-ins/vorlanbrisane64.fxt.2.setup-old"
  logged "$work/events.log" 'could not put back C:\Program Files\MakeMusic\Finale\26\Plug-ins\vorlanbrisane64.fxt' "$what"
  [ "$(cat "$aside" 2>/dev/null)" == "an older build" ] &&
    pass "$what: the earlier plug-in is kept as ${aside##*/}" ||
    fail "$what: the earlier plug-in is not kept as ${aside##*/}"
  no_entry "$what"
  nothing_left_for_restart "$what"
  mv "$aside" "$finale/26/Plug-ins/vorlanbrisane64.fxt"
  same_as_before "$earlier" "$what: with it put back,"
fi
rm "$finale/26/Plug-ins/VORLANBRISANE64.FXT" "$finale"/2[567]/Plug-ins/vorlanbrisane64.fxt

# The rollback goes on past a file it cannot take back. Here Finale 26 had no plug-in, and the
# copy of the new one that setup makes beside its place can be neither renamed into it nor
# removed (the folder is append-only): setup stops there, says which file stays, and puts back
# Finale 25's earlier plug-in. The entry is as it was: it records Finale 26's plug-in, and the
# uninstaller removes that copy with it, as every file moved aside.
what="a new plug-in that cannot be taken back"
older_install "$what"
rm "$finale/26/Plug-ins/vorlanbrisane64.fxt"
copy="$finale/26/Plug-ins/vorlanbrisane64.fxt.1.setup-old"
if append_only "$finale/26/Plug-ins" "$what"; then
  read_entry
  earlier_entry=$entry
  earlier=$(snapshot)
  wine_logging_events "$work/events.log" "$setup" /S
  exits_with $? 6 "$what"
  logged "$work/events.log" 'could not remove C:\Program Files\MakeMusic\Finale\26\Plug-ins\vorlanbrisane64.fxt.1.setup-old' "$what"
  same_file "$plugin" "$copy" "$what: the copy named is left"
  entry_as_before "$earlier_entry" "$what"
  nothing_left_for_restart "$what"
  chattr -a "$finale/26/Plug-ins"
  mv "$copy" "$work/copy"
  same_as_before "$earlier" "$what: but for that file,"
  mv "$work/copy" "$copy"
fi
uninstall "$what"
rm -r "$finale/25" "$finale/27/Plug-ins"
no_entry "$what"
same_as_before "$before" "$what"

# With no earlier install the entry is new: it records the plug-in that cannot be taken back, and
# names the uninstaller, written again for it, so that uninstalling removes that copy.
what="a new plug-in that cannot be taken back, no earlier install"
if append_only "$finale/26/Plug-ins" "$what"; then
  wine_logging_events "$work/events.log" "$setup" /S
  exits_with $? 6 "$what"
  read_entry
  [ "$(recorded_files)" == 'C:\Program Files\MakeMusic\Finale\26\Plug-ins\vorlanbrisane64.fxt' ] &&
    pass "$what: the entry records Finale 26's plug-in" ||
    fail "$what: the entry records $(recorded_files | tr '\n' ' ')"
  [ "$(value UninstallString)" == '"C:\Program Files\Vorlan Brisane\uninstall.exe"' ] &&
    [ -f "$program/uninstall.exe" ] && pass "$what: the entry names the uninstaller, which is there" ||
    fail "$what: the entry names no uninstaller that is there"
  same_file "$plugin" "$copy" "$what: the copy named is left"
  has_no_plugin 27 "$what"
  nothing_left_for_restart "$what"
  chattr -a "$finale/26/Plug-ins"
fi
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# Where the uninstaller cannot be written either (the program folder is a tmpfs too small for
# it), the entry names none, and Windows does not list it; it still records the plug-in, for the
# next setup, whose uninstaller then removes all.
what="a new plug-in that cannot be taken back, no room for the uninstaller"
mkdir "$program"
if append_only "$finale/26/Plug-ins" "$what"; then
  if mount_small 64k "$program" "$what"; then
    install /S
    exits_with $? 6 "$what"
    read_entry
    [ "$(recorded_files)" == 'C:\Program Files\MakeMusic\Finale\26\Plug-ins\vorlanbrisane64.fxt' ] &&
      pass "$what: the entry records Finale 26's plug-in" ||
      fail "$what: the entry records $(recorded_files | tr '\n' ' ')"
    [ -z "$(value UninstallString)" ] && [ ! -e "$program/uninstall.exe" ] &&
      pass "$what: the entry names no uninstaller, and none is there" ||
      fail "$what: the entry names the uninstaller $(value UninstallString)"
    nothing_left_for_restart "$what"
    unmount_all
  fi
  chattr -a "$finale/26/Plug-ins"
fi
install /S
exits_with $? 0 "$what, the next setup"
read_entry
[ "$(recorded_files | wc -l)" == 2 ] && pass "$what: the next setup records two files" ||
  fail "$what: the next setup records $(recorded_files | tr '\n' ' ')"
uninstall "$what"
rmdir "$program"
no_entry "$what"
same_as_before "$before" "$what"

# --- Files left aside by a setup that was stopped ----------------------------------------------
# A setup killed after it moved Finale 27's plug-in and a guide aside, before it wrote their new
# ones. A later setup that fails leaves them as they are, and never takes them for its own; one
# that succeeds removes them; the uninstaller removes such files beside the files it removes.
# Files of the user's with like names are never touched.
what="files left aside by a stopped setup"
older_install "$what"
mv "$finale/27/Plug-ins/vorlanbrisane64.fxt" "$finale/27/Plug-ins/vorlanbrisane64.fxt.1.setup-old"
echo "an even older build" >"$finale/27/Plug-ins/vorlanbrisane64.fxt.2.setup-old"
users=("$finale/26/Plug-ins/vorlanbrisane64.fxt.old" "$finale/26/Plug-ins/vorlanbrisane64.fxt.x.setup-old"
  "$finale/26/Plug-ins/vorlanbrisane64.fxt.1.setup-old.txt")
for file in "${users[@]}"; do echo "the user's" >"$file"; done
users_untouched() {
  for file in "${users[@]}"; do
    [ "$(cat "$file" 2>/dev/null)" == "the user's" ] && pass "$1: ${file##*/} is untouched" ||
      fail "$1: ${file##*/} changed"
  done
}
if program_on_small_disk 200k "$what"; then
  mv "$program/GUIDE.html" "$program/GUIDE.html.3.setup-old"
  earlier=$(snapshot)
  install /S
  exits_with $? 5 "$what, a setup that fails"
  same_as_before "$earlier" "$what, a setup that fails"
  program_off_small_disk
fi
install /S
exits_with $? 0 "$what"
has_plugin 26 "$what"
has_plugin 27 "$what"
no_aside_left "$what"
users_untouched "$what"
echo "an older build" >"$finale/27/Plug-ins/vorlanbrisane64.fxt.4.setup-old"
echo "an older uninstaller" >"$program/uninstall.exe.1.setup-old"
uninstall "$what"
no_aside_left "$what, uninstalled"
users_untouched "$what, uninstalled"
rm -f "${users[@]}"
no_entry "$what"
same_as_before "$before" "$what"

# --- An uninstaller that removes all or nothing ------------------------------------------------
# Every file it removes is checked first: with one in use (a guide, a plug-in, the uninstaller
# itself) nothing is removed and the entry stays. Run as Windows runs it, the uninstaller hands
# its work to a copy of itself and returns at once, its exit code telling nothing (hold_open holds
# the file until the copy has ended); run with _?=, it does the work itself and exits with 3.
what="uninstall"
install /S || fail "$what: the install exits with $?"
read_entry
installed_entry=$entry
installed=$(snapshot)
in_place='_?=C:\Program Files\Vorlan Brisane'
shares=(r r rd r)
held_files=("$program/GUIDE.de.html" "$program/GUIDE.de.html" "$finale/27/Plug-ins/vorlanbrisane64.fxt"
  "$program/uninstall.exe")
places=("" "$in_place" "$in_place" "")
for i in "${!held_files[@]}"; do
  file=${held_files[i]}
  place=${places[i]}
  how="$what with ${file#"$drive"/} in use${place:+, $place}"
  wine "$hold_open" --share "${shares[i]}" "$file" "$program/uninstall.exe" /S ${place:+"$place"}
  status=$?
  [ -n "$place" ] && exits_with $status 3 "$how"
  same_as_before "$installed" "$how"
  entry_as_before "$installed_entry" "$how"
done

# A file that cannot be removed after all, although it was found removable (here its folder is
# append-only): the uninstaller removes what it can, says which file stays (6), and keeps the
# entry and itself, so that uninstalling again finishes the work.
what="uninstall, a plug-in that cannot be removed"
if append_only "$finale/26/Plug-ins" "$what"; then
  wine_logging_events "$work/events.log" "$hold_open" - "$program/uninstall.exe" /S "$in_place"
  exits_with $? 6 "$what"
  logged "$work/events.log" 'could not remove C:\Program Files\MakeMusic\Finale\26\Plug-ins\vorlanbrisane64.fxt' "$what"
  has_plugin 26 "$what: the file named is left:"
  has_no_plugin 27 "$what"
  [ -f "$program/uninstall.exe" ] && pass "$what: the uninstaller stays" ||
    fail "$what: the uninstaller is gone"
  entry_as_before "$installed_entry" "$what"
  chattr -a "$finale/26/Plug-ins"
fi
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# --- A setup run after an uninstall in place, before a restart ---------------------------------
# Run with _?=, the uninstaller cannot remove itself: it leaves itself and its folder for Windows
# to remove at the next restart. A setup run before that restart writes its uninstaller at that
# name: it takes it off what Windows removes, and takes the folder as made for its files. After
# the restart (a new Wine session) the uninstaller is there, and removes all.
what="setup after an uninstall in place, before a restart"
install /S || fail "$what: the install exits with $?"
session_start
session_wine "$hold_open" - "$program/uninstall.exe" /S "$in_place"
exits_with $? 0 "$what: the uninstaller"
session_wine "$setup" /S
exits_with $? 0 "$what: setup"
session_end
wine cmd /c exit || fail "$what: cannot restart"
read_entry
[ -f "$program/uninstall.exe" ] && pass "$what: after the restart the uninstaller is there" ||
  fail "$what: after the restart the uninstaller is gone"
[ "$(value MadeProgramFolder)" == 'C:\Program Files\Vorlan Brisane' ] &&
  pass "$what: the entry records the program folder as made" ||
  fail "$what: the entry records the program folder as made: $(value MadeProgramFolder)"
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# --- /FINALEDIR= as Windows reads a path -------------------------------------------------------
# "/" is a "\" too; "." and ".." are resolved, and setup works on, records and uninstalls the
# folder they name: each form installs into Finale 27 over the one before, one file recorded.
for given in 'C:/Program Files/MakeMusic/Finale/27' 'C:\Program Files\MakeMusic\Finale\26\..\.\27\x\..' \
  'c:\program files\makemusic\finale\27\.\'; do
  what="/FINALEDIR=$given"
  install /S "/FINALEDIR=$given"
  exits_with $? 0 "$what"
  has_plugin 27 "$what"
  has_no_plugin 26 "$what"
  read_entry
  recorded=$(grep '^File[0-9]*=' <<<"$entry")
  [ "${recorded,,}" == 'file1=c:\program files\makemusic\finale\27\plug-ins\vorlanbrisane64.fxt' ] &&
    pass "$what: records $recorded" || fail "$what: records $(echo $recorded)"
done
uninstall "$what"
no_entry "$what"
same_as_before "$before" "$what"

# Refused with 4 and nothing made: a drive's root, reached through ".." or "."; paths that Windows
# passes on as they are (\\?\) or that name a device (\\.\), which would bypass every check; a
# folder longer than setup takes (200 characters); and a command line longer than setup can read
# whole (1,023 characters), which would cut /FINALEDIR= short. The drive's root and the long
# folder hold a Finale.exe, and the last names Finale 27's folder wherever it were cut.
deep='C:\Deep'
while ((${#deep} <= 200)); do deep+='\folder-of-folders'; done
deep_unix=$drive/${deep#'C:\'}
deep_unix=${deep_unix//\\//}
mkdir -p "$deep_unix"
echo "Finale 27" >"$deep_unix/Finale.exe"
echo "Finale 27" >"$drive/Finale.exe"
cut_short='C:\Program Files\MakeMusic\Finale\27'
while ((${#cut_short} <= 1100)); do cut_short+='\.'; done
refused=$(snapshot)
for given in 'C:\Program Files\..' 'C:\.' '\\?\C:\' '\\?\C:\Program Files\MakeMusic\Finale\27' \
  '\\.\C:\Program Files\MakeMusic\Finale\27' "$deep" "$cut_short"; do
  what="/FINALEDIR= of ${#given} characters, ${given:0:24}..."
  install /S "/FINALEDIR=$given"
  exits_with $? 4 "$what"
  no_entry "$what"
  same_as_before "$refused" "$what"
done
rm -r "$drive/Deep" "$drive/Finale.exe"

if ((failures)); then
  echo "Wine's output:"
  sed 's/^/    /' "$work/wine.log"
fi
exit $((failures > 0))
