# Sourced by the set-up scripts: install_missing NAME PACKAGE... installs
# the Debian packages that are not installed yet, as root with apt-get;
# otherwise it prints the command to run with sudo and exits. NAME starts
# its messages.
install_missing() {
  local name=$1 package status
  shift
  local missing=()
  for package in "$@"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  if [[ $(id -u) -eq 0 ]]; then
    echo "$name: installing ${missing[*]}"
    # Another apt or dpkg run may hold the lock; wait for it instead of failing.
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 update -qq
    DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
      --no-install-recommends "${missing[@]}" >/dev/null
  else
    echo "$name: missing Debian packages; run:" >&2
    echo "  sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
}
