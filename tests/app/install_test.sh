#!/usr/bin/env bash
# cmake --install into fresh prefixes: the program, the desktop entry naming it, the icons in
# their hicolor sizes, the .msg type's package, and the desktop's tools finding Parcelo for
# TNEF (and the type of a .msg file) through the prefix alone, with no file of the user's.
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"
[ -x "$prefix/bin/parcelo" ] || fail "no program in $prefix/bin"
entry="$prefix/share/applications/parcelo.desktop"
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx "Exec=$prefix/bin/parcelo -- %f" "$entry" || fail "$(grep ^Exec= "$entry")"
grep -qx "TryExec=$prefix/bin/parcelo" "$entry" || fail "$(grep ^TryExec= "$entry")"
grep -qx "MimeType=application/vnd.ms-tnef;application/ms-tnef;application/vnd.ms-outlook;message/rfc822;application/mbox;" \
  "$entry" || fail "MimeType"
[ -f "$prefix/share/mime/packages/parcelo.xml" ] || fail "no .msg type package"
[ -f "$prefix/share/mime/mime.cache" ] || fail "the type database was not rebuilt"
grep -qx "$entry" "$build/install_manifest.txt" || fail "the entry is not in the manifest"
for size in 16 32 64 128; do
  icon="$prefix/share/icons/hicolor/${size}x$size/apps/parcelo.png"
  file -b "$icon" | grep -q "^PNG image data, $size x $size," || fail "icon $size: $(file -b "$icon")"
done

(
  export HOME="$work/home" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" \
         XDG_CONFIG_DIRS="$work/etc" XDG_DATA_DIRS="$prefix/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
  unset XDG_CURRENT_DESKTOP DESKTOP_SESSION
  default="$(xdg-mime query default application/vnd.ms-tnef)"
  [ "$default" = parcelo.desktop ] || fail "xdg-mime's default: '$default'"
  # Read whole first: grep -q stops at the first match, and under pipefail gio's broken pipe
  # would fail the check.
  programs="$(gio mime application/vnd.ms-tnef 2>&1)" || fail "gio: $programs"
  grep -q "parcelo.desktop" <<<"$programs" || fail "gio: $programs"
  # A compound file named .msg is an Outlook message through the prefix's type database.
  printf '\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1' > "$work/note.msg"
  head -c 504 /dev/zero >> "$work/note.msg"
  type="$(gio info -a standard::content-type "$work/note.msg" 2>&1)" || fail "gio info: $type"
  grep -q "application/vnd.ms-outlook" <<<"$type" || fail "gio info: $type"
)

# A prefix with a blank needs the quotes of the desktop entry rules.
spaced="$work/pre fix"
cmake --install "$build" --prefix "$spaced" > "$work/install.log"
desktop-file-validate "$spaced/share/applications/parcelo.desktop" || fail "desktop-file-validate"
grep -qxF "Exec=\"$spaced/bin/parcelo\" -- %f" "$spaced/share/applications/parcelo.desktop" ||
  fail "$(grep ^Exec= "$spaced/share/applications/parcelo.desktop")"

# A package's staging folder: the entry names the final place.
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr > "$work/install.log"
grep -qx "Exec=/usr/bin/parcelo -- %f" "$work/stage/usr/share/applications/parcelo.desktop" ||
  fail "staged: $(grep ^Exec= "$work/stage/usr/share/applications/parcelo.desktop")"
[ -x "$work/stage/usr/bin/parcelo" ] || fail "no staged program"
[ ! -e "$work/stage/usr/share/mime/mime.cache" ] || fail "staged: the package manager builds the type database"
echo "install layout: all checks passed"
