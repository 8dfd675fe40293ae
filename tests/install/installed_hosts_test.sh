#!/bin/sh
# The installed InfoTrakon as hosts use it, with /usr as the prefix as the Debian package has
# it: `cmake --install` staged under DESTDIR, the libraries' exports and names, the Qt example
# built with find_package and the C example built with pkg-config and with find_package, each
# with both forms of #include, all run offscreen against a Wine prefix naming a demo agenda and
# compared with `infotrakon print --json`; then the same hosts built against the files of the
# Debian package itself, and what the package says of itself.
# Usage: installed_hosts_test.sh BUILD_DIR SOURCE_DIR LIBDIR PACKAGE_DIR
# (LIBDIR: the build's CMAKE_INSTALL_LIBDIR; PACKAGE_DIR: where cpack left the .deb)
set -eu
build=$1 source=$2 libdir=$3 packages=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/infotrakon-install.XXXXXX")
trap 'rm -rf "$work"' EXIT
started=$(date +%s)
say() { echo "$(( $(date +%s) - started ))s: $*"; }
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$work/install.log"
usr="$stage/usr"
for file in "$libdir/libinfotrakon.so.1" "$libdir/libinfotrakon-widgets.so.1" \
  include/infotrakon/infotrakon.h include/infotrakon/InfoTrakonWidget.h \
  "$libdir/cmake/InfoTrakon/InfoTrakonConfig.cmake" \
  "$libdir/cmake/InfoTrakon/InfoTrakonConfigVersion.cmake" "$libdir/pkgconfig/infotrakon.pc" \
  bin/infotrakon libexec/infotrakon/mkagenda share/applications/infotrakon.desktop \
  share/icons/hicolor/16x16/apps/infotrakon.png share/doc/infotrakon/copyright \
  share/doc/infotrakon/changelog.gz share/man/man1/infotrakon.1.gz; do
  [ -e "$usr/$file" ] || { echo "not installed: /usr/$file"; exit 1; }
done
ls "$usr/$libdir"/qt6/plugins/designer/libinfotrakon-designer.so >/dev/null ||
  { echo "no Designer plugin"; exit 1; }
# The C library exports its functions and nothing else, under its SONAME.
objdump -p "$usr/$libdir/libinfotrakon.so.1" | grep -q 'SONAME *libinfotrakon.so.1'
others=$(nm -D --defined-only "$usr/$libdir/libinfotrakon.so.1" | awk '{print $3}' |
  grep -v '^infotrakon_' | grep -v '^INFOTRAKON_1$' || true)
