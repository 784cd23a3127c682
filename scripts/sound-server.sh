#!/usr/bin/env bash
# A private PulseAudio server for the sound-card test: one null sink "nullsink" (48000 Hz, stereo)
# whose monitor "nullsink.monitor" is the default source, so what is played into the sink can be
# recorded back; and "nullsink.left", the monitor's left channel on both channels, as a signal split
# to a device's input and to the reference input at once. It lives in its own 0700 folder and never touches a desktop's own server.
#
#   sound-server.sh start   start it (or keep the one already running); non-zero if it cannot
#   sound-server.sh stop    stop it and remove its folder
#   sound-server.sh env     print the exports that lead clients (and the tests) to it
#
# MIREL_SOUND_DIR chooses the folder (default: $TMPDIR/mirel-sound-<uid>).
set -euo pipefail

dir="${MIREL_SOUND_DIR:-${TMPDIR:-/tmp}/mirel-sound-$(id -u)}"
runtime="$dir/runtime"
server="unix:$runtime/pulse/native"
log="$dir/pulseaudio.log"

in_env() {
  env XDG_RUNTIME_DIR="$runtime" PULSE_SERVER="$server" PULSE_STATE_PATH="$dir/state" "$@"
}

answers() {
  in_env timeout 5 pactl info >/dev/null 2>&1
}

server_pid() {
  local pid
  pid="$(cat "$runtime/pulse/pid" 2>/dev/null || true)"
  [[ "$pid" =~ ^[0-9]+$ ]] && kill -0 "$pid" 2>/dev/null && echo "$pid"
}

start() {
  if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
    echo "sound-server: pulseaudio or pactl is not installed" >&2
    return 1
  fi
  if answers && in_env pactl list short sinks | grep -qw nullsink &&
    in_env pactl list short sources | grep -qw nullsink.left; then
    echo "sound-server: already running at $server"
    return 0
  fi
  stop >/dev/null 2>&1 || true

  mkdir -p "$runtime" "$dir/state"
  chmod 700 "$dir" "$runtime" "$dir/state"
  # As root pulseaudio warns that it is not meant to run so, and runs; its words go to the log.
  if ! in_env pulseaudio -D --exit-idle-time=-1 -n --log-target="file:$log" \
      --load="module-native-protocol-unix auth-anonymous=1" \
      --load="module-null-sink sink_name=nullsink rate=48000 channels=2" \
      --load="module-remap-source source_name=nullsink.left master=nullsink.monitor \
              master_channel_map=front-left,front-left channel_map=front-left,front-right" 2>>"$log"; then
    echo "sound-server: pulseaudio did not start:" >&2
    tail -n 20 "$log" >&2 || true
    return 1
  fi
  for _ in $(seq 50); do
    answers && break
    sleep 0.2
  done
  if ! answers; then
    echo "sound-server: the server does not answer; its log:" >&2
    tail -n 20 "$log" >&2 || true
    stop >/dev/null 2>&1 || true
    return 1
  fi
  in_env pactl set-default-sink nullsink
  in_env pactl set-default-source nullsink.monitor
  echo "sound-server: running at $server"
}

stop() {
  local pid
  pid="$(server_pid || true)"
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
  fi
  # Only what start made: the folder may have been chosen by the caller.
  rm -rf "$runtime" "$dir/state" "$log"
  rmdir "$dir" 2>/dev/null || true
  echo "sound-server: stopped"
}

case "${1:-}" in
  start) start ;;
  stop) stop ;;
  env)
    printf 'export XDG_RUNTIME_DIR=%q\n' "$runtime"
    printf 'export PULSE_SERVER=%q\n' "$server"
    ;;
  *)
    echo "usage: $0 start|stop|env" >&2
    exit 2
    ;;
esac
