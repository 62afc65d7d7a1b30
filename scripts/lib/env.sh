# Shared by the scripts: paths, a private runtime dir for Qt, and pcscd with the virtual reader.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
# The compiler cache keys on paths relative to the checkout, so that a fresh clone elsewhere (as
# CI makes) reuses what any other checkout on this machine compiled.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/selvor-runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

pcscd_socket=/run/pcscd/pcscd.comm
started_pcscd=""

pcscd_running() {
    [ -S "$pcscd_socket" ] && pgrep -x pcscd >/dev/null
}

# Starts pcscd (it loads the vpcd virtual reader from /etc/reader.conf.d) unless one runs already.
start_pcscd() {
    if pcscd_running; then
        return 0
    fi
    rm -f "$pcscd_socket"
    # pcscd outlives nothing of ours, but it must not inherit our descriptors (a lock held
    # through flock, a pipe a caller waits on).
    (
        for fd in /proc/$BASHPID/fd/*; do
            n=${fd##*/}
            [ "$n" -gt 2 ] && eval "exec $n>&-"
        done
        exec /usr/sbin/pcscd --foreground
    ) >"${TMPDIR:-/tmp}/selvor-pcscd.log" 2>&1 &
    started_pcscd=$!
    for _ in $(seq 100); do
        [ -S "$pcscd_socket" ] && return 0
        sleep 0.1
    done
    echo "pcscd did not start; see ${TMPDIR:-/tmp}/selvor-pcscd.log" >&2
    return 1
}

stop_pcscd() {
    if [ -n "$started_pcscd" ]; then
        kill "$started_pcscd" 2>/dev/null || true
        wait "$started_pcscd" 2>/dev/null || true
        started_pcscd=""
    fi
}

build_default() {
    cmake --preset default >/dev/null
    cmake --build --preset default
}
