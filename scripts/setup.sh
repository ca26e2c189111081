#!/usr/bin/env bash
# Installs what building and running Quoril needs on Debian 12, without
# prompting, and only what is missing.
set -euo pipefail
want=(cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
      googletest wine wine64 xvfb xauth x11-utils imagemagick clang libclang-rt-14-dev)
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

# Machines whose kernel runs 64-bit user code only cannot start Wine's 32-bit
# loader; register qemu's user-mode emulation for 32-bit Linux programs there,
# switched off. The 32-bit check (tests/smoke32) prefers an emulation of its
# own in a private user namespace and switches this one on only where that is
# not possible (see quoril_qemu_on in env.sh).
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/env.sh"
misc=/proc/sys/fs/binfmt_misc
if [ ! -e $misc/qemu-i386 ] && ! "$root/cmake/probe-i386.sh" && [ -x /usr/bin/qemu-i386-static ]; then
  sudo_cmd=""
  [ "$(id -u)" = 0 ] || sudo_cmd="sudo -n"
  [ -e $misc/register ] || $sudo_cmd mount -t binfmt_misc binfmt_misc $misc 2>/dev/null || true
  if [ -e $misc/register ]; then
    printf '%s' "$QUORIL_QEMU_I386_RULE" |
      $sudo_cmd tee $misc/register >/dev/null 2>&1 || true
  fi
fi
# Switched on, it would make every 64-bit prefix that boots meanwhile set up
# its 32-bit half under emulation, which takes minutes: switch it off, unless
# a run still uses it.
quoril_qemu_off
