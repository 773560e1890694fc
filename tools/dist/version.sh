#!/bin/bash
# Prints the version that the project() line of CMakeLists.txt declares.
set -euo pipefail
sed -n 's/^project(Sarvel VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt"
