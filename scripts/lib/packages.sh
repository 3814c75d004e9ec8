# Sourced by the scripts that need Debian packages.
#   install_missing [--no-install-recommends] PACKAGE...
# installs with apt-get those of the packages that are not installed yet (through sudo when not
# root); does nothing when all are there.
install_missing() {
  local options=() missing=() sudo_cmd=() p
  if [ "${1:-}" = --no-install-recommends ]; then options+=("$1"); shift; fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${options[@]}" \
    "${missing[@]}"
}
