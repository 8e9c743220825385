#!/bin/sh
# Redraws every image of the two resource bundles (needs python3-pil and
# fonts-dejavu-core) and copies the licence texts again.
set -eu
export PYTHONDONTWRITEBYTECODE=1
cd "$(dirname "$0")"
for script in draw_card.py draw_splash.py draw_logos.py draw_about.py; do
    /usr/bin/python3 "$script"
done
./extract_licences.sh
