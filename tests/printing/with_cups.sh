#!/usr/bin/env bash
# with_cups.sh COMMAND [ARGS...]: runs COMMAND against a CUPS daemon of its own with one PDF
# printer, then stops the daemon and removes everything it made.
#
# The daemon's configuration, spool, logs and socket live in a temporary folder; it listens on
# that folder's socket only, so a system cupsd (and its port 631) is neither used nor disturbed.
# The printer is Debian's cups-pdf backend, whose configuration can only lie in /etc/cups: the
# queue uses an instance of its own, /etc/cups/cups-pdf-<instance>.conf, written here and removed
# on exit, which writes the printed PDF files into the temporary folder.
#
# COMMAND sees CUPS_SERVER (the socket, so that libcups and Qt's printer list find this daemon
# alone), NETWORTH_CUPS_PRINTER (the queue, also the default destination) and
# NETWORTH_CUPS_OUTPUT (the folder that receives the printed PDF files).
#
# cupsd runs backends as root only when it runs as root itself, and cups-pdf needs root: without
# it the script exits 77, which the test's SKIP_RETURN_CODE reports as skipped.
set -euo pipefail

[ $# -ge 1 ] || { echo "usage: with_cups.sh COMMAND [ARGS...]" >&2; exit 2; }
if [ "$(id -u)" -ne 0 ]; then
  echo "with_cups.sh: the cups-pdf backend needs a CUPS daemon running as root" >&2
  exit 77
fi
for tool in /usr/sbin/cupsd /usr/sbin/lpadmin /usr/bin/lpstat /usr/lib/cups/backend/cups-pdf; do
  [ -x "$tool" ] || { echo "with_cups.sh: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_noopt.ppd

root=$(mktemp -d /tmp/networth-cups-XXXXXX)
instance="networth-test-$$"
instance_conf="/etc/cups/cups-pdf-$instance.conf"
cupsd_pid=""
cleanup() {
  if [ -n "$cupsd_pid" ]; then
    kill "$cupsd_pid" 2>/dev/null || true
    wait "$cupsd_pid" 2>/dev/null || true
  fi
  rm -f "$instance_conf"
  rm -rf "$root"
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP
# Instances of earlier runs that were killed outright.
for stale in /etc/cups/cups-pdf-networth-test-*.conf; do
  [ -e "$stale" ] || continue
  pid=${stale##*-}; pid=${pid%.conf}
  kill -0 "$pid" 2>/dev/null || rm -f "$stale"
done

# The filters run as the user lp: they must reach the spool through the folder.
chmod 0755 "$root"
mkdir -p "$root"/etc/ppd "$root"/spool/tmp "$root"/cache "$root"/state "$root"/log "$root"/out
chgrp lp "$root"/spool "$root"/spool/tmp "$root"/cache "$root"/state
chmod 0770 "$root"/spool "$root"/spool/tmp "$root"/cache "$root"/state

cat > "$root/etc/cups-files.conf" <<EOF
ServerRoot $root/etc
RequestRoot $root/spool
TempDir $root/spool/tmp
CacheDir $root/cache
StateDir $root/state
ErrorLog $root/log/error_log
AccessLog $root/log/access_log
PageLog $root/log/page_log
User lp
Group lp
SystemGroup root
EOF
cat > "$root/etc/cupsd.conf" <<EOF
Listen $root/cups.sock
LogLevel info
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
EOF
cat > "$instance_conf" <<EOF
Out $root/out
AnonDirName $root/out
Spool $root/spool/cups-pdf
Log $root/log
Grp root
LogType 3
EOF

/usr/sbin/cupsd -f -c "$root/etc/cupsd.conf" -s "$root/etc/cups-files.conf" &
cupsd_pid=$!
export CUPS_SERVER="$root/cups.sock"
for _ in $(seq 1 100); do
  [ -S "$CUPS_SERVER" ] && lpstat -r >/dev/null 2>&1 && break
  kill -0 "$cupsd_pid" 2>/dev/null || { cat "$root/log/error_log" >&2 2>/dev/null; exit 1; }
  sleep 0.1
done
lpstat -r >/dev/null || { echo "with_cups.sh: cupsd did not start" >&2; exit 1; }

# The queue turns the PDF it is sent into PostScript for cups-pdf. Ghostscript, the default for
# that step, makes fonts without their Unicode mapping, so the printed text could not be read back;
# Cairo keeps it.
queue=NetworthPDF
lpadmin -p "$queue" -v "cups-pdf:/$instance" -P "$ppd" -o pdftops-renderer-default=pdftocairo -E
lpadmin -d "$queue"
export NETWORTH_CUPS_PRINTER="$queue"
export NETWORTH_CUPS_OUTPUT="$root/out"

status=0
"$@" || status=$?
if [ "$status" -ne 0 ] && [ -s "$root/log/error_log" ]; then
  echo "== cupsd's error log" >&2
  tail -n 40 "$root/log/error_log" >&2
fi
exit "$status"
