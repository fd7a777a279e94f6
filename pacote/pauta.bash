# Bash completion of pauta: the options, then the course codes of the
# *-UC.txt files of the current folder, then for --importar the CSV file
# (pauta --importar [--verificar] CODIGO FICHEIRO), for --corrigir the CSV
# file and its options (pauta --corrigir [--verificar] CODIGO FICHEIRO
# [--motivo TEXTO]), for --remover the course's student numbers, unit codes
# and its options (pauta --remover CODIGO NUMERO [CODIGO_UC] [--motivo
# TEXTO] [--forcar]), and for --historico its options (pauta --historico
# CODIGO [--aluno N] [--uc C] [--desde D] [--csv] or --verificar).

# The codes of the courses of the current folder (regular *-UC.txt files).
_pauta_cursos() {
  local ficheiro
  for ficheiro in ./*-UC.txt; do
    [[ -f $ficheiro ]] || continue
    ficheiro=${ficheiro#./}
    printf '%s\n' "${ficheiro%-UC.txt}"
  done
}

# The student numbers of a course (its ALUNO records), and its unit codes
# (the unit file's lines after the course record).
_pauta_alunos() {
  [[ -f $1-Estudantes.txt ]] && LC_ALL=C sed -n 's/^ALUNO;\([0-9-]*\);.*/\1/p' "$1-Estudantes.txt"
}
_pauta_ucs() {
  [[ -f $1-UC.txt ]] && LC_ALL=C sed -n '2,$s/^\([0-9-][0-9]*\);.*/\1/p' "$1-UC.txt"
}

# The words given after the mode (from the third), its options and their
# values left out: how many there are (in `argumentos`), the first (in
# `primeiro`) and the options given (in `dadas`, each between blanks).
_pauta_palavras() {
  local i
  argumentos=0
  primeiro=
  dadas=' '
  for ((i = 2; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      --motivo) dadas+='--motivo ' && i=$((i + 1)) ;;
      --*) dadas+="${COMP_WORDS[i]} " ;;
      *)
        [[ -n $primeiro ]] || primeiro=${COMP_WORDS[i]}
        argumentos=$((argumentos + 1))
        ;;
    esac
  done
}

# The options of `$@` not in `dadas`, one a line.
_pauta_livres() {
  local palavra
  for palavra in "$@"; do
    [[ $dadas == *" $palavra "* ]] || printf '%s\n' "$palavra"
  done
}

_pauta() {
  local atual=${COMP_WORDS[COMP_CWORD]}
  local opcoes='-h --help --ajuda -V --version --versao --exportar --importar --corrigir
--remover --relatorio --historico'
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
    --corrigir | --remover)
      # After --motivo its text, which is the user's to write.
      [[ ${COMP_WORDS[COMP_CWORD - 1]} == --motivo ]] && return
      local argumentos primeiro dadas palavras
      _pauta_palavras
      if [[ ${COMP_WORDS[1]} == --corrigir ]]; then
        palavras=$(_pauta_livres --verificar)
        case $argumentos in
          0) palavras+=$'\n'$(_pauta_cursos) ;;
          1)
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -d -- "$atual")
              $(compgen -f -X '!*.[cC][sS][vV]' -- "$atual"))
            return
            ;;
          *) palavras+=$'\n'$(_pauta_livres --motivo) ;;
        esac
      else
        case $argumentos in
          0) palavras=$(_pauta_cursos) ;;
          1) palavras=$(_pauta_alunos "$primeiro") ;;
          2) palavras=$(_pauta_ucs "$primeiro")$'\n'$(_pauta_livres --motivo --forcar) ;;
          *) palavras=$(_pauta_livres --motivo --forcar) ;;
        esac
      fi
      COMPREPLY=($(compgen -W "$palavras" -- "$atual"))
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
