# Sourced by run-demo, run-tests and bench/startup.sh: installs the Debian
# packages that a job needs. `deps_install demo tests` reads packages-demo.txt
# and packages-tests.txt beside this file (one package a line, # comments),
# asks dpkg once which of them are missing and installs only those, as root,
# through sudo, or not at all: then it prints the apt-get line to run and fails.

deps_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The packages of the named lists, each once.
deps_packages() {
  local list files=()
  for list in "$@"; do files+=("$deps_dir/packages-$list.txt"); done
  sed 's/#.*//' "${files[@]}" | awk 'NF && !seen[$1]++ { print $1 }'
}

# The given packages that are not fully installed (absent, removed, unpacked
# but not configured, ...), from one dpkg-query for all of them. dpkg-query
# fails for names it has never seen, so its output decides, not its status.
deps_missing() {
  { dpkg-query -W -f='${Package} ${Status}\n' "$@" 2>/dev/null || true; } |
    awk -v want="$*" '$3 == "ok" && $4 == "installed" { have[$1] = 1 }
      END { n = split(want, w, " "); for (i = 1; i <= n; i++) if (!(w[i] in have)) print w[i] }'
}

# Runs a command as root: directly, or through sudo. Fails when neither can.
deps_as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo "$@"
  else
    return 126
  fi
}

deps_apt() {
  deps_as_root env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600 "$@"
}

deps_install() {
  local missing
  missing=$(deps_missing $(deps_packages "$@") | tr '\n' ' ')
  missing=${missing% }
  [ -n "$missing" ] || return 0
  local line="apt-get install -y --no-install-recommends $missing"
  compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null || line="apt-get update && $line"
  if [ "$(id -u)" -ne 0 ] && ! command -v sudo >/dev/null; then
    echo "setup: missing Debian packages; as root, run:" >&2
    echo "  $line" >&2
    return 1
  fi
  echo "setup: installing $(wc -w <<<"$missing") Debian packages from$(printf ' packages-%s.txt' "$@"): $missing"
  local started=$SECONDS
  echo "setup: once per machine; a few minutes on a new one (downloads and unpacks them)"
  # A run that was interrupted may have left packages unpacked but not set up.
  deps_as_root dpkg --configure -a || return 1
  if ! compgen -G '/var/lib/apt/lists/*_Packages*' >/dev/null; then
    deps_apt update || return 1
  fi
  # A package not found, or gone from the mirror, usually means stale lists.
  if ! deps_apt install -y --no-install-recommends $missing; then
    echo "setup: apt-get install failed; updating the package lists and trying again"
    deps_apt update && deps_apt install -y --no-install-recommends --fix-broken $missing ||
      { echo "setup: could not install the packages; as root, run: $line" >&2; return 1; }
  fi
  echo "setup: packages installed in $((SECONDS - started)) s"
}
