#!/usr/bin/env bash
# Starts the tracker simulator on a pseudo-terminal as COM1 of a demo prefix, with three days of
# recorded track in its memory (generated and packed by the simulator itself: a record every
# 30 s from 08:00 to 18:00, each day starting with a restart marker), then Trakmon against it;
# stops the simulator when Trakmon exits.
#   tools/demo.sh <build-dir>
# The demo prefix is <build-dir>/demo-prefix: drive C (the working folder c:\Tc\WorkDir\), the
# COM1 link, Trakmon's copy with its Trakmon.INI, and the simulator's log.
set -euo pipefail

build=$(cd "${1:?usage: tools/demo.sh <build-dir>}" && pwd)
sim_tool=$build/sim/tracker-sim
trakmon=$build/trakmon/Trakmon
for f in "$sim_tool" "$trakmon"; do
  [ -x "$f" ] || { echo "demo: $f is not built" >&2; exit 1; }
done

prefix=$build/demo-prefix
work_dir=$prefix/drive_c/Tc/WorkDir
mkdir -p "$prefix/dosdevices" "$prefix/bin" "$work_dir"
# Trakmon keeps its INI beside its program file: run a copy inside the prefix.
cp -f "$trakmon" "$prefix/bin/Trakmon"
# The hand-over to the boot loader starts Flasket from the working folder.
if [ -x "$build/prog/Flasket" ]; then
  ln -sf "$build/prog/Flasket" "$work_dir/Flasket"
  # A sample firmware file of our own waits there for "Write All".
  cp -f "$(dirname "$0")/demo_firmware.hex" "$work_dir/firmware.hex"
fi

sim_out=$prefix/tracker-sim.out
"$sim_tool" --prefix "$prefix" --com 1 --track 3 --log "$prefix/tracker-sim.log" \
  >"$sim_out" 2>"$prefix/tracker-sim.err" &
sim_pid=$!
stop_sim() {
  kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
}
trap stop_sim EXIT

# The tool prints the pty's path once it serves it.
for _ in $(seq 100); do
  [ -s "$sim_out" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { cat "$prefix/tracker-sim.err" >&2; exit 1; }
  sleep 0.1
done
[ -s "$sim_out" ] || { echo "demo: the simulator did not start" >&2; exit 1; }
echo "demo: tracker simulator on $(head -n1 "$sim_out") as COM1 of $prefix"

TRAKMON_PREFIX=$prefix "$prefix/bin/Trakmon"
