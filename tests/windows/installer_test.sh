#!/usr/bin/env bash
# The Windows installer under Wine, in a prefix of its own: installed silently for the current
# user; the installed program's files, shortcuts and no settings file or data; the installed
# networth.exe printing a statement from its default data directory (tables written by the Linux
# build); the program started with the windows platform plugin on Xvfb, showing the matter
# selection and then the Expenses form (screenshots into SCREENSHOT_DIR when set); and the
# uninstaller removing the program but leaving the data directory.
# Usage: tests/windows/installer_test.sh SETUP.exe LINUX_BUILD_DIR
set -euo pipefail
setup=$(realpath "${1:?usage: installer_test.sh SETUP.exe LINUX_BUILD_DIR}")
linux=$(realpath "${2:?usage: installer_test.sh SETUP.exe LINUX_BUILD_DIR}")
wine=/usr/lib/wine/wine64
work=$(mktemp -d /tmp/networth-installed.XXXXXX)
WINEPREFIX=$work/prefix
# Wine links the Windows desktop to the home folder's: a home of the test's own.
HOME=$work/home
mkdir -p "$HOME/Desktop"
export HOME WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No Qt variables of the host reach the installed program.
for v in $(env | sed -n 's/^\(\(WINE\)\?QT_[A-Za-z0-9_]*\)=.*/\1/p'); do unset "$v"; done
trap '/usr/lib/wine/wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$wine" cmd /c exit >/dev/null 2>&1 || true
"$wine" "$setup" /S
user=$(ls "$WINEPREFIX/drive_c/users" | grep -v -m1 '^Public$')
home=$WINEPREFIX/drive_c/users/$user
dir="$home/AppData/Local/Programs/Quillmark Net Worth"
[ -d "$dir" ] || fail "nothing installed in the user's programs folder"
for f in networth.exe dbftool.exe rpftool.exe uninstall.exe Qt6Core.dll Qt6Widgets.dll \
         Qt6PrintSupport.dll libstdc++-6.dll platforms/qwindows.dll platforms/qoffscreen.dll \
         Reports/Diredodu.rpf Help/ManualE.pdf fonts/LiberationSerif-Regular.ttf fonts/LICENSE.txt; do
  [ -f "$dir/$f" ] || fail "$f was not installed"
done
[ -d "$dir/data3005" ] || fail "no default data directory"
[ -z "$(ls -A "$dir/data3005")" ] || fail "the installer carried data"
[ ! -e "$dir/tallo.ini" ] || fail "the installer carried a settings file"
[ ! -e "$dir/Qt6Test.dll" ] || fail "the installer carried the test library"
menu_link="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Quillmark Net Worth.lnk"
desktop_link="$HOME/Desktop/Quillmark Net Worth.lnk"
[ -f "$menu_link" ] || fail "no Start-menu shortcut"
[ -f "$desktop_link" ] || fail "no desktop shortcut"
echo "installed: $(du -sh "$dir" | cut -f1) in $dir"

# The default data directory, filled by the Linux build; the statement printed headless.
"$linux/tests/printing/print_scenario" "$dir/data3005"
"$wine" "$dir/networth.exe" --print-pdf "Smith v. Smith" 'C:\statement.pdf'
pdftotext "$WINEPREFIX/drive_c/statement.pdf" "$work/statement.txt"
grep -q "JANE Q. SMITH" "$work/statement.txt" ||
  fail "the installed program's statement lacks the matter's plaintiff"
echo "installed networth.exe --print-pdf: $(pdfinfo "$WINEPREFIX/drive_c/statement.pdf" | sed -n 's/^Pages: *//p') pages"

# The program on a display, with Qt's windows platform plugin.
shots=${SCREENSHOT_DIR:-$work/shots}
mkdir -p "$shots"
cat >"$work/session.sh" <<SESSION
set -e
"$wine" "$dir/networth.exe" &
xdotool search --sync --limit 1 --name 'Select Matter' >/dev/null
sleep 3
import -window root "$shots/windows-select-matter.png"
# Open the first matter of the list (Smith v. Smith) with a double click. Without a window
# manager, keys go to the window under the pointer: then the main window.
dialog=\$(xdotool search --limit 1 --name 'Select Matter')
xdotool mousemove --window "\$dialog" 60 104 click --repeat 2 --delay 80 1
for _ in \$(seq 1 60); do xdotool search --name 'Select Matter' >/dev/null || break; sleep 1; done
if xdotool search --name 'Select Matter' >/dev/null; then exit 1; fi
sleep 2
# Forms, Expenses: a window inside the main window, so not one that xdotool can wait for.
xdotool key alt+o e
sleep 8
import -window root "$shots/windows-expenses-form.png"
# The form's Close button; then File, Exit with the pointer on the main window's menu bar.
xdotool key alt+c
sleep 2
xdotool mousemove 20 33 key alt+f e
wait
SESSION
# Wine's desktop of the headless runs above has no display, and a program started while it lives
# could open no window: end that session first.
/usr/lib/wine/wineserver -k 2>/dev/null || true
/usr/lib/wine/wineserver -w
timeout 180 xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/session.sh" ||
  fail "the program on Xvfb did not show the matter selection and the Expenses form"
for shot in windows-select-matter windows-expenses-form; do
  colours=$(convert "$shots/$shot.png" -format '%k' info:)
  [ "$colours" -gt 16 ] || fail "$shot.png is blank"
done
echo "screenshots in $shots"
# The first start with a window wrote the settings file beside the program, naming the default.
[ -f "$dir/tallo.ini" ] || fail "the first start wrote no settings file"
grep -q 'Programs\\Quillmark Net Worth\\data3005\\' "$dir/tallo.ini" ||
  fail "the settings file does not name the default data directory: $(cat "$dir/tallo.ini")"

"$wine" "$dir/uninstall.exe" /S
# The uninstaller copies itself away and returns at once: wait for the program to go.
for _ in $(seq 1 60); do [ -e "$dir/networth.exe" ] || break; sleep 1; done
[ ! -e "$dir/networth.exe" ] || fail "the uninstaller left the program"
[ ! -e "$dir/Qt6Core.dll" ] && [ ! -d "$dir/Reports" ] || fail "the uninstaller left program files"
[ -f "$dir/data3005/Expenses.dbf" ] || fail "the uninstaller removed the data directory"
[ ! -e "$menu_link" ] && [ ! -e "$desktop_link" ] || fail "the uninstaller left a shortcut"
echo "uninstalled; the data directory stays: $(ls "$dir/data3005" | wc -l) files"
