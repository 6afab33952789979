#!/usr/bin/env bash
# Installs what is missing, builds Sprelio and runs the whole test suite:
# the normal build, the sanitizer build, and the fuzzers for a few seconds each.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${BUILD_PACKAGES[@]}" xvfb xauth xclip clang libclang-rt-14-dev \
    desktop-file-utils appstream dpkg-dev fakeroot file openbox wmctrl xdotool x11-utils

configure_and_build default
step "running tests"
ctest --preset default --parallel "$(nproc)" || die "tests failed"

if [ "${SPRELIO_SKIP_ASAN:-0}" != 1 ]; then
    configure_and_build asan
    step "running tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    ctest --preset asan --parallel "$(nproc)" --label-exclude package || die "tests failed under the sanitizers"
fi

if [ -x "$SPRELIO_ROOT/tools/fuzz.sh" ] && [ "${SPRELIO_SKIP_FUZZ:-0}" != 1 ]; then
    step "fuzzing the file readers"
    "$SPRELIO_ROOT/tools/fuzz.sh" || die "a fuzzer found a fault"
fi
step "all tests passed"
