#!/usr/bin/env bash
# check-imports.sh OBJDUMP IMAGE DLL NAME...: fails when IMAGE imports from DLL
# (any letter case) a function other than the NAMEs given. The layer check
# links a library with a system DLL it needs for a few functions only; this
# keeps the rest of that DLL out of it.
set -u
objdump=$1 image=$2 dll=$3
shift 3
allowed=" $* "
imported=$("$objdump" -p "$image" |
  awk -v dll="$(echo "$dll" | tr 'A-Z' 'a-z')" '
    /DLL Name:/ { inside = (tolower($3) == dll); next }
    inside && /^[ \t]*$/ { inside = 0 }
    inside && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print $3 }')
status=0
for name in $imported; do
  case "$allowed" in
  *" $name "*) ;;
  *) echo "$(basename "$image") must not import $name from $dll (allowed:$allowed)" >&2; status=1 ;;
  esac
done
exit $status
