#!/usr/bin/env bash
# Starts the tracker simulator on a pseudo-terminal as COM1 of a demo prefix, with three days of
# recorded track in its memory, then Trakmon against it; stops the simulator when Trakmon exits.
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
fi

# The track memory: records every 30 s from 08:00 to 18:00 on three days, each day starting
# with a restart marker, packed two characters per byte as the tracker stores them.
memory=$prefix/track.bin
perl -e '
  use strict;
  my %code = (" " => 0, "0" => 10, ";" => 11, "." => 12, "/" => 13, "\n" => 14, "\$" => 15);
  $code{$_} = $_ for 1 .. 9;
  my $text = "";
  my ($lat, $lon) = (5545.0, 3737.0);
  for my $day (0 .. 2) {
    my @d = localtime(time - (3 - $day) * 86400);
    my $date = sprintf("%02d%02d%02d", $d[3], $d[4] + 1, $d[5] % 100);
    $text .= "/012345543210/\n";
    for (my $s = 8 * 3600; $s < 18 * 3600; $s += 30) {
      my $time = sprintf("%02d%02d%02d.000", int($s / 3600), int($s / 60) % 60, $s % 60);
      my $fix = ($s < 8 * 3600 + 300) ? 1 : 2;  # no fix in the first minutes
      my $speed = 40 + 25 * sin($s / 900);
      $lat += 0.02 * cos($s / 1800);
      $lon += 0.03 * sin($s / 2400);
      $text .= sprintf("\$1;%s;%d;%09.4f;1;%010.4f;1;%s;%.1f;%d;%d\n",
                       $time, $fix, $lat, $lon, $date, $speed, 500 + ($s / 30) % 200, $day);
    }
  }
  $text .= " " if length($text) % 2;
  my @c = map { $code{$_} } split //, $text;
  my $bytes = "";
  for (my $i = 0; $i < @c; $i += 2) { $bytes .= chr($c[$i] * 16 + $c[$i + 1]); }
  open(my $f, ">:raw", $ARGV[0]) or die "demo: $ARGV[0]: $!\n";
  print $f $bytes;
' "$memory"

sim_out=$prefix/tracker-sim.out
"$sim_tool" --prefix "$prefix" --com 1 --memory "$memory" --log "$prefix/tracker-sim.log" \
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
