#!/usr/bin/env bash
# Installs what building and running Quoril needs on Debian 12, without
# prompting, and only what is missing.
set -euo pipefail
want=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
      googletest wine wine64 xvfb xauth x11-utils imagemagick)
if [ "$(dpkg --print-architecture)" = amd64 ]; then want+=(wine32:i386 qemu-user-static); fi
missing=()
for p in "${want[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" = 0 ] || sudo_cmd="sudo -n"
  if [[ " ${missing[*]} " == *":i386"* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo_cmd dpkg --add-architecture i386
  fi
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" </dev/null >/tmp/quoril-apt.log 2>&1 || { tail -20 /tmp/quoril-apt.log; exit 1; }
fi
