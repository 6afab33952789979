# Shared by the run and test scripts: installing what a fresh Debian 12 machine lacks.
# Source it; it does nothing by itself.

set -euo pipefail

SPRELIO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

die() {
    echo "error: $*" >&2
    exit 1
}

# Each step says how long the script has run, so that a slow step shows in the log.
step() {
    echo "==> [${SECONDS} s] $*"
}

# install_packages PKG... : installs the Debian packages that are not installed yet.
install_packages() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    step "installing ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || die "need root or sudo to install: ${missing[*]}"
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq || die "apt-get update failed"
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        || die "could not install ${missing[*]}"
}

BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins
                qt6-svg-dev libgl-dev fontconfig qt6-translations-l10n libicu-dev libx11-dev libxtst-dev)

# configure_and_build PRESET : configures and builds one CMake preset.
configure_and_build() {
    local preset="$1"
    step "configuring ($preset)"
    cmake --preset "$preset" -S "$SPRELIO_ROOT" >/dev/null || die "cmake configure failed ($preset)"
    step "building ($preset)"
    cmake --build --preset "$preset" --parallel "$(nproc)" || die "build failed ($preset)"
}
