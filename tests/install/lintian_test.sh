#!/bin/sh
# Debian's package checker on the package that cpack made: no error and no warning. The tags
# that the package accepts stand, with the reason, in packaging/debian/lintian-overrides, which
# the package carries; they are listed as overridden (O:), the notes as I:.
# Usage: lintian_test.sh PACKAGE_DIR
set -eu
if ! command -v lintian >/dev/null 2>&1; then
  echo "skipped: no lintian (scripts/install-deps installs it)"
  exit 77
fi
package=$(ls "$1"/infotrakon_*.deb)
echo "lintian $(basename "$package")"
# Its exit status counts overridden tags as well when they are shown: the verdict is the tags.
lintian --display-info --show-overrides "$package" >"$1/lintian.out" 2>&1 || true
cat "$1/lintian.out"
if grep -q '^[EW]: ' "$1/lintian.out"; then
  echo "lintian: $(grep -c '^E: ' "$1/lintian.out") errors, $(grep -c '^W: ' "$1/lintian.out") warnings"
  exit 1
fi
grep -q '^O: ' "$1/lintian.out" || { echo "lintian did not read the overrides"; exit 1; }
