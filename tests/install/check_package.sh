#!/usr/bin/env bash
# Builds the Debian package of a built tree, as `make package` does, into a
# temporary folder and checks its control fields and contents.
#   check_package.sh BUILD_DIR
set -euo pipefail

build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
source "$(dirname "$0")/checks.sh"

(cd "$build" && cpack -G DEB -B "$out" > "$out/cpack.log") || { cat "$out/cpack.log" >&2; exit 1; }
packages=("$out"/marlo_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { fail "no single marlo_*.deb: $(ls "$out")"; exit 1; }
deb=${packages[0]}

[ "$(dpkg-deb -f "$deb" Package)" = marlo ] || fail "Package is not marlo"
[ "$(dpkg-deb -f "$deb" Version)" = "@PROJECT_VERSION@" ] || fail "Version is not @PROJECT_VERSION@"
[ "$(dpkg-deb -f "$deb" Section)" = science ] || fail "Section is not science"
[[ "$(dpkg-deb -f "$deb" Description)" == *"marlo-sim plays a tester"* ]] || fail "the description is cut short"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libxlsxwriter; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/marlo ./usr/bin/marlo-tool ./usr/bin/marlo-sim \
    ./usr/share/applications/io.github.marlo.Marlo.desktop \
    ./usr/share/metainfo/io.github.marlo.Marlo.metainfo.xml \
    ./usr/share/mime/packages/marlo-hdb.xml \
    ./usr/share/icons/hicolor/scalable/apps/marlo.svg \
    ./usr/share/icons/hicolor/48x48/apps/marlo.png \
    ./usr/share/man/man1/marlo.1 ./usr/share/man/man1/marlo-tool.1 ./usr/share/man/man1/marlo-sim.1; do
  grep -qxF "$path" <<< "$contents" || fail "the package lacks $path"
done
# Nothing of the build or the tests leaks in.
stray=$(grep -v -e '^\./usr/bin/marlo' -e '^\./usr/share/' -e '/$' <<< "$contents" || true)
[ -z "$stray" ] || fail "the package holds more than it installs: $stray"

finish package
