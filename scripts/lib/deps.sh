# Installs what the build and the tests need, once, on a Debian 12 machine.
# Sourced by scripts/test, scripts/run and scripts/package; runs apt-get only
# when something is missing, and `apt-get update` at most once per call.

TW_PACKAGES=(g++ cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 libwine
             fonts-wine fonts-liberation xvfb x11-utils imagemagick googletest zip unzip)

tw_install_deps() {
    local missing=() pkg
    for pkg in "${TW_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'ok installed' || missing+=("$pkg")
    done
    [[ ${#missing[@]} -eq 0 ]] && return 0
    echo "Installing: ${missing[*]}" >&2
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq >&2
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >&2
}

# Configures (once) and builds one tree.
#   tw_build NAME [TOOLCHAIN] [TARGET...]
tw_build() {
    local name=$1 toolchain=${2:-} dir="$TW_ROOT/build/$1"
    shift 2 || shift $#
    if [[ ! -f $dir/build.ninja ]]; then
        local args=(-S "$TW_ROOT" -B "$dir" -G Ninja)
        [[ -n $toolchain ]] && args+=(-DCMAKE_TOOLCHAIN_FILE="$TW_ROOT/cmake/$toolchain")
        cmake "${args[@]}" >/dev/null
    fi
    local targets=()
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$dir" "${targets[@]}"
}
