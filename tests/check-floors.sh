#!/bin/sh
# Fails when an include points up or sideways between the engine's floors, or
# when the engine includes a Qt header. Run from src/.
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
exit $status
