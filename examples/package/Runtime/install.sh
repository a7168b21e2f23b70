#!/bin/sh
# Installs the example program for the current user: here it only says so.
message="The Orbit runtime libraries 3 would now be installed into $HOME/.local/share/orbit-runtime."
if command -v zenity >/dev/null 2>&1; then
  zenity --info --title="The Orbit runtime libraries 3" --text="$message"
elif command -v xmessage >/dev/null 2>&1; then
  xmessage -center "$message"
else
  echo "$message"
fi
