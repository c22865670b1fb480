#!/bin/sh
# Shows the presentation of this medium: opens the page named by the
# "File = " line of autorun.ini, beside this script, in the web browser.
cd "$(dirname "$0")" || exit 1
page=$(sed -n 's/^File = //p' autorun.ini | tr -d '\r' | head -n 1)
if [ -z "$page" ] || [ ! -f "$page" ]; then
  echo "autorun.ini does not name a page of this medium." >&2
  exit 1
fi
exec xdg-open "$page"
