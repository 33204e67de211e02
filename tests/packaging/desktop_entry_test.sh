#!/usr/bin/env bash
# The desktop entry passes desktop-file-validate (tools/setup installs it;
# without it the test is skipped) and names a command and an icon that the
# installation provides.
set -euo pipefail
entry=$1
command -v desktop-file-validate >/dev/null || { echo "desktop-file-validate is not installed"; exit 77; }
desktop-file-validate "$entry"
grep -qx 'Exec=tavrik' "$entry"
grep -qx 'Icon=tavrik' "$entry"
