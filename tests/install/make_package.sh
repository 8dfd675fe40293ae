#!/bin/sh
# Makes the Debian package of the build with cpack, afresh, into PACKAGE_DIR, for the tests
# that read it.
# Usage: make_package.sh BUILD_DIR PACKAGE_DIR
set -eu
build=$1 packages=$2
rm -rf "$packages"
mkdir -p "$packages"
started=$(date +%s)
(cd "$build" && cpack -G DEB -B "$packages" >"$packages/cpack.log" 2>&1) ||
  { cat "$packages/cpack.log"; exit 1; }
echo "$(ls "$packages"/*.deb) in $(( $(date +%s) - started ))s"
