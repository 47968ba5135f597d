# bash completion for tindrel                                     -*- shell-script -*-
# Plain bash: works with or without the bash-completion package.

_tindrel() {
    local cur=${COMP_WORDS[COMP_CWORD]}
    COMPREPLY=()
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "--pick --show --library --help --version" -- "$cur"))
    else
        compopt -o filenames 2>/dev/null
        COMPREPLY=($(compgen -d -- "$cur"))
    fi
}
complete -F _tindrel tindrel
