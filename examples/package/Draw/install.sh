#!/bin/sh
# Installs the example program for the current user: here it only says so.
message="Orbit Draw 3.0 would now be installed into $HOME/.local/share/orbit-draw."
if command -v zenity >/dev/null 2>&1; then
  zenity --info --title="Orbit Draw 3.0" --text="$message"
elif command -v xmessage >/dev/null 2>&1; then
  xmessage -center "$message"
else
  echo "$message"
fi
