# Wine session for running Tracewick and its UI tests on a Linux build machine.
# Sourced by bash scripts, also under `set -euo pipefail`; defines tw_wine_up,
# tw_wine_down and tw_screenshot.
#
#   tw_wine_up BUILD_ROOT [--private-display]
#       Private 64-bit prefix in BUILD_ROOT/wineprefix (created once), a display
#       (ours or $DISPLAY), a persistent wineserver and the keep-alive program.
#       The screen has 96 dots per inch, or $TW_DPI (144 for 150 %).
#   tw_wine_down
#       Stops what tw_wine_up started, nothing else. Safe twice; fit for a trap.
#   tw_screenshot FILE.png
#
# What one session started is kept in TW_* shell variables and, so that a later
# session can clean up after a run that was killed, in $WINEPREFIX/.tw-session.

# Wine's background services inherit the standard streams of the first launcher;
# every Wine call here therefore runs with all three on /dev/null, or ctest and
# pipes would wait on them for ever.
_tw_quiet() { "$@" </dev/null >/dev/null 2>&1; }

_tw_log() { printf 'wine-env: %s\n' "$*" >&2; }

# True when PID is alive and its command line contains NEEDLE.
_tw_pid_is() {
    local pid=$1 needle=$2
    local cmdline
    [[ -n $pid && -r /proc/$pid/cmdline ]] || return 1
    cmdline=$(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) || return 1
    [[ $cmdline == *"$needle"* ]]
}

# The wineserver's directory for the prefix is named after the prefix
# directory's device and inode (its parent differs between Wine builds).
_tw_server_dir_name() {
    local dev ino
    dev=$(stat -c '%d' "$WINEPREFIX" 2>/dev/null) || return 1
    ino=$(stat -c '%i' "$WINEPREFIX" 2>/dev/null) || return 1
    printf 'server-%x-%x' "$dev" "$ino"
}

