#!/usr/bin/env bash
# Starts FlightGear headless under Xvfb at an airport with the Cessna 172P,
# its property server on a TCP port, rendering cut down to almost nothing so
# the property server (answered once a frame) answers many times a second.
#   start-fgfs.sh OUTDIR [AIRPORT] [PORT]
# Prints the pid of the process group to stop; fgfs's output goes to OUTDIR/fgfs.log.
set -euo pipefail
out=${1:?usage: start-fgfs.sh OUTDIR [AIRPORT] [PORT]}
airport=${2:-BIKF}
port=${3:-5401}
mkdir -p "$out/home" "$out/runtime"
chmod 700 "$out/runtime"
display=:$((90 + RANDOM % 100))
# fgfs aborts without a D-Bus session and a runtime folder; Mesa's software
# renderer crashed compiling a shader with its default vector width.
export XDG_RUNTIME_DIR="$out/runtime" HOME="$out/home" LP_NATIVE_VECTOR_WIDTH=128 LIBGL_ALWAYS_SOFTWARE=1
setsid bash -c "
  Xvfb $display -screen 0 320x240x24 -nolisten tcp >'$out/xvfb.log' 2>&1 &
  xvfb=\$!
  trap 'kill \$xvfb 2>/dev/null' EXIT
  sleep 1
  DISPLAY=$display dbus-run-session -- /usr/games/fgfs \
    --airport=$airport --aircraft=c172p --timeofday=noon --season=summer \
    --telnet=socket,bi,200,127.0.0.1,$port,tcp \
    --geometry=64x48 --disable-fullscreen --disable-splash-screen --disable-sound \
    --disable-ai-traffic --disable-ai-models --disable-clouds --disable-clouds3d \
    --fog-fastest --visibility-miles=1 --disable-specular-highlight \
    --disable-random-objects --disable-random-vegetation --disable-random-buildings \
    --disable-terrasync --disable-real-weather-fetch --disable-hud --disable-panel \
    --disable-horizon-effect --disable-distance-attenuation \
    --prop:/sim/rendering/shaders/quality-level=0 \
    --prop:/sim/rendering/draw-mask/terrain=false --prop:/sim/rendering/draw-mask/models=false \
    --prop:/sim/rendering/draw-mask/aircraft=false --prop:/sim/rendering/draw-mask/clouds=false \
    --prop:/sim/rendering/multi-sample-buffers=false --prop:/sim/menubar/visibility=false \
    --prop:/sim/startup/save-on-exit=false --prop:/sim/frame-rate-throttle-hz=0 \
    --log-level=info; echo fgfs ended \$?
" >"$out/fgfs.log" 2>&1 < /dev/null &
echo $!
