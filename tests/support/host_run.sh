#!/bin/sh
# host_run.sh BASE DIR TOOL ARGS...: runs TOOL in DIR for host_tool.exe, leaving its output in
# BASE.out and BASE.err and, last, its exit code in BASE.code.
base=$1
dir=$2
shift 2
cd "$dir" 2>/dev/null || cd /
"$@" >"$base.out" 2>"$base.err" </dev/null
echo $? >"$base.code.part"
mv "$base.code.part" "$base.code"
