# Bash completion of pauta: the options, then the course codes of the
# *-UC.txt files of the current folder, then for --importar the CSV file
# (pauta --importar [--verificar] CODIGO FICHEIRO), and for --historico its
# options (pauta --historico CODIGO [--aluno N] [--uc C] [--desde D] [--csv]
# or --verificar).

# The codes of the courses of the current folder (regular *-UC.txt files).
_pauta_cursos() {
  local ficheiro
  for ficheiro in ./*-UC.txt; do
    [[ -f $ficheiro ]] || continue
    ficheiro=${ficheiro#./}
    printf '%s\n' "${ficheiro%-UC.txt}"
  done
}

_pauta() {
  local atual=${COMP_WORDS[COMP_CWORD]}
  local opcoes='-h --help --ajuda -V --version --versao --exportar --importar --relatorio
--historico'
  local IFS=$'\n'
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    COMPREPLY=($(compgen -W "${opcoes// /$'\n'}" -- "$atual"))
    return
  fi
  case ${COMP_WORDS[1]} in
    --exportar | --relatorio)
      ((COMP_CWORD == 2)) && COMPREPLY=($(compgen -W "$(_pauta_cursos)" -- "$atual"))
      ;;
    --historico)
      if ((COMP_CWORD == 2)); then
        COMPREPLY=($(compgen -W "$(_pauta_cursos)" -- "$atual"))
        return
      fi
      # After an option that takes a value, nothing is offered; otherwise
      # the options not given yet (--verificar only alone).
      case ${COMP_WORDS[COMP_CWORD - 1]} in
        --aluno | --uc | --desde) return ;;
      esac
      local i palavra dadas=' ' livres=
      for ((i = 3; i < COMP_CWORD; i++)); do dadas+="${COMP_WORDS[i]} "; done
      for palavra in --aluno --uc --desde --csv; do
        [[ $dadas == *" $palavra "* || $dadas == *" --verificar "* ]] || livres+=$palavra$'\n'
      done
      [[ $dadas == ' ' ]] && livres+=--verificar
      COMPREPLY=($(compgen -W "$livres" -- "$atual"))
      ;;
    --importar)
      # The words already given after --importar, --verificar left out.
      local i argumentos=0 verificar=
      for ((i = 2; i < COMP_CWORD; i++)); do
        if [[ ${COMP_WORDS[i]} == --verificar ]]; then
          verificar=1
        else
          argumentos=$((argumentos + 1))
        fi
      done
      local palavras=
      [[ -n $verificar ]] || palavras=--verificar
      case $argumentos in
        0)
          palavras+=$'\n'$(_pauta_cursos)
          COMPREPLY=($(compgen -W "$palavras" -- "$atual"))
          ;;
        1)
          # CSV files, and folders to walk into.
          compopt -o filenames 2>/dev/null
          COMPREPLY=($(compgen -d -- "$atual")
            $(compgen -f -X '!*.[cC][sS][vV]' -- "$atual"))
          ;;
      esac
      ;;
  esac
}
complete -F _pauta pauta