[ -z "$others" ] || { echo "libinfotrakon exports more than its C interface: $others"; exit 1; }
# No internal header is reachable from the installed ones.
if grep -h '#include "' "$usr"/include/infotrakon/*.h | grep -v 'infotrakon_version.h'; then
  echo "an installed header includes one that is not installed"; exit 1
fi

# A Wine prefix whose host setting names a demo agenda.
prefix="$work/prefix"
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/Trakon/Data"
ln -s ../drive_c "$prefix/dosdevices/c:"
"$usr/libexec/infotrakon/mkagenda" --demo "$prefix/drive_c/Trakon/Data/agenda.mdb" >/dev/null
printf 'WINE REGISTRY Version 2\n\n[Software\\\\Velmora\\\\Trakon\\\\ProgramSeting] 1\n"LastFullFileNameOpen"="C:\\\\Trakon\\\\Data\\\\agenda.mdb"\n' \
  >"$prefix/system.reg"
export WINEPREFIX="$prefix" QT_QPA_PLATFORM=offscreen LC_ALL=C
LD_LIBRARY_PATH="$usr/$libdir" "$usr/bin/infotrakon" print --json >"$work/expected.json"
LD_LIBRARY_PATH="$usr/$libdir" "$usr/bin/infotrakon" print --json --refresh \
  >"$work/expected-refreshed.json"

# The examples as they are, and with the other form of #include: <infotrakon/NAME.h>.
cp -r "$source/examples" "$work/examples"
mkdir "$work/folder-form"
cp -r "$source/examples/qt_host" "$source/examples/c_host" "$work/folder-form"
sed -i 's|<header>InfoTrakonWidget.h</header>|<header>infotrakon/InfoTrakonWidget.h</header>|' \
  "$work/folder-form/qt_host/form.ui"
sed -i 's|#include <infotrakon.h>|#include <infotrakon/infotrakon.h>|' \
  "$work/folder-form/c_host/main.c"
grep -q 'infotrakon/InfoTrakonWidget.h' "$work/folder-form/qt_host/form.ui"
grep -q 'infotrakon/infotrakon.h' "$work/folder-form/c_host/main.c"

# A JSON file of a host: the same panel as the program shows.
compare() {  # compare EXPECTED ACTUAL SIZES(true|false) WHAT
  # The Qt widget measures its auto-size labels in the real fonts, the program in a fixed
  # table: without SIZES their sizes are left out of the comparison, all else must agree.
  node -e '
const fs = require("fs");
const read = (file, sizes) => {
  const model = JSON.parse(fs.readFileSync(file, "utf8"));
  if (!sizes) for (const element of Object.values(model.elements))
    if (element.kind === "label") { delete element.width; delete element.height; }
  return JSON.stringify(model);
};
const [expected, actual, sizes, what] = process.argv.slice(1);
if (read(expected, sizes === "true") !== read(actual, sizes === "true")) {
  console.log(what, "differs from infotrakon print --json"); process.exit(1);
}
const model = JSON.parse(fs.readFileSync(actual, "utf8"));
console.log(what, "shows", model.elements.Label16.caption, "with",
            model.elements.ListView1.rows.length, "list rows");
' "$1" "$2" "$3" "$4"
}
# qt_host EXAMPLES ROOT NAME: builds the Qt example with find_package against ROOT (a /usr).
qt_host() {
  cmake -S "$1/qt_host" -B "$work/$3" -DCMAKE_PREFIX_PATH="$2" >"$work/$3.log" ||
    { cat "$work/$3.log"; exit 1; }
  cmake --build "$work/$3" >>"$work/$3.log" 2>&1 || { cat "$work/$3.log"; exit 1; }
  LD_LIBRARY_PATH="$2/$libdir" "$work/$3/qt_host" --print >"$work/$3.json"
  compare "$work/expected.json" "$work/$3.json" false "$3"
}
# c_host EXAMPLES ROOT NAME: builds the C example with pkg-config and with find_package
# (the component Control) against ROOT.
c_host() {
  flags=$(PKG_CONFIG_PATH="$2/$libdir/pkgconfig" pkg-config --cflags --libs infotrakon)
  # shellcheck disable=SC2086 # the flags are words
  cc -Wall -Werror "$1/c_host/main.c" $flags -o "$work/$3-pkg-config"
  LD_LIBRARY_PATH="$2/$libdir" "$work/$3-pkg-config" >"$work/$3-pkg-config.json"
  compare "$work/expected-refreshed.json" "$work/$3-pkg-config.json" true "$3 (pkg-config)"
  cmake -S "$1/c_host" -B "$work/$3" -DCMAKE_PREFIX_PATH="$2" >"$work/$3.log" ||
    { cat "$work/$3.log"; exit 1; }
  cmake --build "$work/$3" >>"$work/$3.log" 2>&1 || { cat "$work/$3.log"; exit 1; }
  LD_LIBRARY_PATH="$2/$libdir" "$work/$3/c_host" >"$work/$3.json"
  compare "$work/expected-refreshed.json" "$work/$3.json" true "$3 (CMake)"
}

say "the installation staged under /usr"
qt_host "$work/examples" "$usr" qt-host
qt_host "$work/folder-form" "$usr" qt-host-folder-form
c_host "$work/examples" "$usr" c-host
c_host "$work/folder-form" "$usr" c-host-folder-form
# The package knows its two components and no other.
mkdir "$work/component"
printf 'cmake_minimum_required(VERSION 3.25)\nproject(component C)\nfind_package(InfoTrakon REQUIRED COMPONENTS Control Gadgets)\n' \
  >"$work/component/CMakeLists.txt"
if cmake -S "$work/component" -B "$work/component/build" -DCMAKE_PREFIX_PATH="$usr" \
  >"$work/component.log" 2>&1; then
  echo "find_package(InfoTrakon COMPONENTS Gadgets) was accepted"; exit 1
fi
grep -q 'components Control and Widgets, not Gadgets' "$work/component.log" ||
  { cat "$work/component.log"; exit 1; }

# The Debian package: what it says of itself, and hosts built against its own files.
package=$(ls "$packages"/infotrakon_*.deb)
say "the package $(basename "$package")"
dpkg-deb -f "$package" Package Version Depends Recommends Suggests
dpkg-deb -f "$package" Depends | grep -q 'libqt6widgets6'
dpkg-deb -f "$package" Recommends | grep -q 'fonts-wine'
dpkg-deb -c "$package" >"$work/contents"
for file in ./usr/bin/infotrakon "./usr/$libdir/libinfotrakon.so.1" \
  "./usr/$libdir/libinfotrakon-widgets.so.1" InfoTrakonWidget.h InfoTrakonConfig.cmake \
  "./usr/$libdir/pkgconfig/infotrakon.pc" libinfotrakon-designer.so infotrakon.desktop \
  mkagenda ./usr/share/doc/infotrakon/copyright ./usr/share/doc/infotrakon/changelog.gz; do
  grep -qF "$file" "$work/contents" || { echo "the package lacks $file"; exit 1; }
done
echo "the package holds $(wc -l <"$work/contents") entries"
dpkg-deb -x "$package" "$work/deb"
deb="$work/deb/usr"
PKG_CONFIG_PATH="$deb/$libdir/pkgconfig" pkg-config --cflags infotrakon >"$work/cflags"
echo "pkg-config --cflags infotrakon: $(cat "$work/cflags")"
grep -qF -- "-I$deb/$libdir/pkgconfig/" "$work/cflags" ||
  { echo "the package's infotrakon.pc names no folder of the package"; exit 1; }
c_host "$work/examples" "$deb" deb-c-host
c_host "$work/folder-form" "$deb" deb-c-host-folder-form
qt_host "$work/folder-form" "$deb" deb-qt-host-folder-form
# The prefix that the package's infotrakon.pc finds from its folder is the package's /usr.
found=$(PKG_CONFIG_PATH="$deb/$libdir/pkgconfig" pkg-config --variable=prefix infotrakon)
[ "$(cd "$found" && pwd)" = "$deb" ] ||
  { echo "infotrakon.pc: the prefix $found is not the package's /usr"; exit 1; }
say "done"