# Pid of a live wineserver serving our prefix, if any (it runs inside its
# server directory, so its cwd identifies the prefix).
_tw_server_pid() {
    local name proc pid comm cwd
    name=$(_tw_server_dir_name) || return 1
    # /proc rather than pgrep: procps is not on every fresh machine.
    for proc in /proc/[0-9]*; do
        { read -r comm <"$proc/comm"; } 2>/dev/null || continue
        [[ $comm == wineserver || $comm == wineserver64 ]] || continue
        pid=${proc#/proc/}
        cwd=$(readlink "$proc/cwd" 2>/dev/null) || continue
        if [[ $cwd == */"$name" ]]; then
            echo "$pid"
            return 0
        fi
    done
    return 1
}

_tw_display_answers() { DISPLAY=$1 xdpyinfo >/dev/null 2>&1; }

# Starts Xvfb on the first free display from :90 and exports DISPLAY.
_tw_start_xvfb() {
    local n pid i
    for ((n = 90; n < 190; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
        pid=$!
        for ((i = 0; i < 100; i++)); do
            if _tw_display_answers ":$n"; then
                TW_XVFB_PID=$pid
                TW_XVFB_DISPLAY=":$n"
                export DISPLAY=":$n"
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break   # lost the race for :n
            sleep 0.1
        done
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    _tw_log "could not start Xvfb"
    return 1
}

# Cleans up after an earlier session of this prefix whose owner died without
# tw_wine_down (a killed run): its server still holds the old display.
_tw_reap_stale_session() {
    local state=$WINEPREFIX/.tw-session owner="" xvfb="" xdisplay="" keepalive=""
    if [[ -f $state ]]; then
        owner=$(sed -n 's/^owner=//p' "$state")
        xvfb=$(sed -n 's/^xvfb=//p' "$state")
        xdisplay=$(sed -n 's/^display=//p' "$state")
        keepalive=$(sed -n 's/^keepalive=//p' "$state")
        if [[ -n $owner && $owner != "$$" ]] && kill -0 "$owner" 2>/dev/null; then
            return 1   # a live session owns this prefix
        fi
        if [[ -n $keepalive ]] && _tw_pid_is "$keepalive" keepalive; then
            kill "$keepalive" 2>/dev/null || true
        fi
        rm -f "$state"
    fi
    if _tw_server_pid >/dev/null; then
        _tw_log "stopping a stale wineserver of $WINEPREFIX"
        _tw_quiet wineserver -k || true
        local i
        for ((i = 0; i < 50; i++)); do
            _tw_server_pid >/dev/null || break
            sleep 0.1
        done
        local pid
        if pid=$(_tw_server_pid); then kill -9 "$pid" 2>/dev/null || true; fi
    fi
    if [[ -n $xvfb && -n $xdisplay ]] && _tw_pid_is "$xvfb" "Xvfb $xdisplay"; then
        kill "$xvfb" 2>/dev/null || true
    fi
    return 0
}

_tw_find_keepalive() {
    local root=$1 c
    for c in "${TW_KEEPALIVE_EXE:-}" "$root/tests/ui/keepalive.exe" "$root/win64/tests/ui/keepalive.exe"; do
        [[ -n $c && -f $c ]] && { echo "$c"; return 0; }
    done
    return 1
}

# The prefix's settings for unattended runs. Each is written only when missing,
# so a rerun on a ready prefix costs no Wine launch.
_tw_configure_prefix() {
    local user_reg=$WINEPREFIX/user.reg registry=""
    [[ -f $user_reg ]] && registry=$(<"$user_reg")
    if [[ $registry != *'"ShowCrashDialog"=dword:00000000'* ]]; then
        _tw_quiet wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f ||
            _tw_log "could not switch off the crash dialog"
    fi
    # With no window manager every hide or destroy waits 2 s unless unmanaged.
    if [[ $registry != *'"Managed"="N"'* ]]; then
        _tw_quiet wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f ||
            _tw_log "could not make the X11 windows unmanaged"
    fi
    # The screen's dots per inch: 96 unless TW_DPI asks for another (144 is
    # 150 %), so a session always gets what it asked for, not what the last
    # one left in the prefix. Read by programs started after it is written.
    local dpi=${TW_DPI:-96}
    if [[ ! $dpi =~ ^[1-9][0-9]{1,3}$ ]]; then
        _tw_log "TW_DPI=$dpi is not a number of dots per inch; using 96"
        dpi=96
    fi
    local desktop_dpi
    desktop_dpi=$(awk '/^\[/ { desktop = index($0, "[Control Panel\\\\Desktop]") == 1 }
                       desktop && sub(/^"LogPixels"=dword:/, "") { print }' <<<"$registry")
    if [[ $desktop_dpi != "$(printf '%08x' "$dpi")" ]]; then
        _tw_quiet wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f ||
            _tw_log "could not set the screen to $dpi dots per inch"
    fi
    # Tahoma, MS Shell Dlg and Marlett come from Wine's own TrueType fonts;
    # Courier and MS Sans Serif, which the registry maps to coure.fon and
    # sserife.fon, from its bitmap fonts. Copied when missing, so an older
    # prefix gets them too.
    local fonts=$WINEPREFIX/drive_c/windows/Fonts f
    mkdir -p "$fonts"
    for f in /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon; do
        [[ -e $f ]] || continue
        [[ -e $fonts/${f##*/} ]] || cp "$f" "$fonts/" || _tw_log "could not copy $f"
    done
}

# A default printer that needs no printer system: Wine's PostScript driver
# on port LPT1:, which Wine's spooler maps to ROOT/print-job.ps, so a print
# job becomes that file (each job replaces it) with no "Print to File"
# prompt. Programs find the file under HKCU\Software\Wine\Printing\Spooler,
# value LPT1:. Installed by fileprinter.exe once it is built; skipped when
# the prefix's registry already holds both the printer and the mapping.
_tw_install_printer() {
    local root=$1
    local spool=$root/print-job.ps exe=$root/tools/fileprinter/fileprinter.exe
    if grep -qF "\"LPT1:\"=\"$spool\"" "$WINEPREFIX/user.reg" 2>/dev/null &&
        grep -qF 'Tracewick Test Printer' "$WINEPREFIX/system.reg" 2>/dev/null; then
        return 0
    fi
    if [[ ! -f $exe ]]; then
        _tw_log "fileprinter.exe not built yet; the prefix has no printer"
        return 0
    fi
    _tw_quiet wine "$exe" "$spool" || _tw_log "could not install the test printer"
}

tw_wine_up() {
    local root="" private=0 arg
    for arg in "$@"; do
        case $arg in
            --private-display) private=1 ;;
            -*) _tw_log "unknown option $arg"; return 2 ;;
            *) root=$arg ;;
        esac
    done
    if [[ -z $root ]]; then
        _tw_log "usage: tw_wine_up BUILD_ROOT [--private-display]"
        return 2
    fi
    if [[ -n ${TW_SESSION_UP:-} ]]; then
        return 0   # already up in this shell
    fi
    mkdir -p "$root" || return 1
    root=$(cd "$root" && pwd)

    export WINEPREFIX="$root/wineprefix"
    export WINEARCH=win64
    export WINEDEBUG=-all
    # No Mono/Gecko installer prompts; a crash exits non-zero instead of
    # opening the debugger.
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"

    TW_XVFB_PID="" TW_XVFB_DISPLAY="" TW_KEEPALIVE_PID="" TW_OWN_SERVER=""
    TW_PREVIOUS_DISPLAY=${DISPLAY-__unset__}

    local shared=0
    if [[ -d $WINEPREFIX ]] && ! _tw_reap_stale_session; then
        shared=1
        _tw_log "another live session uses $WINEPREFIX; sharing its wineserver"
    fi

    if ((private)) || [[ -z ${DISPLAY:-} ]]; then
        _tw_start_xvfb || return 1
    elif ! _tw_display_answers "$DISPLAY"; then
        _tw_log "DISPLAY=$DISPLAY does not answer; using a private Xvfb"
        _tw_start_xvfb || return 1
    fi

    mkdir -p "$WINEPREFIX" || return 1
    if ((!shared)); then
        # Started before wineboot so that the prefix's services belong to it.
        if ! _tw_quiet wineserver -p; then
            _tw_log "wineserver -p failed"
            tw_wine_down
            return 1
        fi
        TW_OWN_SERVER=1
    fi
    if [[ ! -f $WINEPREFIX/.tw-ready ]]; then
        _tw_log "creating Wine prefix $WINEPREFIX"
        if ! _tw_quiet wineboot -i; then
            _tw_log "wineboot failed"
            tw_wine_down
            return 1
        fi
    fi
    _tw_quiet wine cmd /c exit || true
    _tw_configure_prefix
    _tw_install_printer "$root"
    : >"$WINEPREFIX/.tw-ready"

    local keepalive
    if keepalive=$(_tw_find_keepalive "$root"); then
        wine "$keepalive" </dev/null >/dev/null 2>&1 &
        TW_KEEPALIVE_PID=$!
    else
        _tw_log "keepalive.exe not built yet; the desktop process may restart between tests"
    fi

    if ((!shared)); then
        {
            echo "owner=$$"
            echo "xvfb=$TW_XVFB_PID"
            echo "display=$TW_XVFB_DISPLAY"
            echo "keepalive=$TW_KEEPALIVE_PID"
        } >"$WINEPREFIX/.tw-session"
    fi
    TW_SESSION_UP=1
    return 0
}

tw_wine_down() {
    if [[ -n ${TW_KEEPALIVE_PID:-} ]]; then
        kill "$TW_KEEPALIVE_PID" 2>/dev/null || true
        wait "$TW_KEEPALIVE_PID" 2>/dev/null || true
        TW_KEEPALIVE_PID=""
    fi
    if [[ -n ${TW_OWN_SERVER:-} && -n ${WINEPREFIX:-} ]]; then
        _tw_quiet wineserver -k || true
        _tw_quiet wineserver -w || true
        rm -f "$WINEPREFIX/.tw-session"
        TW_OWN_SERVER=""
    fi
    if [[ -n ${TW_XVFB_PID:-} ]]; then
        kill "$TW_XVFB_PID" 2>/dev/null || true
        wait "$TW_XVFB_PID" 2>/dev/null || true
        TW_XVFB_PID=""
        if [[ ${DISPLAY:-} == "${TW_XVFB_DISPLAY:-}" ]]; then
            # Give the caller back the display it had.
            if [[ ${TW_PREVIOUS_DISPLAY:-__unset__} == __unset__ ]]; then
                unset DISPLAY
            else
                export DISPLAY=$TW_PREVIOUS_DISPLAY
            fi
        fi
        TW_XVFB_DISPLAY=""
    fi
    TW_SESSION_UP=""
    return 0
}

tw_screenshot() {
    if [[ -z ${1:-} ]]; then
        _tw_log "usage: tw_screenshot FILE.png"
        return 2
    fi
    import -window root "$1"
}
