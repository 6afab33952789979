#!/usr/bin/env bash
# Installs what is missing, builds Sprelio and starts it.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_packages "${BUILD_PACKAGES[@]}"
configure_and_build default
if [ -x "$SPRELIO_ROOT/tools/install_fonts.sh" ]; then
    "$SPRELIO_ROOT/tools/install_fonts.sh" || echo "warning: the phonetic fonts were not installed for other programs" >&2
fi
step "starting Sprelio"
exec "$SPRELIO_ROOT/build/src/sprelio" "$@"
