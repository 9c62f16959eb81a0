#!/usr/bin/env bash
# Takes the README's screenshots of a built program in a private X server:
#   tests/e2e/screenshots.sh PROGRAM [OUTDIR]      (OUTDIR defaults to docs/)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
[ $# -ge 1 ] || { echo "usage: $0 PROGRAM [OUTDIR]" >&2; exit 2; }
out=${2:-$here/../../docs}
exec "$here/../../scripts/xsession.sh" --a11y -- /usr/bin/python3 "$here/screenshots.py" "$1" "$out"
