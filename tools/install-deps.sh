#!/usr/bin/env bash
# Installs what building and testing Virel needs on Debian 12, and nothing when it is all there.
set -euo pipefail

need=()
have() { command -v "$1" >/dev/null 2>&1; }
pkg_installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

have cmake || need+=(cmake)
have g++ || need+=(g++)
have make || need+=(make)
have x86_64-w64-mingw32-g++-win32 || need+=(mingw-w64)
have i686-w64-mingw32-g++-win32 || need+=(mingw-w64)
have x86_64-w64-mingw32-windres || need+=(binutils-mingw-w64-x86-64)
have wine || need+=(wine)
pkg_installed wine64 || need+=(wine64)  # its loader is not on PATH on Debian
have Xvfb || need+=(xvfb)
have xdotool || need+=(xdotool)
have python3 || need+=(python3)
have xwd || need+=(x11-apps)
have convert || need+=(imagemagick)
pkg_installed libgtest-dev || need+=(libgtest-dev)
pkg_installed googletest || need+=(googletest)
pkg_installed fonts-taml-tscu || need+=(fonts-taml-tscu)
pkg_installed fonts-lohit-taml || need+=(fonts-lohit-taml)
# Draws the tray's artwork (tray/art/make_art.py): Pillow, with raqm to shape Tamil.
pkg_installed python3-pil || need+=(python3-pil)
pkg_installed libraqm0 || need+=(libraqm0)
pkg_installed fonts-dejavu-core || need+=(fonts-dejavu-core)  # the Latin A of the English icon
pkg_installed wine32:i386 || need+=(wine32:i386)
# `make dist`: the installer (NSIS), the manuals (Markdown, WeasyPrint), their checks (poppler).
have makensis || need+=(nsis)
have weasyprint || need+=(weasyprint)
pkg_installed python3-markdown || need+=(python3-markdown)
pkg_installed python3-fonttools || need+=(python3-fonttools)  # names the shipped TSCII font
have pdftotext || need+=(poppler-utils)
# make fuzz and the short run in make test: clang with libFuzzer and its sanitizer runtimes.
have clang++-14 || need+=(clang-14)
pkg_installed libclang-rt-14-dev || need+=(libclang-rt-14-dev)
pkg_installed libfuzzer-14-dev || need+=(libfuzzer-14-dev)
# make bench counts the engine's instructions with callgrind.
have valgrind || need+=(valgrind)
# The converter's tests and measures read the Tamil dictionary (aspell -l ta dump master).
have aspell || need+=(aspell)
pkg_installed aspell-ta || need+=(aspell-ta)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
echo "install-deps: installing ${need[*]}"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
