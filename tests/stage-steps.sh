# Sourced by the stage scripts in tests/stages: `step NAME COMMAND...` runs one
# step of a stage, keeps going after a failure and counts it in `failed`.
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
