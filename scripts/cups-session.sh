#!/bin/sh
# Runs a command against a private CUPS server whose default printer writes
# PDFs, then stops the server and removes everything it made.
#   scripts/cups-session.sh -- COMMAND [ARGUMENT...]
# The command gets CUPS_SERVER (the server's socket), NORVANE_PRINTER (the
# queue) and NORVANE_PDF_DIR (where the queue's PDFs appear). Needs root and
# Debian's cups, cups-client, cups-bsd and printer-driver-cups-pdf.
set -eu

[ "${1:-}" = "--" ] && shift
if [ $# -eq 0 ]; then
  echo "usage: $0 -- COMMAND [ARGUMENT...]" >&2
  exit 2
fi
for tool in cupsd lpadmin lpstat; do
  command -v "$tool" >/dev/null 2>&1 || PATH="$PATH:/usr/sbin"
  command -v "$tool" >/dev/null 2>&1 || { echo "$0: $tool is not installed" >&2; exit 2; }
done
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -r "$ppd" ] || { echo "$0: printer-driver-cups-pdf is not installed" >&2; exit 2; }

queue="norvane$$"
base=$(mktemp -d /tmp/norvane-cups.XXXXXX)
# cups-pdf writes as the lp user: every folder above its output must be readable.
chmod 755 "$base"
pdfconf="/etc/cups/cups-pdf-$queue.conf"
cupsd_pid=""

cleanup() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -f "$pdfconf"
  rm -rf "$base"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$base/etc/ppd" "$base/spool" "$base/cache" "$base/state" "$base/log" "$base/tmp" \
  "$base/home" "$base/pdf"
chmod 1777 "$base/pdf"
# The filters run as lp and write their temporary files here.
chgrp lp "$base/tmp"
chmod 1770 "$base/tmp"

cat >"$base/etc/cupsd.conf" <<CONF
Listen $base/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat >"$base/etc/cups-files.conf" <<CONF
ServerRoot $base/etc
RequestRoot $base/spool
CacheDir $base/cache
StateDir $base/state
TempDir $base/tmp
ErrorLog $base/log/error_log
AccessLog $base/log/access_log
PageLog $base/log/page_log
User lp
Group lp
SystemGroup root lpadmin
CONF
# cups-pdf reads its settings for the device cups-pdf:/NAME only from here.
cat >"$pdfconf" <<CONF
Out $base/pdf
AnonDirName $base/pdf
Grp lp
UserUMask 0022
CONF

cupsd -f -c "$base/etc/cupsd.conf" -s "$base/etc/cups-files.conf" &
cupsd_pid=$!

export CUPS_SERVER="$base/cups.sock"
tries=0
until lpstat -r 2>/dev/null | grep -q "is running"; do
  tries=$((tries + 1))
  if [ "$tries" -gt 200 ] || ! kill -0 "$cupsd_pid" 2>/dev/null; then
    echo "$0: cupsd did not start" >&2
    cat "$base/log/error_log" >&2 2>/dev/null || true
    exit 1
  fi
  sleep 0.05
done

lpadmin -p "$queue" -E -v "cups-pdf:/$queue" -P "$ppd"
lpadmin -d "$queue"

# The user's own printer choices must not leak in.
export HOME="$base/home"
unset PRINTER LPDEST
export NORVANE_PRINTER="$queue" NORVANE_PDF_DIR="$base/pdf"

status=0
"$@" || status=$?
if [ "$status" -ne 0 ] && [ -s "$base/log/error_log" ]; then
  echo "--- cupsd error log" >&2
  cat "$base/log/error_log" >&2
fi
exit "$status"
