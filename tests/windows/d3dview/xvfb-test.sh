#!/bin/sh
# Runs a test program on a display of its own: a virtual X server with a 24-bit screen, where
# OpenGL draws through Mesa.
#   xvfb-test.sh PROGRAM [ARGUMENT]...
exec xvfb-run -a -n "$(( $$ % 400 + 200 ))" -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
