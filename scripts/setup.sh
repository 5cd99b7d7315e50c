#!/usr/bin/env bash
# Installs what the build needs on a Debian machine (as root, with apt-get) when it is missing.
# Sourced by the other scripts; does nothing when everything is there.
set -euo pipefail

QUILLMARK_PACKAGES=(cmake ninja-build g++ python3 libgtest-dev libbenchmark-dev nlohmann-json3-dev libsimdjson-dev
                    binutils-mingw-w64-i686 libxml2-utils clang libclang-rt-14-dev libexpat1-dev libpugixml-dev zlib1g-dev libcairo2-dev pkg-config
                    openclipart-svg librsvg2-dev)

quillmark_missing_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
    done
    echo "${missing[@]}"
}

quillmark_apt_updated=0
quillmark_install() {
    local missing
    missing=$(quillmark_missing_packages "$@")
    [ -z "$missing" ] && return 0
    if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
        echo "Missing packages: $missing (install them, or run this script as root on Debian)" >&2
        return 1
    fi
    if [ "$quillmark_apt_updated" -eq 0 ]; then
        apt-get update -qq
        quillmark_apt_updated=1
    fi
    echo "Installing: $missing"
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
}

quillmark_install "${QUILLMARK_PACKAGES[@]}"

# A locale that writes numbers with a decimal comma, so the tests can show that the export's
# numbers do not follow the process's locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$' && [ "$(id -u)" -eq 0 ]; then
    quillmark_install locales && localedef -i de_DE -f UTF-8 de_DE.UTF-8 ||
        echo "Could not make the de_DE.UTF-8 locale; the locale test will be skipped" >&2
fi

# The 32-bit Windows build and its tests: the mingw-w64 cross compiler, which the build needs,
# and Wine, whose 32-bit half comes from Debian's i386 architecture, which only the tests that
# run the Windows programs need. Answers non-zero, having said why, when the cross compiler is
# missing and cannot be installed (not root, not Debian, or apt-get fails); Wine that cannot be
# installed (Debian's i386 lists out of step with the machine's own, say) is said and left out,
# and the build and the module's file checks still run.
QUILLMARK_WINDOWS_BUILD_PACKAGES=(g++-mingw-w64-i686-win32 binutils-mingw-w64-i686)
QUILLMARK_WINE_PACKAGES=(wine wine64 wine32:i386)

quillmark_install_windows_tools() {
    local all=("${QUILLMARK_WINDOWS_BUILD_PACKAGES[@]}" "${QUILLMARK_WINE_PACKAGES[@]}")
    [ -z "$(quillmark_missing_packages "${all[@]}")" ] && return 0
    if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null || ! command -v dpkg >/dev/null; then
        echo "Missing packages for the Windows build: $(quillmark_missing_packages "${all[@]}")" \
             "(install them, or run this script as root on Debian)" >&2
        [ -z "$(quillmark_missing_packages "${QUILLMARK_WINDOWS_BUILD_PACKAGES[@]}")" ]
        return
    fi
    quillmark_install "${QUILLMARK_WINDOWS_BUILD_PACKAGES[@]}" || return 1
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        echo "Adding the i386 architecture for Wine's 32-bit half"
        dpkg --add-architecture i386 || return 0
        quillmark_apt_updated=0  # the package lists must be read again for i386
    fi
    quillmark_install "${QUILLMARK_WINE_PACKAGES[@]}" ||
        echo "Wine could not be installed: the Windows module is built and its files checked, its programs not run" >&2
    return 0
}
