# bash completion for saporium: its commands, each command's options (each offered until it is
# given, since none may be given twice), the export formats, and file names where a command or
# an option takes a file, or the window opens on one. Recipe files and backups are offered by
# their .mdb extension.

_saporium()
{
    local cur prev words cword split
    _init_completion -s || return

    local command=${words[1]-}
    if ((cword == 1)); then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W '--help --version' -- "$cur"))
        else
            # A command, or the recipe file to open the window on.
            COMPREPLY=($(compgen -W 'import export search backup restore password scale shopping-list' -- "$cur"))
            _filedir mdb
        fi
        return
    fi

    local options
    case $command in
        import | search) options='--database --category' ;;
        export) options='--database --category --format --output' ;;
        backup) options='--database --output' ;;
        restore | password) options='--database' ;;
        scale) options='--database --category --recipe --factor --servings' ;;
        shopping-list) options='--database --factor --category' ;;
        *) return ;;
    esac

    case $prev in
        --database)
            _filedir mdb
            return
            ;;
        --output)
            [[ $command == backup ]] && _filedir mdb || _filedir
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W 'jsonld mealmaster html pdf folder' -- "$cur"))
            return
            ;;
        --category | --recipe | --factor | --servings)
            return
            ;;
    esac
    $split && return

    # After "--" every word is an argument, never an option.
    local i ended=false
    for ((i = 2; i < cword; i++)); do
        [[ ${words[i]} == -- ]] && ended=true
    done

    if [[ $cur == -* ]] && ! $ended; then
        local option offered=()
        for option in $options --password-stdin --help; do
            for ((i = 2; i < cword; i++)); do
                [[ ${words[i]} == "$option" || ${words[i]} == "$option="* ]] && continue 2
            done
            offered+=("$option")
        done
        COMPREPLY=($(compgen -W '${offered[*]}' -- "$cur"))
        return
    fi

    case $command in
        import) _filedir ;;
        restore) _filedir mdb ;;
    esac
} &&
    complete -F _saporium saporium
