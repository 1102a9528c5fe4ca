#!/usr/bin/env bash
# The systemd user unit that scripts/install-device writes is one systemd accepts: checked with
# systemd-analyze verify for a program folder with a space in its name. Skipped (77) where
# systemd-analyze is not there.
#
#   connectd-unit-test.sh SOURCE_DIR CONNECTD_BINARY
set -euo pipefail
source_dir=$1
connectd=$2
if ! command -v systemd-analyze >/dev/null 2>&1; then
  echo "systemd-analyze is not installed: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
app="$work/Program Files/Quillmar 100%"
mkdir -p -- "$app"
cp -- "$connectd" "$app/quillmar-connectd"
unit="$work/quillmar-connectd.service"
"$source_dir/scripts/connectd-unit" "$app" >"$unit"

verify() {
  # The user manager may be unreachable (no session); the system mode checks the same syntax.
  systemd-analyze --user verify "$1" 2>"$work/errors" && return 0
  if grep -q "Failed to initialize manager\|Failed to lookup RuntimeDirectory" "$work/errors"; then
    systemd-analyze verify "$1" 2>"$work/errors"
    return
  fi
  return 1
}

if ! verify "$unit"; then
  cat "$work/errors" >&2
  echo "FAIL: systemd does not accept the unit:" >&2
  cat "$unit" >&2
  exit 1
fi
grep -q '^ExecStart="'"$app"'/quillmar-connectd"' "$unit" || {
  # "%" is doubled in the unit and read back as one.
  grep -q '^ExecStart=".*Quillmar 100%%/quillmar-connectd"' "$unit" || { echo "FAIL: ExecStart does not name the folder" >&2; exit 1; }
}
# The check catches a unit whose program is missing.
rm -- "$app/quillmar-connectd"
if verify "$unit" && ! grep -qi "not executable\|No such file\|is not" "$work/errors"; then
  echo "FAIL: systemd-analyze verify did not notice the missing program" >&2
  exit 1
fi
echo "PASS"
