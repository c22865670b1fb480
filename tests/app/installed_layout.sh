#!/usr/bin/env bash
# Installs the build into a throw-away prefix and checks the installed
# layout: the installation folder with its data and programs, the links in
# bin, the desktop entry, the file type and the icons. Then makes the
# installation read-only and checks that the command line works on it with
# its writable parts in the user's own folders, leaving the installation as
# it was.
#
# Usage: installed_layout.sh BUILD-FOLDER
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'chmod -R u+w "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
chmod 755 "$work"
prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
app="$prefix/lib/pavonia"

fail() { echo "FAIL: $*" >&2; exit 1; }
for entry in pavonia-cli Template/function.js Template/Pavonia.ini LIPSincData default_tjm.tjm default_tps.tps \
             rm_logo.bmp swf_logo.bmp wmv_logo.bmp mp4_logo.bmp webm_logo.bmp loading.jpg Samples/Sample.pvp; do
  [ -e "$app/$entry" ] || fail "$entry is not installed"
done
if [ -e "$build/install/pavonia" ]; then
  [ -x "$app/pavonia" ] || fail "the program is not installed"
  [ "$(readlink -f "$prefix/bin/pavonia")" = "$(readlink -f "$app/pavonia")" ] || fail "bin/pavonia does not lead to the program"
fi
for entry in Temp User PVPreference.ini; do
  [ ! -e "$app/$entry" ] || fail "$entry of the build's runs was installed"
done
[ "$(readlink -f "$prefix/bin/pavonia-cli")" = "$(readlink -f "$app/pavonia-cli")" ] || fail "bin/pavonia-cli does not lead to the program"
"$prefix/bin/pavonia-cli" --version >/dev/null || fail "the installed pavonia-cli does not run"

desktop="$prefix/share/applications/pavonia.desktop"
grep -qx "Exec=\"$app/pavonia\" %f" "$desktop" || fail "the desktop entry does not start the installed program"
grep -qx 'MimeType=application/x-pavonia-project;' "$desktop" || fail "the desktop entry does not open projects"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop"; fi
grep -q '<glob pattern="\*.pvp"/>' "$prefix/share/mime/packages/pavonia.xml" || fail "no file type for .pvp"
if command -v xmllint >/dev/null; then xmllint --noout "$prefix/share/mime/packages/pavonia.xml"; fi
for size in 16 32 48 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x$size/apps/pavonia.png" ] || fail "no $size px icon"
  [ -s "$prefix/share/icons/hicolor/${size}x$size/mimetypes/application-x-pavonia-project.png" ] || fail "no $size px project icon"
done

# A read-only installation, used by a user who cannot write it.
chmod -R a-w "$app"
home="$work/home"
mkdir -p "$home"
run_as_user() {
  if [ "$(id -u)" = 0 ]; then
    chown -R 65534:65534 "$home"
    setpriv --reuid=65534 --regid=65534 --clear-groups env -i HOME="$home" PATH="$PATH" "$@"
  else
    env -i HOME="$home" PATH="$PATH" "$@"
  fi
}
before="$(cd "$app" && find . | sort)"
run_as_user "$prefix/bin/pavonia-cli" new "$home/made.pvp" >/dev/null || fail "new on a read-only installation"
page="$(run_as_user "$prefix/bin/pavonia-cli" preview "$app/Samples/Sample.pvp")" || fail "preview on a read-only installation"
case "$page" in "$home/.local/share/pavonia/User/"*) ;; *) fail "the preview is not in the user's data folder: $page" ;; esac
[ -f "$page" ] || fail "the printed page is not there"
[ -f "$home/made.pvp" ] || fail "new wrote no project"
[ -f "$home/.config/pavonia/PVPreference.ini" ] || fail "no preference file in the user's config folder"
[ -d "$home/.cache/pavonia/Temp" ] || fail "no working folder in the user's cache folder"
[ "$(cd "$app" && find . | sort)" = "$before" ] || fail "the installation was changed"
echo "installed layout: ok"
