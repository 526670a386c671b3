#!/usr/bin/env bash
# Remakes the event sounds in res/ with SoX (apt-get install sox). Every sound is short, quiet
# and 22050 Hz mono 16-bit PCM, so the files stay a few kilobytes each. The notes are plucked
# strings and soft sines: the program plays them often, they must never startle.
#
#   tools/make-sounds.sh [OUTPUT_FOLDER]     (default: res/ of this repository)
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-$repo/res}"
command -v sox >/dev/null || { echo "sox is missing: apt-get install sox" >&2; exit 1; }
mkdir -p "$out"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# -R: repeatable output (no random dither), so a remake changes no bytes. Voices are made at
# 44100 Hz (SoX plucks only at that rate) and the finished sound is resampled to 22050 Hz.
# Voices are kept as 32-bit float until the end, so mixing them never clips.
fmt=(-R -r 44100 -c 1 -e floating-point -b 32)

# note NAME KIND FREQ LENGTH DELAY: one voice, starting DELAY seconds into the sound.
# KIND is a SoX synth type (pluck for a string, sine for a bell-like tone).
note() {
  local name=$1 kind=$2 freq=$3 len=$4 delay=$5
  sox "${fmt[@]}" -n "$tmp/$name.wav" synth "$len" "$kind" "$freq" \
      fade q 0.008 "$len" "$(awk "BEGIN{print $len*0.8}")" pad "$delay" 0
}

# finish OUTPUT LENGTH VOICES...: mixes the voices, cuts to LENGTH seconds and sets the
# peak to -14 dBFS, takes off the sharp top of the plucks and fades the end so no sound stops
# with a click.
finish() {
  local target=$1 len=$2; shift 2
  local inputs=()
  for v in "$@"; do inputs+=("$tmp/$v.wav"); done
  # pad makes short voices long enough for trim; trim then ends the stream before the padding
  # is used up, which SoX reports as a warning, so this step runs with warnings off (-V1).
  if [ ${#inputs[@]} -eq 1 ]; then
    sox -V1 "${fmt[@]}" "${inputs[0]}" "$tmp/mix.wav" pad 0 "$len" trim 0 "$len"
  else
    sox -V1 "${fmt[@]}" -m "${inputs[@]}" "$tmp/mix.wav" pad 0 "$len" trim 0 "$len"
  fi
  sox "${fmt[@]}" "$tmp/mix.wav" -r 22050 -e signed-integer -b 16 "$out/$target" \
      lowpass 4500 gain -n -14 fade q 0 "$len" 0.05 rate 22050
}

# Lade Handelssystem: a system was opened - a soft rising fourth.
note a pluck 659.25 0.30 0
note b pluck 880.00 0.30 0.10
finish scan_completed.wav 0.40 a b

# Neues Handelssystem: something new exists - a bright major arpeggio C E G.
note a pluck 523.25 0.35 0
note b pluck 659.25 0.35 0.08
note c pluck 783.99 0.40 0.16
finish success.wav 0.55 a b c

# Generiere Expert: the Expert Advisor is ready - a high sparkle of four bell tones.
note a sine 1318.51 0.25 0
note b sine 1567.98 0.25 0.06
note c sine 2093.00 0.25 0.12
note d sine 2637.02 0.35 0.18
finish sparcle.wav 0.55 a b c d

# Ablage, Kill Indikator, Ablagen: something was put away - a short falling swish of
# pink noise under a low falling tone.
sox "${fmt[@]}" -n "$tmp/a.wav" synth 0.25 pinknoise band 1800 1200 fade q 0.01 0.25 0.2 vol 0.5
sox "${fmt[@]}" -n "$tmp/b.wav" synth 0.22 sine 440-220 fade q 0.005 0.22 0.18
finish trash.wav 0.28 a b

# Lade System, Drag&Drop, Start, Neuer Indikator, Clonen, Toolbox export: the everyday
# confirmation - two equal quick blips.
note a pluck 783.99 0.10 0
note b pluck 783.99 0.12 0.09
finish dibbldibb.wav 0.22 a b

# Write System: saved - two quick blips, the second lower ("dibbl-dabb").
note a pluck 880.00 0.10 0
note b pluck 659.25 0.14 0.09
finish dibbldabb.wav 0.24 a b

# Indikator OK: an edit was accepted - one clear soft bell.
note a sine 1046.50 0.25 0
note b sine 2093.00 0.18 0
finish w1.wav 0.25 a b

# Indikator Abbruch: an edit was thrown away - a low short falling tone.
sox "${fmt[@]}" -n "$tmp/a.wav" synth 0.22 triangle 330-196 fade q 0.005 0.22 0.15 lowpass 1200
finish XPRecycl.wav 0.22 a

ls -l "$out"/scan_completed.wav "$out"/success.wav "$out"/sparcle.wav "$out"/trash.wav \
      "$out"/dibbldibb.wav "$out"/dibbldabb.wav "$out"/w1.wav "$out"/XPRecycl.wav
