# bash completion for tindrel-cli                                 -*- shell-script -*-
# Plain bash: works with or without the bash-completion package.

# The names tindrel-cli lists for the library the command line names (--titles or
# --categories), those that start with the word being completed; titles with blanks or
# other special characters are quoted by readline (-o filenames).
_tindrel_cli_names() {
    local what=$1 word=$2 name
    shift 2
    # What is typed may be quoted or escaped: compare without the quoting.
    word=${word#[\"\']}
    word=${word//\\/}
    compopt -o filenames 2>/dev/null
    while IFS= read -r name; do
        [[ $name == "$word"* ]] && COMPREPLY+=("$name")
    done < <(command tindrel-cli "$@" list "$what" 2>/dev/null)
}

_tindrel_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local commands="list show find search info check add category subcategory import export sync"
    local i command="" globals=()
    COMPREPLY=()

    # The command is the first word that is neither a global option nor its value.
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        --folder)
            local dir=${COMP_WORDS[i+1]}
            [[ $dir == "~"* ]] && dir=$HOME${dir#"~"}
            globals+=(--folder "$dir")
            ((i++)) ;;
        --library) globals+=(--library) ;;
        -*) ;;
        *) command=${COMP_WORDS[i]}; break ;;
        esac
    done

    case $prev in
    --folder | --out)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
        return
        ;;
    --comments-file | --text-file)
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -f -- "$cur"))
        return
        ;;
    --category)
        _tindrel_cli_names --categories "$cur" "${globals[@]}"
        return
        ;;
    --format)
        COMPREPLY=($(compgen -W "vscode markdown files masscode snippetslab" -- "$cur"))
        return
        ;;
    --title | --subcategory | --keywords | --language)
        return
        ;;
    esac

    local options
    case $command in
    "") options="--library --folder --help --version"
        [[ $cur == -* ]] || options=$commands ;;
    list) options="--json --titles --categories --help" ;;
    check) options="--help" ;;
    show)
        if [[ $cur != -* ]]; then
            _tindrel_cli_names --titles "$cur" "${globals[@]}"
            return
        fi
        options="--raw --all --json --help" ;;
    find) options="--text --json --help" ;;
    search) options="--regex --keywords-only --match-case --category --help" ;;
    info) options="--detail --help" ;;
    add) options="--title --category --subcategory --keywords --comments-file --text-file --help" ;;
    category) options="add --language --help" ;;
    subcategory) options="add --help" ;;
    import)
        if [[ $cur != -* ]]; then
            compopt -o filenames 2>/dev/null
            COMPREPLY=($(compgen -f -- "$cur"))
            return
        fi
        options="--format --category --subcategory --dry-run --help" ;;
    export) options="--format --out --category --overwrite --help" ;;
    sync) options="init clone status --remote --help" ;;
    *) return ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
}
complete -F _tindrel_cli tindrel-cli
