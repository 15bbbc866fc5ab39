# Wine prefix and X display for running Velmo and its Win32 tests headless.
# Source it (". scripts/wine-env.sh"), then call:
#   velmo_display      use $DISPLAY when VELMO_USE_DISPLAY is set and it answers,
#                      otherwise start a private Xvfb (1024x768x24) and export DISPLAY
#   velmo_wine_prefix  export the Wine environment, create the prefix on first use,
#                      start a wineserver for this session and check the code page
#   velmo_cleanup      stop what the two calls above started (use it as an EXIT trap)
#   velmo_display_works DISPLAY   true when that X server answers
# Call velmo_display first, so that every Wine process of the session sees the display.
#
# Settings read from the environment:
#   VELMO_WINEPREFIX   the prefix folder (default: build/wineprefix in the repository)
#   VELMO_USE_DISPLAY  non-empty: run on the existing $DISPLAY instead of a private Xvfb
#   VELMO_XVFB_SCREEN  geometry and depth of the private Xvfb (default 1024x768x24)
#   VELMO_WINEDEBUG    WINEDEBUG for the session (default -all)
#
# One session owns a prefix at a time: a second one waits until the first has ended,
# because both would share one wineserver and one virtual desktop.
# The functions print nothing when all goes well and return non-zero on failure.

VELMO_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Raise this when the prefix set-up below changes, so that existing prefixes get it too.
_VELMO_PREFIX_VERSION=1

_velmo_say() { printf 'wine-env: %s\n' "$*" >&2; }

# True when the process exists and is not a zombie (PID 1 here may not reap orphans).
_velmo_alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    case $state in Z*|'') return 1 ;; esac
}

