#!/bin/sh
# Installs the example program for the current user: here it only says so.
message="Orbit Notes 2.4 would now be installed into $HOME/.local/share/orbit-notes."
if command -v zenity >/dev/null 2>&1; then
  zenity --info --title="Orbit Notes 2.4" --text="$message"
elif command -v xmessage >/dev/null 2>&1; then
  xmessage -center "$message"
else
  echo "$message"
fi
