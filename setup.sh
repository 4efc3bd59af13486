#!/usr/bin/env bash
# Installs what the project needs (Debian packages), builds it, then runs
# the designer ("run") or every test ("test"). The tests run twice: in the
# normal build, then in a second build under AddressSanitizer and
# UndefinedBehaviorSanitizer, so that a dangling reference or undefined
# arithmetic fails even where the program happens to survive it. Then
# fuzz/run.sh builds the fuzz targets with clang and runs each for a fixed
# number of generated inputs. The smoke test of the real program runs in an
# X server of its own (Xvfb) in both builds. "package" builds the Debian
# package (vellcreator_<version>_<arch>.deb in the build folder); the tests
# make one of their own and check it.
set -euo pipefail
cd "$(dirname "$0")"

packages=(cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
  clang-14 clang-format-14 libclang-rt-14-dev xvfb xdotool xclip dpkg-dev shared-mime-info
  desktop-file-utils)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build_dir" -j "$(nproc)"

case "${1:-run}" in
  run)
    exec "$build_dir/vellcreator"
    ;;
  test)
    (cd "$build_dir" &&
      QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300)
    sanitized_dir=${SANITIZED_BUILD_DIR:-build-sanitized}
    sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    cmake -S . -B "$sanitized_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_FLAGS="$sanitizers" -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" \
      -DVELL_SKIP_DIRS="package;bench"
    cmake --build "$sanitized_dir" -j "$(nproc)"
    (cd "$sanitized_dir" &&
      ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 600)
    fuzz/run.sh
    ;;
  package)
    (cd "$build_dir" && cpack)
    ;;
  build) ;;
  *)
    echo "usage: $0 [run|test|build|package]" >&2
    exit 2
    ;;
esac
