#!/usr/bin/env bash
# Exit 0 when 32-bit x86 Linux programs (such as Wine's 32-bit loader) can run here.
/usr/lib/wine/wine --version >/dev/null 2>&1
