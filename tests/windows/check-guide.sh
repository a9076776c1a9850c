#!/usr/bin/env bash
# The release's guides: each one self-contained valid HTML (no scripts, nothing fetched), holding
# every picture of release/guide/figures.txt as an SVG that renders, labelled in the guide's
# language (a Japanese one in fonts that have Japanese), quoting each message box as
# the plug-in shows it in the guide's language, and reading well in a browser at a laptop's
# width: nothing wider than the window, the pictures loaded and shown large enough to read. The
# browser's screenshots of each guide (the first screen and the whole page) are left in OUT_DIR
# for a person to look at.
#
# Usage: check-guide.sh RELEASE_DIR SOURCE_DIR OUT_DIR
set -uo pipefail
release=$(realpath "${1:?release folder}")
source=$(realpath "${2:?source folder}")
out=$(realpath -m "${3:?folder for the screenshots}")
rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d "${TMPDIR:-/tmp}/vb-guide.XXXXXX")
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/check-common.sh"

for tool in xmllint rsvg-convert chromium fc-list; do
  command -v "$tool" >/dev/null || {
    echo "FAIL: $tool is missing (tools/setup installs it)"
    exit 1
  }
done
# Without a Japanese font the Japanese guide's screenshots show empty boxes for its characters.
[ -n "$(fc-list :lang=ja)" ] || fail "no font has Japanese (tools/setup installs fonts-ipafont-gothic)"
# A page that waits for something (a dialog of a script) must not hold the check up.
browser=(timeout 120 chromium --headless --no-sandbox --disable-gpu --no-first-run
  --disable-background-networking --disable-component-update --disable-sync
  --hide-scrollbars --user-data-dir="$work/browser")
width=1366 height=768
figures=$(grep -cvE '^[[:space:]]*(#|$)' "$source/release/guide/figures.txt")

# A string table's texts, read independently of the guide's writer: "ID<TAB>TEXT" per entry, the
# escapes \n, \" and \\ decoded (others are left, and then fail the comparison).
table() {
  [ -f "$1" ] || return 0
  sed -n 's/^VB_STRING(\([A-Z_][A-Z0-9_]*, *\)\{0,1\}\([0-9][0-9]*\), *"\(.*\)")$/\2\t\3/p' "$1"
}
decode() { sed -e 's/\\n/\n/g' -e 's/\\"/"/g' -e 's/\\\\/\\/g' <<<"$1"; }
english=$(table "$source/resources/strings.def")
# The message boxes of resources/boxes.def: "MESSAGE CAPTION KIND" per box, ids as numbers.
boxes=$(
  ids=$(sed -n 's/^VB_STRING(\([A-Z_][A-Z0-9_]*\), *\([0-9][0-9]*\),.*/\1 \2/p' \
    "$source/resources/strings.def")
  sed -n 's/^VB_BOX(\([A-Z0-9_]*\), *\([A-Z0-9_]*\), *\([A-Za-z]*\))$/\1 \2 \3/p' \
    "$source/resources/boxes.def" |
    while read -r message caption kind; do
      echo "$(awk -v n="$message" '$1 == n { print $2 }' <<<"$ids")" \
        "$(awk -v n="$caption" '$1 == n { print $2 }' <<<"$ids")" "$kind"
    done
)
[ -n "$boxes" ] || fail "resources/boxes.def lists no message box"

