#!/bin/sh
# The Windows Installer package in a fresh Wine prefix, as an administrator uses it:
# msiexec /i installs the control and infotrakon.exe and writes, key by key, what regsvr32
# writes (regsvr32 is run first on the same files in the same folders, and undone); the control
# then works for a script and on a form; Programs and Features lists it; a package of a higher
# version replaces it, one of a lower version is refused; msiexec /x leaves no file and no key.
# The x86 package is tried in a 32-bit prefix (WINEARCH=win32). The x64 package (WINEARCH=win64,
# with X86_CONTROL) installs the 64-bit control and program and the 32-bit control beside them:
# both views are checked, and the 32-bit control is run too where the machine runs 32-bit code.
# Usage: msi_test.sh PACKAGE.MSI PACKAGE.WXS WINDOWS_PROGRAM_FOLDER OCX_TESTS.EXE
#          LINUX_PROGRAM_FOLDER WINE_RUN FILE_EXISTS.VBS CLASS_ID PROG_ID TYPE_LIBRARY_ID
#          DEFAULT_INTERFACE_ID EVENT_INTERFACE_ID UPGRADE_CODE [X86_CONTROL]
# (the identities without braces).
set -eu
msi=$1 wxs=$2 programs=$3 tests=$4 linux=$5 wine_run=$6 script=$7
class_id=$8 prog_id=$9
shift 9
library_id=$1 default_interface_id=$2 event_interface_id=$3 upgrade_code=$4 x86_control=${5:-}
if [ ! -x "$linux/infotrakon" ] || [ ! -x "$linux/mkagenda" ]; then
  echo "skipped: no Linux infotrakon and mkagenda in $linux (scripts/build makes them)"
  exit 77
fi
if ! command -v wixl >/dev/null 2>&1 || ! command -v msiinfo >/dev/null 2>&1; then
  echo "skipped: no wixl and msiinfo (scripts/install-windows-deps installs them)"
  exit 77
fi
arch=${WINEARCH:-win32}
. "$(dirname "$0")/wine_prefix.sh"
start_prefix msi "$arch"
started=$(date +%s)
say() { echo "$(( $(date +%s) - started ))s: $*"; }
say "a fresh $arch prefix"

# The folder of the package's control and program, and in a 64-bit prefix the folder of the
# 32-bit control beside them; the registry views the package writes.
folder='C:\Program Files\InfoTrakon'
unix_folder=$(windows_to_unix "$folder")
folder32="" unix_folder32="" views=/reg:32 package_arch=x86 installed="ITrakon.ocx infotrakon.exe "
if [ "$arch" = win64 ]; then
  folder32='C:\Program Files (x86)\InfoTrakon'
  unix_folder32=$(windows_to_unix "$folder32")
  views="/reg:64 /reg:32" package_arch=x64
fi
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# reg in English, whose "(Default)" is plain ASCII.
reg() { INFOTRAKON_WINE_LOCALE=en_US.UTF-8 "$wine_run" reg "$@" </dev/null 2>/dev/null; }
# Every key of ours under HKEY_CLASSES_ROOT in each view, with its values, as reg query lists
# them.
our_keys() {
  for view in $views; do
    echo "[$view]"
    for key in "CLSID\\{$class_id}" "$prog_id" "TypeLib\\{$library_id}" \
      "Interface\\{$default_interface_id}" "Interface\\{$event_interface_id}"; do
      # (reg says on standard output that a key is missing)
      reg query "HKCR\\$key" /s "$view" | tr -d '\r' | grep -e '^HKEY' -e '^    ' || true
    done
  done
}
# Without the keys that only the 32-bit control's registration writes: its class, ProgID and
# interfaces in the 32-bit view, and its path in the shared type library key.
without_32_bit_registration() {
  awk '/^\[/ { view = $0 } view == "[/reg:32]" { next }
       /^HKEY/ { skip = ($0 ~ /\\win32$/) } !skip { print }'
}
# The product code of a package, from its Property table.
product_code() { msiinfo export "$1" Property | tr -d '\r' | sed -n 's/^ProductCode\t//p'; }
# The uninstall entries named InfoTrakon: their keys (in the package's own view).
uninstall_view=/reg:32
[ "$package_arch" = x86 ] || uninstall_view=/reg:64
# (A reg that fails to start, as a Wine process rarely does under load, says so: an empty list
# would pass for a package that is not there.)
entries() {
  listing=$(reg query "$uninstall" /s "$uninstall_view") ||
    { echo "reg query $uninstall exited with $?"; return 1; }
  printf '%s\n' "$listing" | tr -d '\r' |
    awk '/^HKEY/ { key = $0 } /^ +DisplayName +REG_SZ +InfoTrakon$/ { print key }'
}
entry_value() {  # entry_value PRODUCT_CODE NAME
  reg query "$uninstall\\$1" /v "$2" "$uninstall_view" | tr -d '\r' |
    sed -n "s/^ *$2 *REG_SZ *//p"
}
expect_failure=no
msiexec() {  # msiexec LOG ARGUMENTS...: quiet, its log printed when it fails unexpectedly
  log=$1
  shift
  status=0
  "$wine_run" msiexec "$@" /qn /l*v "$(windows "$work")\\$log" </dev/null || status=$?
  if [ "$status" -ne 0 ] && [ "$expect_failure" = no ]; then
    iconv -f UTF-16LE -t UTF-8 "$work/$log" 2>/dev/null | tr -d '\r' | tail -40 ||
      tail -40 "$work/$log"
    echo "msiexec $* exited with $status"
    exit 1
  fi
  return "$status"
}
# What the package's folders hold.
installed_files() {
  (cd "$unix_folder" 2>/dev/null && ls) | tr '\n' ' '
  if [ -n "$folder32" ]; then echo "| $( (cd "$unix_folder32" 2>/dev/null && ls) | tr '\n' ' ')"; fi
}
expected_files="ITrakon.ocx infotrakon.exe "
[ -z "$folder32" ] || expected_files="$expected_files| ITrakon.ocx "
keys_left() { our_keys | grep '^HKEY' || true; }
check_files() {  # check_files WHEN
  [ "$(installed_files)" = "$expected_files" ] ||
    { echo "$1 the package's folders hold: $(installed_files)"; exit 1; }
}
# The 32-bit control of the x64 package runs where the machine runs 32-bit code.
run_32_bit=no
if [ -n "$folder32" ] && runs_32_bit_programs; then run_32_bit=yes; fi

