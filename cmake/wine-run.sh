#!/bin/sh
# Runs a program of the Windows build under Wine: CTest's and the build's emulator
# (CMAKE_CROSSCOMPILING_EMULATOR).
#   wine-run.sh [--fonts DIR] PROGRAM.exe ARGS...
# Wine hands a Windows program none of the host's QT_* variables, but passes WINEQT_* on without
# the prefix, so each QT_* variable is passed that way. QtTest reports only when standard error
# looks like a console. --fonts gives the folder the offscreen platform reads its fonts from
# (QT_QPA_FONTDIR) unless one is set already: on Windows it finds no others.
if [ "$1" = "--fonts" ]; then
  : "${QT_QPA_FONTDIR:=$2}"
  export QT_QPA_FONTDIR
  shift 2
fi
for var in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
  eval "WINE$var=\$$var; export WINE$var"
done
WINEQT_ASSUME_STDERR_HAS_CONSOLE=1
WINEDEBUG=${WINEDEBUG:--all}
WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEQT_ASSUME_STDERR_HAS_CONSOLE WINEDEBUG WINEDLLOVERRIDES
exec /usr/lib/wine/wine64 "$@"
