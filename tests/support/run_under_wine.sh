#!/bin/sh
# Runs a test of the Windows build: LOADER -- COMMAND...
# Some kernels cannot execute 32-bit x86 programs at all, and the 32-bit Wine
# loader with them. On such a host the test is reported as skipped (exit 77,
# one line saying why) instead of failing; any other trouble with the loader
# is left to the test itself, so a real fault still fails.
loader=$1
shift
[ "$1" = "--" ] && shift
if ! answer=$("$loader" --version 2>&1); then
    case $answer in
        *"Exec format error"*)
            echo "SKIPPED: this host cannot execute $loader (Exec format error): its kernel does not run programs of that architecture"
            exit 77 ;;
    esac
fi
exec "$@"
