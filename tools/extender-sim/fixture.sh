#!/usr/bin/env bash
# Starts and stops the simulated extender for the Windows-side tests.
#
#   fixture.sh start DIR [SIM-OPTIONS...]
#       Starts extender-sim with its pseudo-terminal link at DIR/ttyEXT, its
#       control socket at DIR/ctl.sock and a free TCP port on 127.0.0.1, waits
#       (at most 10 s) until it is ready and writes DIR/sim.env:
#           SIM_PTY=...  SIM_TCP_PORT=...  SIM_CTL=...  SIM_PID=...
#       Extra options (e.g. --baud 9600 --parity E) go to the simulator.
#   fixture.sh stop DIR
#       Ends the simulator started in DIR: SIGTERM, at most 5 s of waiting,
#       then SIGKILL. Removes DIR/sim.env.
#
# The simulator binary is $EXTENDER_SIM, else extender-sim on PATH, else the
# extender-sim beside this script.
set -u

die() { echo "fixture.sh: $*" >&2; exit 1; }

cmd=${1:-}
dir=${2:-}
[ -n "$cmd" ] && [ -n "$dir" ] || { sed -n '2,16p' "$0" >&2; exit 2; }
shift 2

# True while the process exists and is not a zombie.
alive() {
  local state
  kill -0 "$1" 2>/dev/null || return 1
  state=$(sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | cut -c1)
  [ "$state" != "Z" ]
}

case "$cmd" in
start)
  bin=${EXTENDER_SIM:-}
  [ -n "$bin" ] || bin=$(command -v extender-sim 2>/dev/null || true)
  [ -n "$bin" ] || bin="$(cd "$(dirname "$0")" && pwd)/extender-sim"
  [ -x "$bin" ] || die "no simulator binary (set EXTENDER_SIM): $bin"
  mkdir -p "$dir" || die "cannot make $dir"
  if [ -f "$dir/sim.env" ]; then
    old=$(sed -n 's/^SIM_PID=//p' "$dir/sim.env")
    [ -n "$old" ] && alive "$old" && die "a simulator is already running for $dir (pid $old)"
    rm -f "$dir/sim.env"
  fi
  rm -f "$dir/ready"
  # Its own session, so that signals meant for the caller's terminal do not
  # reach it; its output goes to DIR/sim.log.
  setsid "$bin" --pty "$dir/ttyEXT" --tcp 0 --ctl "$dir/ctl.sock" --ready-file "$dir/ready" "$@" \
    </dev/null >"$dir/sim.log" 2>&1 &
  launcher=$!
  line=
  for _ in $(seq 100); do
    if [ -s "$dir/ready" ]; then
      line=$(head -n 1 "$dir/ready")
      break
    fi
    alive "$launcher" || break
    sleep 0.1
  done
  if [ -z "$line" ]; then
    alive "$launcher" && kill -KILL "$launcher" 2>/dev/null
    cat "$dir/sim.log" >&2
    die "the simulator did not become ready"
  fi
  field() { printf '%s\n' "$line" | tr ' ' '\n' | sed -n "s/^$1=//p"; }
  {
    printf 'SIM_PTY=%q\n' "$(field pty)"
    printf 'SIM_TCP_PORT=%q\n' "$(field tcp)"
    printf 'SIM_CTL=%q\n' "$(field ctl)"
    printf 'SIM_PID=%q\n' "$(field pid)"
  } >"$dir/sim.env.tmp" && mv "$dir/sim.env.tmp" "$dir/sim.env"
  echo "$line"
  ;;
stop)
  [ -f "$dir/sim.env" ] || die "no $dir/sim.env: nothing was started there"
  pid=$(sed -n 's/^SIM_PID=//p' "$dir/sim.env")
  [[ "$pid" =~ ^[0-9]+$ ]] || die "no SIM_PID in $dir/sim.env"
  if alive "$pid" && tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q 'extender-sim'; then
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 50); do
      alive "$pid" || break
      sleep 0.1
    done
    if alive "$pid"; then
      echo "fixture.sh: the simulator did not end within 5 s; killing it" >&2
      kill -KILL "$pid" 2>/dev/null
    fi
  fi
  rm -f "$dir/sim.env"
  ;;
*)
  sed -n '2,16p' "$0" >&2
  exit 2
  ;;
esac
