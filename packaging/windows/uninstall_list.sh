#!/usr/bin/env bash
# The uninstaller's list of what the installer put into the program's
# folder: a Delete for each file and an RMDir for each folder, deepest first,
# so that anything a user added there stays.
# Usage: uninstall_list.sh FOLDER > list.nsh
set -euo pipefail
cd "$1"
find . -type f | sed 's|^\./||' | sort | while read -r f; do
    echo "Delete \"\$INSTDIR\\${f//\//\\}\""
done
find . -mindepth 1 -type d | sed 's|^\./||' | sort -r | while read -r d; do
    echo "RMDir \"\$INSTDIR\\${d//\//\\}\""
done
