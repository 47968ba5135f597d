# bash completion for tindrel-cli                                 -*- shell-script -*-
# Plain bash: works with or without the bash-completion package.

_tindrel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="list show find search info check add sync"
    local i command=""
    COMPREPLY=()

    # The command is the first word that is neither a global option nor its value.
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --folder) ((i++)) ;;
        -*) ;;
        *) command=${COMP_WORDS[i]}; break ;;
        esac
    done

    case $prev in
    --folder)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --comments-file | --text-file)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --title | --category | --subcategory | --keywords)
        return
        ;;
    esac

    local options
    case $command in
    "") options="--library --folder --help --version"
        [[ $cur == -* ]] || options=$commands ;;
    list) options="--json --help" ;;
    check) options="--help" ;;
    show) options="--raw --all --json --help" ;;
    find) options="--text --json --help" ;;
    search) options="--regex --keywords-only --match-case --category --help" ;;
    info) options="--detail --help" ;;
    add) options="--title --category --subcategory --keywords --comments-file --text-file --help" ;;
    sync) options="init clone status --commit-deletions --remote --no-fetch --help" ;;
    *) return ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
}
complete -F _tindrel_cli tindrel-cli
