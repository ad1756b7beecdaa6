#!/usr/bin/env bash
# Exit status 0 when this machine can run 32-bit Wine, and so the 32-bit Windows
# program. A kernel built without 32-bit support refuses every 32-bit program
# ("Exec format error"), Wine's 32-bit loader included; the Windows tests then
# run as a 64-bit build under 64-bit Wine (scripts/test.sh).
exec /usr/lib/wine/wine --version >/dev/null 2>&1
