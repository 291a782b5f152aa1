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
if grep -nE '#include[[:space:]]*<(unistd|fcntl|pwd|grp|dirent|dlfcn|poll|termios|sys/[a-z]+)\.h>' -r gui; then
    echo "the window includes a POSIX header" >&2
    status=1
fi
# Windows calls live in the ground floor's Windows files and the Win32 window.
if grep -nE '#include[[:space:]]*<(windows|winreg|shellapi|commctrl)\.h>' readers/* output/* run/* app/* \
    $(ls core/* | grep -v 'core/[A-Za-z]*Windows[A-Za-z]*\.cpp$'); then
    echo "Windows headers outside the ground floor's Windows files" >&2
    status=1
fi
if [ -d gui/win32 ] && grep -nE '#include[[:space:]]*[<"]Q' gui/win32/*; then
    echo "the Win32 window includes a Qt header" >&2
    status=1
fi
exit $status
