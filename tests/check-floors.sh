#!/bin/sh
# Fails when an include points up or sideways between the engine's floors,
# when the engine includes a Qt header, or the window a POSIX one. Run from src/.
status=0
check() {  # folder, then the folders it may not include
    folder=$1; shift
    for banned in "$@"; do
        if grep -n "#include[[:space:]]*\"$banned/" "$folder"/*.h "$folder"/*.cpp; then
            echo "$folder includes $banned" >&2
            status=1
        fi
    done
}
check core readers output run app cli gui
check readers output run app cli gui
check output readers run app cli gui
check run app cli gui
check app cli gui
if grep -nE '#include[[:space:]]*[<"]Q' core/* readers/* output/* run/* app/*; then
    echo "the engine includes a Qt header" >&2
    status=1
fi
# The window is to build on Windows too: system calls go through Qt or std.
if grep -nE '#include[[:space:]]*<(unistd|fcntl|pwd|grp|dirent|dlfcn|poll|termios|sys/[a-z]+)\.h>' gui/*; then
    echo "the window includes a POSIX header" >&2
    status=1
fi
exit $status
