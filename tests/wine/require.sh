# vx_require COMMAND...: a test fails at once naming a command it needs that
# is missing, instead of failing later with a misleading result.
# tools/setup.sh installs every command (tools/check-tools.sh keeps the two
# lists in step). Sourced by harness.sh and make_prefix.sh.
vx_require() {
  local c
  for c in "$@"; do
    if ! command -v "$c" >/dev/null 2>&1; then
      echo "[$(basename "$0" .sh)] FAIL: missing tool: $c (tools/setup.sh installs it)" >&2
      exit 1
    fi
  done
}