write_agendas
# What regsvr32 writes for the controls in the folders the package installs them to: the
# 32-bit one first, whose type library key the 64-bit one's help folder then overwrites.
if [ -n "$folder32" ]; then
  mkdir -p "$unix_folder32"
  cp "$x86_control" "$unix_folder32/ITrakon.ocx"
  if [ "$run_32_bit" = yes ]; then
    "$wine_run" 'C:\windows\syswow64\regsvr32.exe' /s "$folder32\\ITrakon.ocx" </dev/null
  fi
fi
mkdir -p "$unix_folder"
cp "$programs/ITrakon.ocx" "$unix_folder/"
"$wine_run" regsvr32 /s "$folder\\ITrakon.ocx" </dev/null
our_keys >"$work/regsvr32.keys"
"$wine_run" regsvr32 /s /u "$folder\\ITrakon.ocx" </dev/null
if [ "$run_32_bit" = yes ]; then
  "$wine_run" 'C:\windows\syswow64\regsvr32.exe' /s /u "$folder32\\ITrakon.ocx" </dev/null
fi
rm -rf "$unix_folder" "$unix_folder32"
[ -z "$(keys_left)" ] || { echo "regsvr32 /u left keys:"; keys_left; exit 1; }
say "regsvr32 writes $(grep -c '^HKEY' "$work/regsvr32.keys") keys"

# Installed.
msiexec install-1.log /i "$(windows "$msi")"
say "msiexec /i $(basename "$msi")"
check_files "installed:"
our_keys >"$work/msi.keys"
if [ -n "$folder32" ] && [ "$run_32_bit" = no ]; then
  # Without 32-bit code only the 64-bit control's registration is compared; the 32-bit one
  # must name the 32-bit control's file.
  grep -qxF "    (Default)    REG_SZ    $folder32\\ITrakon.ocx" "$work/msi.keys" ||
    { cat "$work/msi.keys"; echo "no 32-bit InprocServer32 of $folder32\\ITrakon.ocx"; exit 1; }
  without_32_bit_registration <"$work/msi.keys" >"$work/msi-64.keys"
  without_32_bit_registration <"$work/regsvr32.keys" | diff -u - "$work/msi-64.keys" ||
    { echo "the package's 64-bit keys differ from regsvr32's (- regsvr32, + msiexec)"; exit 1; }
  say "the package's 64-bit keys are regsvr32's (the 32-bit regsvr32 needs 32-bit code)"
else
  diff -u "$work/regsvr32.keys" "$work/msi.keys" ||
    { echo "the package's keys differ from regsvr32's (above: - regsvr32, + msiexec)"; exit 1; }
  say "the package's $(grep -c '^HKEY' "$work/msi.keys") keys are regsvr32's"
fi
old_code=$(product_code "$msi")
old_version=$(msiinfo export "$msi" Property | tr -d '\r' | sed -n 's/^ProductVersion\t//p')
listed=$(entries) || true
[ "$listed" = "HKEY_LOCAL_MACHINE\\${uninstall#HKLM\\}\\$old_code" ] ||
  { echo "Programs and Features lists: $listed"; exit 1; }
[ "$(entry_value "$old_code" DisplayVersion)" = "$old_version" ]
[ "$(entry_value "$old_code" Publisher)" = "InfoTrakon maintainers" ]
say "Programs and Features: InfoTrakon $old_version of InfoTrakon maintainers"

