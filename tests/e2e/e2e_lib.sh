# Shell helpers of the end-to-end tests: waiting for the game's window and for a process to end.
# Sourced by the test scripts; `fail` is theirs.

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
