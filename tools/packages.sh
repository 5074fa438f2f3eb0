# Sourced by tools/setup.sh and tools/fuzz.sh: which Debian packages are
# missing, and their install.
#   sudo                    "sudo", or nothing when running as root
#   missing_packages P...   prints those of P not installed, each after a blank
#   install_packages P...   installs P without questions or recommended extras
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing_packages() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || printf ' %s' "$p"
  done
}

install_packages() {
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$@"
}
