# Bash completion for marquill: command names and each command's options, read from the
# program's own --help, so new commands complete without changes here.
_marquill() {
  local current="${COMP_WORDS[COMP_CWORD]}"
  local program="${COMP_WORDS[0]}"
  if [ "$COMP_CWORD" -eq 1 ]; then
    local commands
    commands="$("$program" --help 2>/dev/null |
      sed -n '/^Subcommands:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p')"
    mapfile -t COMPREPLY < <(compgen -W "$commands --help --version" -- "$current")
    return
  fi
  if [[ "$current" == -* ]]; then
    local options
    options="$("$program" "${COMP_WORDS[1]}" --help 2>/dev/null |
      grep -oE '(^|[ ,])--?[A-Za-z][A-Za-z0-9-]*' | tr -d ' ,' | sort -u)"
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$current")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -f -- "$current")
}
complete -o filenames -F _marquill marquill
