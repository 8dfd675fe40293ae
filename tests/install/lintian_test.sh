#!/bin/sh
# Debian's package checker on the package that cpack made: no error and no warning. The tags
# that the package accepts stand, with the reason, in packaging/debian/lintian-overrides, which
# the package carries; lintian shows them as overridden.
# Usage: lintian_test.sh PACKAGE_DIR
set -eu
if ! command -v lintian >/dev/null 2>&1; then
  echo "skipped: no lintian (scripts/install-deps installs it)"
  exit 77
fi
package=$(ls "$1"/infotrakon_*.deb)
echo "lintian $(basename "$package")"
lintian --fail-on error,warning --display-info --show-overrides "$package"