for guide in GUIDE.html GUIDE.de.html GUIDE.fr.html GUIDE.ja.html; do
  page=$release/$guide
  language=${guide#GUIDE.}
  language=${language%html}
  language=${language%.}
  language=${language:-en}
  [ -f "$page" ] || {
    fail "$guide is missing"
    continue
  }

  # --- Valid, and well-formed enough to be read as XML too ---
  if ! xmllint --html --noout "$page" >"$work/html.log" 2>&1 || [ -s "$work/html.log" ]; then
    fail "$guide: xmllint's HTML parser reports:"
    head -n 10 "$work/html.log" | sed 's/^/    /'
  elif ! xmllint --noout "$page" >"$work/xml.log" 2>&1; then
    fail "$guide: not well-formed:"
    head -n 10 "$work/xml.log" | sed 's/^/    /'
  else
    pass "$guide: valid HTML, well-formed"
  fi
  if grep -q "<html lang=\"$language\"" "$page"; then
    pass "$guide: in language $language"
  else
    fail "$guide: does not say it is in language $language"
  fi

  # --- Self-contained ---
  foreign=$(grep -oiE '<script|<link|<iframe|<object|<embed|@import|url\(|\son[a-z]+=|src="[^"]*"|href="[^"]*"' "$page" |
    grep -vE '^src="data:image/svg\+xml;base64,[A-Za-z0-9+/=]+"$|^href="#[a-z-]+"$|^href="GUIDE(\.[a-z]{2})?\.html"$' |
    cut -c 1-60)
  self_contained=0
  if [ -z "$foreign" ]; then
    pass "$guide: no scripts, nothing fetched"
    self_contained=1
  else
    fail "$guide: refers to something outside itself: $(echo $foreign)"
  fi
  for link in $(grep -oE 'href="GUIDE[^"]*"' "$page" | cut -d '"' -f 2); do
    [ -f "$release/$link" ] || fail "$guide: links to $link, which the release lacks"
  done
  for anchor in $(grep -oE 'href="#[a-z-]+"' "$page" | cut -d '#' -f 2 | tr -d '"'); do
    grep -q "id=\"$anchor\"" "$page" || fail "$guide: links to #$anchor, which it lacks"
  done

  # --- The pictures, labelled in the guide's language ---
  # The legend's head over the full names, as a reader of the language reads it; English where
  # the guide's language is not listed here.
  case $language in
  de) heading="Vollständiger Name" ;;
  fr) heading="nom complet" ;;
  ja) heading="正式グループ名" ;;
  *) heading="full name" ;;
  esac
  pictures=0 unlabelled=0 foreign_labels=0 latin_fonts=0
  while read -r data; do
    pictures=$((pictures + 1))
    base64 -d <<<"$data" >"$work/picture.svg" 2>/dev/null
    if [ "$(head -c 4 "$work/picture.svg")" == "<svg" ] && xmllint --noout "$work/picture.svg" 2>/dev/null &&
      rsvg-convert "$work/picture.svg" -o "$work/picture.png" 2>/dev/null && [ -s "$work/picture.png" ]; then
      :
    else
      fail "$guide: picture $pictures is not an SVG that renders"
    fi
    grep -qF ">$heading<" "$work/picture.svg" || unlabelled=$((unlabelled + 1))
    [ "$heading" == "full name" ] || ! grep -qF ">full name<" "$work/picture.svg" ||
      foreign_labels=$((foreign_labels + 1))
    # The picture's own font list: for Japanese, one of the families of Windows, macOS and Linux
    # that have Japanese.
    if [ "$language" == ja ] && ! head -n 1 "$work/picture.svg" |
      grep -qE "^<svg [^>]*font-family=\"[^\"]*('Yu Gothic UI'|Meiryo|'Hiragino Sans'|'Noto Sans CJK JP')"; then
      latin_fonts=$((latin_fonts + 1))
    fi
  done < <(grep -oE 'src="data:image/svg\+xml;base64,[A-Za-z0-9+/=]+"' "$page" | cut -d , -f 2 | tr -d '"')
  if ((pictures == figures)); then
    pass "$guide: holds the $figures pictures"
  else
    fail "$guide: holds $pictures pictures, release/guide/figures.txt draws $figures"
  fi
  if ((unlabelled + foreign_labels + latin_fonts == 0)); then
    pass "$guide: its pictures are labelled in its language (\"$heading\")"
  else
    ((unlabelled == 0)) || fail "$guide: $unlabelled pictures lack the legend's head \"$heading\""
    ((foreign_labels == 0)) || fail "$guide: $foreign_labels pictures are labelled in English"
    ((latin_fonts == 0)) || fail "$guide: $latin_fonts pictures name no font that has Japanese"
  fi

  # --- The message boxes quote the plug-in's texts in the guide's language ---
  own=$(table "$source/resources/strings.$language.def")
  while read -r message caption kind; do
    for id in "$message" "$caption"; do
      if [ "$id" == "$message" ]; then
        path="div[@class='box-body']/div[@class='box-text']" part=text
      else path="div[@class='box-caption']" part=caption; fi
      expected=$(sed -n "s/^$id\t//p" <<<"$own")
      [ -n "$expected" ] || expected=$(sed -n "s/^$id\t//p" <<<"$english")
      expected=$(decode "$expected")
      shown=$(xmllint --xpath "string(//div[@id='box-$message']/$path)" "$page" 2>/dev/null)
      if [ -z "$expected" ]; then
        fail "$guide: no text $id in the string tables"
      elif [ "$shown" != "$expected" ]; then
        fail "$guide: box $message shows as its $part \"$shown\", the table has \"$expected\""
      fi
    done
    # Its icon and its buttons as its kind has them.
    case $kind in
    Error | Info | Warning) icon="box-icon box-icon-${kind,,}" buttons=1 ;;
    *) icon="" buttons=2 ;;
    esac
    shown=$(xmllint --xpath "string(//div[@id='box-$message']//span[starts-with(@class,'box-icon')]/@class)" \
      "$page" 2>/dev/null)
    count=$(xmllint --xpath "count(//div[@id='box-$message']//span[@class='box-button'])" \
      "$page" 2>/dev/null)
    [ "$shown" == "$icon" ] || fail "$guide: box $message has the icon \"$shown\", a $kind box \"$icon\""
    [ "$count" == "$buttons" ] || fail "$guide: box $message has $count buttons, a $kind box $buttons"
  done <<<"$boxes"
  pass "$guide: quotes the message boxes from the string tables"

  # --- In a browser at a laptop's width: a copy measures itself into its title ---
  ((self_contained)) || continue
  probe=$work/probe.$guide
  sed 's|</body>|<script>window.onload = function () { var d = document.documentElement, t = document.querySelector("h2 + p"); document.title = [d.scrollWidth, window.innerWidth, d.scrollHeight, Math.round(t.getBoundingClientRect().width), parseFloat(getComputedStyle(t).fontSize)].concat([].map.call(document.images, function (i) { return i.complete \&\& i.naturalWidth > 0 ? Math.round(i.getBoundingClientRect().width) : 0; })).join(" "); };</script></body>|' \
    "$page" >"$probe"
  read -r scroll_width window_width page_height text_width font_size shown <<<"$(
    "${browser[@]}" --window-size=$width,$height --dump-dom "file://$probe" 2>/dev/null |
      sed -n 's|.*<title>\([0-9. ]*\)</title>.*|\1|p'
  )"
  if [ -z "${font_size:-}" ]; then
    fail "$guide: the browser did not measure the page"
    continue
  fi
  small=0
  for w in $shown; do ((w >= 1000 && w <= window_width)) || small=$((small + 1)); done
  if ((scroll_width <= window_width)); then
    pass "$guide: at $width pixels nothing is wider than the window"
  else
    fail "$guide: at $width pixels the page is $scroll_width pixels wide"
  fi
  if ((small == 0)) && [ "$(wc -w <<<"$shown")" == "$figures" ]; then
    pass "$guide: every picture is loaded and shown $(echo $shown | cut -d ' ' -f 1) pixels wide"
  else
    fail "$guide: pictures shown at widths $shown (each must load and be 1000 to $window_width)"
  fi
  if ((text_width <= 800)) && [ "${font_size%.*}" -ge 15 ]; then
    pass "$guide: text in lines of $text_width pixels at $font_size pixels"
  else
    fail "$guide: text in lines of $text_width pixels at $font_size pixels"
  fi
  "${browser[@]}" --window-size=$width,$height --screenshot="$out/${guide%.html}-screen.png" \
    "file://$page" >/dev/null 2>&1
  "${browser[@]}" --window-size=$width,"$page_height" --screenshot="$out/${guide%.html}-page.png" \
    "file://$page" >/dev/null 2>&1
  for shot in screen page; do
    [ -s "$out/${guide%.html}-$shot.png" ] || fail "$guide: no screenshot of the $shot"
  done
done
echo "screenshots: $out"

exit $((failures > 0))