# True when a wineserver serves $WINEPREFIX: the server keeps the prefix folder open.
_velmo_wineserver_running() {
    local pid fd
    [ -d "$WINEPREFIX" ] || return 1
    for pid in $(pgrep -x 'wineserver(64)?' 2>/dev/null); do
        for fd in /proc/"$pid"/fd/*; do
            [ "$fd" -ef "$WINEPREFIX" ] && return 0
        done
    done
    return 1
}

# Prints the data of one registry value (empty when it is missing). Output goes through a
# file, never a pipe: the first Wine process of a session starts services that keep their
# standard handles open for as long as the wineserver lives.
_velmo_reg_get() {
    local out="$WINEPREFIX/.velmo-query"
    wine reg query "$1" /v "$2" </dev/null >"$out" 2>/dev/null || true
    awk -v name="$2" '{ sub(/\r$/, "") } $1 == name { print $3 }' "$out"
    rm -f "$out"
}

_velmo_reg_set() {
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f </dev/null >>"$WINEPREFIX/.velmo-init.log" 2>&1
}

# Marks this shell as the owner of $WINEPREFIX; waits while another live session owns it.
_velmo_claim_prefix() {
    local owner_file="$WINEPREFIX/.velmo-owner" owner waited=0 limit=${VELMO_PREFIX_WAIT:-900}
    while :; do
        # The lock only guards reading and writing the owner file; no process that
        # outlives this subshell inherits it.
        owner=$(
            exec 9>"$WINEPREFIX/.velmo-lock" && flock 9 || exit 1
            current=$(cat "$owner_file" 2>/dev/null || true)
            if [ -n "$current" ] && [ "$current" != "$$" ] && _velmo_alive "$current"; then
                echo "$current"
            else
                echo "$$" >"$owner_file"
            fi
        ) || return 1
        [ -z "$owner" ] && break
        if ((waited == 0)); then
            _velmo_say "$WINEPREFIX is in use by process $owner; waiting for it to end" \
                "(set VELMO_WINEPREFIX to use another prefix)"
        fi
        if ((waited >= limit)); then
            _velmo_say "gave up waiting for process $owner after ${limit} s"
            return 1
        fi
        sleep 1
        waited=$((waited + 1))
    done
    _VELMO_CLAIMED="$WINEPREFIX"
}

_velmo_release_prefix() {
    local owner_file="$_VELMO_CLAIMED/.velmo-owner"
    (
        flock 9
        [ "$(cat "$owner_file" 2>/dev/null || true)" = "$$" ] && rm -f "$owner_file"
    ) 9>"$_VELMO_CLAIMED/.velmo-lock" 2>/dev/null || true
    _VELMO_CLAIMED=
}

# First use: wineboot, then the settings every run relies on. The caller verifies them
# once a fresh wineserver has read them back from disk, and only then writes the stamp.
_velmo_init_prefix() {
    local log="$WINEPREFIX/.velmo-init.log"
    : >"$log"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        if ! { wineboot -i && wineserver -w; } </dev/null >>"$log" 2>&1; then
            _velmo_say "wineboot failed in $WINEPREFIX; its output:"
            cat "$log" >&2
            return 1
        fi
    fi
    # All windows of the session open inside one 1024x768 virtual desktop, and a crashing
    # program prints its backtrace to stdout instead of waiting in a dialog.
    if ! _velmo_reg_set 'HKCU\Software\Wine\Explorer' Desktop REG_SZ Default ||
        ! _velmo_reg_set 'HKCU\Software\Wine\Explorer\Desktops' Default REG_SZ 1024x768 ||
        ! _velmo_reg_set 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0; then
        _velmo_say "could not write the registry of $WINEPREFIX; the output:"
        cat "$log" >&2
        return 1
    fi
    # Stopping the server writes the registry to disk.
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
}

_velmo_verify_prefix() {
    local desktop size crash
    desktop=$(_velmo_reg_get 'HKCU\Software\Wine\Explorer' Desktop)
    size=$(_velmo_reg_get 'HKCU\Software\Wine\Explorer\Desktops' Default)
    crash=$(_velmo_reg_get 'HKCU\Software\Wine\WineDbg' ShowCrashDialog)
    if [ "$desktop" != Default ] || [ "$size" != 1024x768 ] || [ "$crash" != 0x0 ]; then
        _velmo_say "the settings did not stick in $WINEPREFIX" \
            "(Desktop='$desktop', Desktops\\Default='$size', ShowCrashDialog='$crash')"
        return 1
    fi
}

velmo_wine_prefix() {
    local prefix=${VELMO_WINEPREFIX:-$VELMO_REPO/build/wineprefix} acp
    case $prefix in /*) ;; *) prefix=$PWD/$prefix ;; esac
    export WINEPREFIX=$prefix
    export WINEARCH=win64
    export WINEDEBUG=${VELMO_WINEDEBUG:--all}
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
    unset LANGUAGE
    # No Mono or Gecko install prompts, and no menu entries or file associations on the host.
    export WINEDLLOVERRIDES='mscoree,mshtml=;winemenubuilder.exe=d'

    # Called again in the same session: everything is in place.
    [ "${_VELMO_CLAIMED:-}" = "$WINEPREFIX" ] && [ -n "${_VELMO_WINESERVER:-}" ] && return 0

    mkdir -p "$WINEPREFIX" || return 1
    _velmo_claim_prefix || return 1

    # A wineserver that no live session owns is left from a run that was killed;
    # its programs and desktop would mix with ours.
    if _velmo_wineserver_running; then
        _velmo_say "stopping a leftover wineserver of $WINEPREFIX"
        wineserver -k >/dev/null 2>&1 || true
        wineserver -w >/dev/null 2>&1 || true
    fi

    local fresh=
    if [ "$(cat "$WINEPREFIX/.velmo-ready" 2>/dev/null || true)" != "$_VELMO_PREFIX_VERSION" ]; then
        _velmo_init_prefix || return 1
        fresh=1
    fi

    # Wine draws the caption buttons with the Marlett font. Debian ships it in fonts-wine, but this Wine does not
    # find it there; without a copy in the prefix's font folder every close box shows the letter "r".
    local marlett=/usr/share/wine/fonts/marlett.ttf fonts=$WINEPREFIX/drive_c/windows/Fonts
    if [ -f "$marlett" ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
        cp "$marlett" "$fonts/" || _velmo_say "could not copy Marlett into $fonts"
    fi

    # One persistent wineserver for the whole session: programs start in a fraction of a
    # second, and the services it runs were started here, away from the output pipes of
    # CTest, which would otherwise wait for them to close.
    wineserver -p </dev/null >/dev/null 2>&1 || {
        _velmo_say "could not start wineserver for $WINEPREFIX"
        return 1
    }
    _VELMO_WINESERVER=$WINEPREFIX

    # The system code page follows the locale of each Wine process; Wine records it here.
    acp=$(_velmo_reg_get 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' ACP)
    if [ "$acp" != 932 ]; then
        _velmo_say "the Windows code page is '$acp', not 932; is the ja_JP.UTF-8 locale" \
            "generated (scripts/deps.sh does it)?"
        return 1
    fi

    if [ -n "$fresh" ]; then
        _velmo_verify_prefix || return 1
        echo "$_VELMO_PREFIX_VERSION" >"$WINEPREFIX/.velmo-ready"
    fi
    export VELMO_WINE_READY=$WINEPREFIX
}

velmo_display_works() {
    [ -n "$1" ] && xdpyinfo -display "$1" >/dev/null 2>&1
}

velmo_display() {
    if [ -n "${VELMO_USE_DISPLAY:-}" ] && velmo_display_works "${DISPLAY:-}"; then
        export VELMO_DISPLAY_READY=$DISPLAY
        return 0
    fi
    if [ -n "${_VELMO_XVFB_PID:-}" ] && _velmo_alive "$_VELMO_XVFB_PID"; then
        return 0
    fi

    local screen=${VELMO_XVFB_SCREEN:-1024x768x24} n pid i up
    _VELMO_XVFB_LOG=$(mktemp "${TMPDIR:-/tmp}/velmo-xvfb.XXXXXX") || return 1
    for ((n = 90; n <= 199; n++)); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "$screen" -nolisten tcp -noreset </dev/null >"$_VELMO_XVFB_LOG" 2>&1 &
        pid=$!
        up=
        for ((i = 0; i < 100; i++)); do
            _velmo_alive "$pid" || break
            # The lock file names our server, so xdpyinfo did not reach one that
            # another program started on the same number a moment earlier.
            if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X$n-lock" || true)" = "$pid" ] &&
                velmo_display_works ":$n"; then
                up=1
                break
            fi
            sleep 0.1
        done
        if [ -n "$up" ]; then
            _VELMO_XVFB_PID=$pid
            export DISPLAY=":$n" VELMO_DISPLAY_READY=":$n"
            return 0
        fi
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    _velmo_say "could not start Xvfb on any display from :90 to :199; its last output:"
    cat "$_VELMO_XVFB_LOG" >&2
    rm -f "$_VELMO_XVFB_LOG"
    return 1
}

velmo_cleanup() {
    local i
    if [ -n "${_VELMO_WINESERVER:-}" ]; then
        WINEPREFIX=$_VELMO_WINESERVER wineserver -k >/dev/null 2>&1 || true
        for ((i = 0; i < 50; i++)); do
            WINEPREFIX=$_VELMO_WINESERVER _velmo_wineserver_running || break
            sleep 0.1
        done
        _VELMO_WINESERVER=
        unset VELMO_WINE_READY
    fi
    if [ -n "${_VELMO_CLAIMED:-}" ]; then
        _velmo_release_prefix
    fi
    if [ -n "${_VELMO_XVFB_PID:-}" ]; then
        kill "$_VELMO_XVFB_PID" 2>/dev/null || true
        wait "$_VELMO_XVFB_PID" 2>/dev/null || true
        rm -f "$_VELMO_XVFB_LOG"
        _VELMO_XVFB_PID=
        unset VELMO_DISPLAY_READY
    fi
}
