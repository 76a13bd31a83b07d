#!/usr/bin/env bash
# Installs the Debian packages VOKRA needs to build, test and run. Installs only what is missing,
# so running it again costs nothing.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config   # build
    libgtest-dev libbenchmark-dev      # tests and benchmarks
    python3                            # conversion-table generator and its check
    python3-pefile                     # a second PE checksum reader, and the test programs' variants
    binutils                           # strings(1), the benchmark's yardstick
    qt6-base-dev                       # the windows
    libqt6opengl6-dev                  # the 3D test view of the settings window (OpenGL 3.3 core)
    libgl-dev libgl1-mesa-dri          # OpenGL, with Mesa's llvmpipe where no GPU exists
    libglx-mesa0 libegl-mesa0          # Mesa under Xvfb (GLX) and off-screen (EGL)
    libassimp-dev                      # the scene's DirectX .x mesh files
    fonts-arphic-uming                 # the Ming face of the dialog templates
    xvfb xauth xdotool                 # window tests and screenshots without a display
    g++-mingw-w64-x86-64-posix         # real Windows program files, and Mender.exe
    wine wine64                        # Mender.exe and translated programs run for real
    clang-14 libclang-rt-14-dev        # the fuzz targets (libFuzzer, ASan, UBSan)
    clang-format-14                    # the formatting check
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
echo "Installing: ${missing[*]}"
# Fresh machines come without package lists; fetch them first in that case.
if ! ls /var/lib/apt/lists/*_Packages >/dev/null 2>&1; then
    "${sudo[@]}" apt-get update
fi
if ! "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"; then
    # The lists may be stale: refresh them once and try again.
    "${sudo[@]}" apt-get update
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
