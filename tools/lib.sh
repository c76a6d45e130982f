# Shared by tools/run, tools/test and tools/bench: installs what is missing and configures a build.
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

ensure_packages() {
  local missing=()
  while read -r pkg; do
    case "$pkg" in ''|'#'*) continue ;; esac
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done < "$top/tools/packages.txt"
  if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  fi
  ensure_japanese_locale
}

# The program shows the system's error texts in Japanese; the C library has them only with
# the ja_JP.UTF-8 locale, which a fresh machine lacks (the program falls back to its own table).
ensure_japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8 || echo "no ja_JP.UTF-8 locale; own error texts are used"
}

# configure_build DIR BUILD_TYPE [extra cmake args...]
configure_build() {
  local dir=$1 type=$2; shift 2
  cmake -S "$top" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
}

utf8_locale() {
  export LANG=C.UTF-8 LC_ALL=C.UTF-8
  # Qt wants a private runtime folder; a headless root session has none.
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="/tmp/runtime-$(id -u)"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  fi
}
