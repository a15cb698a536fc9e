#!/bin/sh
# fieldcast-client.sh PROGRAM CASTER_PORT MOUNTPOINT
# Client command for the shared relay harness: writes GNSS.ini and
# sourcetable.dat for a caster on 127.0.0.1:PORT into a fresh directory and
# execs the program headless there, so the harness measures the program's
# own pid. COM1 comes from FIELDCAST_COM1, which the harness sets.
set -eu
program=$1 port=$2 mount=$3
base=${TMPDIR:-/tmp}
# The exec below leaves nobody to clean up: remove the directories of runs
# whose program (named by pid) has ended.
for old in "$base"/fieldcast-client.*; do
  [ -d "$old" ] || continue
  [ -e "/proc/${old##*.}" ] || rm -rf -- "$old"
done
dir=$base/fieldcast-client.$$
mkdir -p "$dir"
printf '%s\n' '[NtripCaster]' "IP Port=127.0.0.1:$port" 'Password=' 'Attemps=10' 'Time=1' \
  '[Settings]' 'Output=0' '[COM-Port]' 'COM-Port=COM1' 'Baudrate=115200' 'Databits=8 data bits' \
  'Parity=no parity' 'Stop Bits=1 stop bit' '[GNSS]' "Mount Point=$mount" 'Network=All' \
  '[Design]' 'Colour=' >"$dir/GNSS.ini"
printf 'STR;%s;bench;RTCM 3.2;1004(1);2;GPS+GLO;BENCH;XXX;50.00;8.00;0;0;gen;none;N;N;9600;bench\r\nENDSOURCETABLE\r\n' \
  "$mount" >"$dir/sourcetable.dat"
exec "$program" --headless --start --dir "$dir"
