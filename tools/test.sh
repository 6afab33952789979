#!/usr/bin/env bash
# Installs what is missing, builds Sprelio and runs the whole test suite:
# the normal build, the sanitizer build, and the fuzzers for a few seconds each.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${BUILD_PACKAGES[@]}" xvfb xauth xclip clang libclang-rt-14-dev \
    libreoffice-writer libreoffice-calc libreoffice-draw libreoffice-dev

configure_and_build default
step "running tests"
ctest --preset default --parallel "$(nproc)" || die "tests failed"

if [ "${SPRELIO_SKIP_ASAN:-0}" != 1 ]; then
    configure_and_build asan
    step "running tests under AddressSanitizer and UndefinedBehaviorSanitizer"
    # The office tests load LibreOffice's own libraries, which are not built for the sanitizers.
    ctest --preset asan --parallel "$(nproc)" -LE office || die "tests failed under the sanitizers"
fi

if [ -x "$SPRELIO_ROOT/tools/fuzz.sh" ] && [ "${SPRELIO_SKIP_FUZZ:-0}" != 1 ]; then
    step "fuzzing the file readers"
    "$SPRELIO_ROOT/tools/fuzz.sh" || die "a fuzzer found a fault"
fi
step "all tests passed"
