#!/bin/sh
# Installs the example program for the current user: here it only says so.
message="Orbit Chat 3.1 would now be installed into $HOME/.local/share/orbit-chat."
if command -v zenity >/dev/null 2>&1; then
  zenity --info --title="Orbit Chat 3.1" --text="$message"
elif command -v xmessage >/dev/null 2>&1; then
  xmessage -center "$message"
else
  echo "$message"
fi
