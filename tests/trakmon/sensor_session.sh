#!/usr/bin/env bash
# The sensor panel and the modem window end to end, in real time: the simulator tool serves a
# pseudo-terminal as COM1 of a prefix of our own, and the session program (Trakmon's own
# start-up, driven as a user) runs under Xvfb against it. Its pictures are kept.
#   sensor_session.sh <tracker-sim> <session program> <run_with_x.sh> <picture folder>
set -uo pipefail
tool=$1 session=$2 run_with_x=$3 pictures=$4

dir=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
mkdir -p "$dir/prefix" "$dir/work" "$dir/pictures"
# The program keeps its INI beside itself: a copy in the folder, at the simulator's rate.
cp "$session" "$dir/Trakmon"
printf '[Port]\r\nCOMM_PORT_NMEA=0\r\nBAUD_RATE_NMEA=115200\r\n[Catalog]\r\nwork_dir=%s/work/\r\n' \
  "$dir" >"$dir/Trakmon.INI"
printf 'petrov 111\r\nivanov 222\r\nsidorov 333\r\n' >"$dir/work/phone.txt"

"$tool" --prefix "$dir/prefix" --com 1 --log "$dir/sim.log" >"$dir/sim.out" 2>"$dir/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
  [ -s "$dir/sim.out" ] && break
  sleep 0.1
done
if [ ! -s "$dir/sim.out" ]; then
  echo "the simulator did not start:"
  cat "$dir/sim.err"
  exit 1
fi

status=0
(cd "$dir" && TRAKMON_PREFIX="$dir/prefix" timeout 120 "$run_with_x" ./Trakmon "$dir/pictures") \
  || status=$?
[ "$status" -eq 77 ] && exit 77
if [ "$status" -ne 0 ]; then
  echo "the session ended with $status; the simulator saw:"
  tail -n 40 "$dir/sim.log"
  exit 1
fi
mkdir -p "$pictures"
cp "$dir"/pictures/*.png "$pictures/"
ls "$pictures"/Trakmon_calibration.png "$pictures"/Trakmon_modem.png
