#!/bin/sh
# The installed InfoTrakon as hosts use it: `cmake --install` into a staging folder, the
# libraries' exports and names, the Qt example built with find_package and the C example built
# with pkg-config, both run offscreen against a Wine prefix naming a demo agenda and compared
# with `infotrakon print --json`; then `cpack -G DEB` and what the package says of itself.
# Usage: installed_hosts_test.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1 source=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage="$work/stage"
cmake --install "$build" --prefix "$stage" >"$work/install.log"
for file in lib/libinfotrakon.so.1 lib/libinfotrakon-widgets.so.1 include/infotrakon/infotrakon.h \
  include/infotrakon/InfoTrakonWidget.h lib/cmake/InfoTrakon/InfoTrakonConfig.cmake \
  lib/cmake/InfoTrakon/InfoTrakonConfigVersion.cmake lib/pkgconfig/infotrakon.pc bin/infotrakon \
  libexec/infotrakon/mkagenda share/applications/infotrakon.desktop \
  share/icons/hicolor/16x16/apps/infotrakon.png; do
  [ -e "$stage/$file" ] || { echo "not installed: $file"; exit 1; }
done
ls "$stage"/lib/*/qt6/plugins/designer/libinfotrakon-designer.so >/dev/null ||
  { echo "no Designer plugin"; exit 1; }
# The C library exports its functions and nothing else, under its SONAME.
objdump -p "$stage/lib/libinfotrakon.so.1" | grep -q 'SONAME *libinfotrakon.so.1'
others=$(nm -D --defined-only "$stage/lib/libinfotrakon.so.1" | awk '{print $3}' |
  grep -v '^infotrakon_' | grep -v '^INFOTRAKON_1$' || true)
[ -z "$others" ] || { echo "libinfotrakon exports more than its C interface: $others"; exit 1; }
# No internal header is reachable from the installed ones.
if grep -h '#include "' "$stage"/include/infotrakon/*.h | grep -v 'infotrakon_version.h'; then
  echo "an installed header includes one that is not installed"; exit 1
fi

# A Wine prefix whose host setting names a demo agenda.
prefix="$work/prefix"
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/Trakon/Data"
ln -s ../drive_c "$prefix/dosdevices/c:"
"$stage/libexec/infotrakon/mkagenda" --demo "$prefix/drive_c/Trakon/Data/agenda.mdb" >/dev/null
printf 'WINE REGISTRY Version 2\n\n[Software\\\\Velmora\\\\Trakon\\\\ProgramSeting] 1\n"LastFullFileNameOpen"="C:\\\\Trakon\\\\Data\\\\agenda.mdb"\n' \
  >"$prefix/system.reg"
export WINEPREFIX="$prefix" QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH="$stage/lib" LC_ALL=C
"$stage/bin/infotrakon" print --json >"$work/expected.json"
"$stage/bin/infotrakon" print --json --refresh >"$work/expected-refreshed.json"

cmake -S "$source/examples/qt_host" -B "$work/qt" -DCMAKE_PREFIX_PATH="$stage" >"$work/qt.log"
cmake --build "$work/qt" >>"$work/qt.log"
"$work/qt/qt_host" --print >"$work/qt.json"
cc "$source/examples/c_host/main.c" $(PKG_CONFIG_PATH="$stage/lib/pkgconfig" pkg-config --cflags --libs infotrakon) \
  -o "$work/c_host"
"$work/c_host" >"$work/c.json"

# The Qt widget measures its auto-size labels in the real fonts, the program in a fixed table:
# their sizes are left out of the comparison, everything else must agree.
node -e '
const fs = require("fs");
const read = (file, sizes) => {
  const model = JSON.parse(fs.readFileSync(file, "utf8"));
  if (!sizes) for (const element of Object.values(model.elements))
    if (element.kind === "label") { delete element.width; delete element.height; }
  return JSON.stringify(model);
};
const [expected, refreshed, qt, c] = process.argv.slice(1);
if (read(expected, false) !== read(qt, false)) { console.log("the Qt host differs"); process.exit(1); }
if (read(refreshed, true) !== read(c, true)) { console.log("the C host differs"); process.exit(1); }
const model = JSON.parse(fs.readFileSync(c, "utf8"));
console.log("both hosts show", model.elements.Label16.caption, "with",
            model.elements.ListView1.rows.length, "list rows");
' "$work/expected.json" "$work/expected-refreshed.json" "$work/qt.json" "$work/c.json"

# The Debian package.
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) ||
  { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/package/infotrakon_*.deb)
dpkg-deb -f "$package" Package Version Depends Recommends Suggests
dpkg-deb -f "$package" Depends | grep -q 'libqt6widgets6'
dpkg-deb -f "$package" Recommends | grep -q 'fonts-wine'
dpkg-deb -c "$package" >"$work/contents"
for file in ./usr/bin/infotrakon libinfotrakon.so.1 libinfotrakon-widgets.so.1 InfoTrakonWidget.h \
  InfoTrakonConfig.cmake infotrakon.pc libinfotrakon-designer.so infotrakon.desktop mkagenda; do
  grep -q "$file" "$work/contents" || { echo "the package lacks $file"; exit 1; }
done
echo "the package holds $(wc -l <"$work/contents") entries"