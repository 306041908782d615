# Shell helpers of the end-to-end tests: starting under Xvfb, a runtime folder of their own,
# waiting for the game's window and for a process to end. Sourced by the test scripts; `fail`
# is theirs.

# Runs the calling script again inside a new Xvfb of the given size (WxH), with "--inner"
# before its arguments, on SDL's X11 driver.
under_xvfb() {  # WxH ARGS...
  local screen=$1; shift
  export SDL_VIDEODRIVER=x11
  # Without it llvmpipe under Xvfb runs several times slower.
  export GLIBC_TUNABLES=glibc.malloc.trim_threshold=268435456
  exec xvfb-run -a -s "-screen 0 ${screen}x24" bash "$0" --inner "$@"
}

# A runtime folder of our own in the current folder: the single-instance lock of a tr2 that
# runs elsewhere for this user must not count here.
own_runtime_dir() {
  export XDG_RUNTIME_DIR="$PWD/runtime"
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}

wait_window() {  # prints the id of the first window whose name matches
  local id=""
  for _ in $(seq 1 150); do
    id=$(xdotool search --name "Tavrel 2" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}

wait_exit() {  # waits up to 20 s for a child process; its exit code goes into $code
  local pid=$1
  for _ in $(seq 1 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.2
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill -KILL "$pid"
    code=timeout
    return 0
  fi
  code=0
  wait "$pid" || code=$?
}
