#!/usr/bin/env bash
# Checks the shipped 32-bit binaries in the folder $1: Quoril.dll imports only
# Windows system DLLs and exports exactly the four host entry points,
# undecorated; the host stand-in wblind.dll exports GetUIS and GetWBDIR.
set -u
bin=$1
objdump=i686-w64-mingw32-objdump
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# Export names from the [Ordinal/Name Pointer] table.
exports() {
  "$objdump" -p "$1" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^\s*\[ *[0-9]*\] \(.*\)$/\1/p' | sort | tr '\n' ' '
}

dll=$bin/Quoril.dll
[ -f "$dll" ] || { echo "FAIL: $dll missing"; exit 1; }
"$objdump" -f "$dll" | grep -q 'file format pei-i386' || fail "Quoril.dll is not a 32-bit x86 image"
name=$("$objdump" -p "$dll" | sed -n 's/^Name\s\+[0-9a-f]\+\s\+\(.*\)$/\1/p')
[ "$name" = Quoril.dll ] || fail "export table names the module '$name', expected Quoril.dll"

got=$(exports "$dll")
want="WBDraw WBPress WBQuery WBRelease "
[ "$got" = "$want" ] || fail "Quoril.dll exports '$got', expected '$want'"

system='^(kernel32|user32|gdi32|advapi32|shell32|comctl32|comdlg32|msvcrt|ole32|oleaut32|oleacc|shlwapi|version|ntdll)\.dll$'
imports=$("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: \(.*\)$/\1/p')
[ -n "$imports" ] || fail "no imports found in Quoril.dll"
for import in $imports; do
  echo "$import" | tr 'A-Z' 'a-z' | grep -Eq "$system" || fail "Quoril.dll imports $import"
done

got=$(exports "$bin/wblind.dll")
[ "$got" = "GetUIS GetWBDIR " ] || fail "wblind.dll exports '$got', expected 'GetUIS GetWBDIR '"
got=$(exports "$bin/uis_only/wblind.dll")
[ "$got" = "GetUIS " ] || fail "uis_only/wblind.dll exports '$got', expected 'GetUIS '"

[ $failed = 0 ] && echo "Quoril.dll imports: $(echo $imports | tr '\n' ' '); exports: $want"
exit $failed
