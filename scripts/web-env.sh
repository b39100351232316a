# shellcheck shell=bash
# Sourced by the browser build scripts: Debian's Emscripten runs its
# JavaScript optimiser under whatever node is first on PATH, and a node not
# from Debian does not look where Debian installs the parser that needs.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
