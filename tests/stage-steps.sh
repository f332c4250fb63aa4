# `step NAME COMMAND...`: runs one step, counts a failure in `failed`, goes on.
failed=0

step() {
  local name=$1
  shift
  echo "--- $name"
  if ! "$@"; then
    echo "--- $name FAILED"
    failed=$((failed + 1))
  fi
}
