# Shared by scripts/run and scripts/test: install, configure and build into one build folder.
# Source it; it defines pluvik_build and pluvik_env.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${PLUVIK_BUILD_DIR:-$ROOT/build}

pluvik_build() {
  "$ROOT/scripts/setup"
  if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  cmake --build "$BUILD_DIR" -j2
}

# Chromium will not start as root with its sandbox on.
pluvik_env() {
  if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
  fi
}

# Runs a command on the current display, or on a virtual one when there is none.
pluvik_with_display() {
  if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    "$@"
  else
    echo "No display found: starting a virtual one (xvfb-run)." >&2
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  fi
}