# Scripts of the package's width, and of 32-bit hosts where the package has their control.
check_installed_controls() {
  check_script "$script"
  if [ "$run_32_bit" = yes ]; then check_script "$script" 'C:\windows\syswow64\cscript.exe'; fi
}
check_installed_controls
# Without the test of regsvr32 itself, which would register the control a second time.
run_host "$tests" "$folder\\ITrakon.ocx" --gtest_filter='-*Registering*'
"$wine_run" "$folder\\infotrakon.exe" --version </dev/null | tr -d '\r' | grep -qF "$old_version"
say "the installed control and program work"

# A higher version replaces it: the same package with another version and product code.
new_version=$(echo "$old_version" | awk -F. '{ printf "%d.%d.%d", $1, $2, $3 + 1 }')
new_code=$(tr a-f A-F </proc/sys/kernel/random/uuid)
(cd "$programs" && wixl --arch "$package_arch" -D Arch="$package_arch" \
  -D ProductVersion="$new_version" -D ProductCode="$new_code" \
  --output "$work/InfoTrakon-$new_version.msi" "$wxs")
msiexec upgrade.log /i "$(windows "$work/InfoTrakon-$new_version.msi")"
say "msiexec /i InfoTrakon-$new_version.msi"
listed=$(entries) || true
[ "$listed" = "HKEY_LOCAL_MACHINE\\${uninstall#HKLM\\}\\{$new_code}" ] || {
  echo "after the upgrade to {$new_code} Programs and Features lists: $listed"
  echo "the end of msiexec's log of the upgrade:"
  iconv -f UTF-16LE -t UTF-8 "$work/upgrade.log" 2>/dev/null | tr -d '\r' | tail -60 ||
    tail -60 "$work/upgrade.log"
  exit 1
}
[ "$(entry_value "{$new_code}" DisplayVersion)" = "$new_version" ]
check_files "after the upgrade"
our_keys | diff -u "$work/msi.keys" - ||
  { echo "the upgrade changed the control's keys"; exit 1; }
check_installed_controls
say "one copy, of version $new_version"
# A lower version is refused and changes nothing.
expect_failure=yes
if msiexec downgrade.log /i "$(windows "$msi")"; then
  echo "InfoTrakon $old_version was installed over $new_version"; exit 1
fi
expect_failure=no
[ "$(entries)" = "HKEY_LOCAL_MACHINE\\${uninstall#HKLM\\}\\{$new_code}" ]
say "InfoTrakon $old_version refused over $new_version"

# Removed: no file, no key, no entry of ours anywhere in the registry.
msiexec remove.log /x "$(windows "$work/InfoTrakon-$new_version.msi")"
say "msiexec /x"
[ ! -e "$unix_folder" ] || { echo "left in $folder: $(installed_files)"; exit 1; }
[ -z "$folder32" ] || [ ! -e "$unix_folder32" ] ||
  { echo "left in $folder32: $(installed_files)"; exit 1; }
[ -z "$(keys_left)" ] || { echo "keys left:"; keys_left; exit 1; }
listed=$(entries) || true
[ -z "$listed" ] || { echo "Programs and Features still lists: $listed"; exit 1; }
wineserver -w
# The Installer's own records name the product and upgrade codes in its packed form: each
# part's hexadecimal digits reversed, the last two parts byte by byte.
packed() {
  echo "$1" | tr -d '{}-' | awk '{
    out = ""
    for (i = 8; i >= 1; i--) out = out substr($0, i, 1)
    for (i = 12; i >= 9; i--) out = out substr($0, i, 1)
    for (i = 16; i >= 13; i--) out = out substr($0, i, 1)
    for (i = 17; i <= 32; i += 2) out = out substr($0, i + 1, 1) substr($0, i, 1)
    print out }'
}
# Our names and identities, as the Wine registry files hold them.
for trace in "$prog_id" ITrakon.ocx '"InfoTrakon"' "$class_id" "$library_id" \
  "$default_interface_id" "$event_interface_id" "$upgrade_code" "$new_code" \
  "$(echo "$old_code" | tr -d '{}')" "$(packed "$upgrade_code")" "$(packed "$new_code")" \
  "$(packed "$old_code")"; do
  if grep -i -n -F -e "$trace" "$WINEPREFIX"/*.reg; then
    echo "the registry keeps $trace"; exit 1
  fi
done
files=$(cd "$WINEPREFIX/drive_c" && find . -iname '*trakon*' ! -path './Trakon*' | head)
[ -z "$files" ] || { echo "files left: $files"; exit 1; }
cached=$(find "$WINEPREFIX/drive_c/windows/Installer" -name '*.msi' 2>/dev/null | head)
[ -z "$cached" ] || { echo "the Installer keeps its copy: $cached"; exit 1; }
say "no file and no key of InfoTrakon left"
