#!/usr/bin/env bash
# Installs what is missing, builds Sprelio and runs the whole test suite:
# the normal build and its lint, the sanitizer build, and the fuzzers for a few seconds each.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${BUILD_PACKAGES[@]}" xvfb xauth xclip clang libclang-rt-14-dev clang-format clang-tidy \
    desktop-file-utils appstream dpkg-dev fakeroot file openbox wmctrl xdotool x11-utils \
    g++-mingw-w64-x86-64-posix wine wine64 \
    libreoffice-writer libreoffice-calc libreoffice-draw libreoffice-impress libreoffice-dev poppler-utils \
    praat texlive-latex-base tipa texlive-xetex fonts-sil-charis teckit \
    xterm chromium zenity x11-xkb-utils \
    qt6-wayland sway weston wl-clipboard xwayland grim python3

configure_and_build default
# After the build: clang-tidy reads its compile commands and the headers generated there.
step "checking formatting and running clang-tidy"
"$SPRELIO_ROOT/tools/lint.sh" "$SPRELIO_ROOT/build" || die "lint found faults"
step "running tests"
ctest --preset default --parallel "$(nproc)" || die "tests failed"

# The Windows build, cross-compiled and run under Wine against a fake Automation server.
if [ "${SPRELIO_SKIP_WINE:-0}" != 1 ]; then
    step "cross-building for Windows"
    cmake -S "$SPRELIO_ROOT" -B "$SPRELIO_ROOT/build-mingw" -G Ninja -DSPRELIO_WERROR=ON \
        -DCMAKE_TOOLCHAIN_FILE="$SPRELIO_ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null \
        || die "cmake configure failed (mingw)"
    cmake --build "$SPRELIO_ROOT/build-mingw" --parallel "$(nproc)" || die "build failed (mingw)"
    step "running the Windows build under Wine"
    ctest --test-dir "$SPRELIO_ROOT/build-mingw" -L wine --output-on-failure || die "Wine tests failed"
fi

if [ "${SPRELIO_SKIP_ASAN:-0}" != 1 ]; then
    configure_and_build asan
    step "running tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    # The package test needs a tree of its own; the office tests load LibreOffice's own libraries,
    # which are not built for the sanitizers; the window-manager test times a real window manager
    # against the program, which the sanitizers slow several times over; so do the Wayland tests
    # with their compositors.
    ctest --preset asan --parallel "$(nproc)" -LE 'package|office|windowmanager|wayland' || die "tests failed under the sanitizers"
fi

if [ -x "$SPRELIO_ROOT/tools/fuzz.sh" ] && [ "${SPRELIO_SKIP_FUZZ:-0}" != 1 ]; then
    step "fuzzing the file readers"
    "$SPRELIO_ROOT/tools/fuzz.sh" || die "a fuzzer found a fault"
fi
step "all tests passed"
