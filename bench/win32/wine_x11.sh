#!/usr/bin/env bash
# Wine for the start-up probe: a prefix whose windows are real top-level X windows on the
# probe's Xvfb, and the environment every run there shares. Sourced by scripts/bench-windows
# and the probe's Wine test; run as `wine_x11.sh prepare PREFIX` it only makes the prefix.
#
# The cross build's own prefix (cmake/wine-run.sh) uses the null graphics driver, which puts
# nothing on any display: the probe would wait in vain. Windows must also stay managed: Wine
# makes unmanaged ones override-redirect, and the probe rightly ignores those (menus, tips).

# wine_x11_env PREFIX: exports what every Wine process of a run needs. No Mono or Gecko
# prompts, no debugger waiting on a crash, and no menu builder writing desktop entries into
# the host's home on each start.
wine_x11_env() {
    export WINEPREFIX="$1" WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
    # The probe gives each program its own display; nothing may fall back to another.
    unset DISPLAY WAYLAND_DISPLAY
}

# wine_x11_prepare PREFIX: makes the prefix once; concurrent callers wait for the first.
# Wine's processes inherit the output, so it goes to a log, never to the caller's pipe.
wine_x11_prepare() {
    local prefix=$1
    [ -e "$prefix/.kestrand-x11-ready" ] && return 0
    mkdir -p "$(dirname "$prefix")"
    (
        flock 9
        [ -e "$prefix/.kestrand-x11-ready" ] && exit 0
        rm -rf "$prefix"
        wine_x11_env "$prefix"
        {
            wineboot -i && wineserver -w &&
                wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f &&
                wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d Y /f &&
                wineserver -w
        } </dev/null >"$prefix.log" 2>&1 || {
            cat "$prefix.log" >&2
            exit 1
        }
        touch "$prefix/.kestrand-x11-ready"
    ) 9>"$prefix.lock"
}

# wine_x11_leftovers PREFIX: the pids of live processes started for that prefix, so a caller
# can show that stopping Wine left nothing behind (zombies awaiting their reaper are not live).
wine_x11_leftovers() {
    local want="WINEPREFIX=$1" dir pid state
    for dir in /proc/[0-9]*; do
        pid=${dir#/proc/}
        # The state follows the command name, which may itself hold spaces or parentheses.
        state=$(sed 's/.*) //' "$dir/stat" 2>/dev/null | cut -d' ' -f1) || continue
        [ -n "$state" ] && [ "$state" != Z ] || continue
        if { tr '\0' '\n' <"$dir/environ"; } 2>/dev/null | grep -qxF -- "$want"; then
            echo "$pid"
        fi
    done
}

# wine_x11_left_behind PREFIX: those of them still there after up to 10 s, so that a process
# on its way out when asked is not counted as one left behind.
wine_x11_left_behind() {
    local left
    for _ in $(seq 100); do
        left=$(wine_x11_leftovers "$1")
        [[ -z $left ]] && return 0
        sleep 0.1
    done
    echo "$left"
}

if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    set -euo pipefail
    if [[ $# -ne 2 || $1 != prepare ]]; then
        echo "usage: wine_x11.sh prepare PREFIX" >&2
        exit 2
    fi
    wine_x11_prepare "$2"
fi
