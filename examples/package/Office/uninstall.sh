#!/bin/sh
# Removes the example program for the current user: here it only says so.
message="Orbit Office 3.2 would now be removed from $HOME/.local/share/orbit-office."
if command -v zenity >/dev/null 2>&1; then
  zenity --info --title="Orbit Office 3.2" --text="$message"
elif command -v xmessage >/dev/null 2>&1; then
  xmessage -center "$message"
else
  echo "$message"
fi
