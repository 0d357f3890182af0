#!/bin/sh
# Stands in for `otool -L <binary>` in the link check's tests: the "binary"
# is a listing as otool prints it, and is printed.
[ "$1" = "-L" ] || exit 64
exec cat "$2"
