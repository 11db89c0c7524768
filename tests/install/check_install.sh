#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks what a desktop and a
# reader of manuals take from it: the launcher, the metainfo, the file type,
# the icons, the manual pages and the installed programs' own answers.
#   check_install.sh BUILD_DIR
set -euo pipefail

build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
source "$(dirname "$0")/checks.sh"

cmake --install "$build" --prefix "$prefix" > /dev/null
share=$prefix/share

for program in marlo marlo-tool marlo-sim; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
  version=$("$prefix/bin/$program" --version) || fail "$program --version exits $?"
  [ "$version" = "$program @PROJECT_VERSION@" ] || fail "$program --version says '$version'"
  # Without a display: --help must not need one.
  env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= "$prefix/bin/$program" --help > "$prefix/help.txt" ||
    fail "$program --help exits $?"
  grep -q "^usage: $program" "$prefix/help.txt" || fail "$program --help prints no usage"

  page=$share/man/man1/$program.1
  warnings=$(groff -man -z -ww "$page" 2>&1) || fail "groff cannot read $program.1"
  [ -z "$warnings" ] || fail "$program.1: $warnings"
  man -l -Tutf8 "$page" > /dev/null 2>&1 || fail "man cannot render $program.1"
  grep -q "Marlo @PROJECT_VERSION@" "$page" || fail "$program.1 does not carry the version"
done

desktop-file-validate "$share/applications/io.github.marlo.Marlo.desktop" ||
  fail "desktop-file-validate refuses the launcher"
appstreamcli validate --no-net "$share/metainfo/io.github.marlo.Marlo.metainfo.xml" > /dev/null ||
  fail "appstreamcli refuses the metainfo"

for size in 16 24 32 48 64 128 256; do
  icon=$share/icons/hicolor/${size}x${size}/apps/marlo.png
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
    fail "the ${size}x${size} icon is missing or has another size"
done
[ -s "$share/icons/hicolor/scalable/apps/marlo.svg" ] || fail "the scalable icon is missing"

# The MIME database built from the installed package knows the name and the
# first element of a batch file.
update-mime-database "$share/mime" || fail "update-mime-database refuses marlo-hdb.xml"
grep -q ':application/x-marlo-hdb:\*\.hdb' "$share/mime/globs2" || fail "*.hdb is not in the globs"
grep -aq '<SerializationObject' "$share/mime/magic" || fail "the batch file's root element is not in the magic"

finish install
