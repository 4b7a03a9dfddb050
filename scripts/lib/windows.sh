# Sourced by the scripts that start kiv's Windows builds under Wine.

# The Windows builds, each in build/<name>/, the main product first.
WINDOWS_BUILDS=(win32 win64)

# Each build names its own Wine loader: Debian's `wine` wrapper picks the
# 32-bit loader whenever wine32 is installed, even on a kernel that cannot
# run it. wineboot goes through the same loader; wineserver needs no choice.
wine_loader() {
  case $1 in
    win32) echo /usr/lib/wine/wine ;;
    win64) echo /usr/lib/wine/wine64 ;;
    *) echo "unknown Windows build '$1' (known: ${WINDOWS_BUILDS[*]})" >&2; return 1 ;;
  esac
}

build_title() {
  case $1 in
    win32) echo "32-bit (x86)" ;;
    win64) echo "64-bit (x64)" ;;
    *) echo "$1" ;;
  esac
}

# Starts the loader once from bash itself: where the kernel cannot run it,
# this fails with status 126 and "cannot execute binary file: Exec format
# error". Started through env or timeout (execvp) it would instead be handed
# to /bin/sh as a script and fail obscurely.
check_loader() {
  "$1" --version >/dev/null
}

# Wine draws the caption buttons of the document windows with the Marlett
# font. Debian's fonts-wine puts it in /usr/share/wine/fonts, where this Wine
# never looks; a copy in the prefix's Fonts folder is found.
install_wine_fonts() {
  local fonts="$1/drive_c/windows/Fonts"
  [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] || return 0
  cp -n /usr/share/wine/fonts/marlett.ttf "$fonts/" 2>/dev/null || true
}
