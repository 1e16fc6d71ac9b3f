#!/usr/bin/env bash
# Prints the demo home's song book and new-songs list to PDF and exports the spreadsheet, then
# renders their first pages to PNG for a look: rules, text inside the cells, the Kai font.
#   scripts/print-pages.sh [OUTDIR]      (default screenshots/print/)
# The spreadsheet is laid out by LibreOffice Calc when it is installed (libreoffice-calc, with
# fonts-crosextra-carlito for the default font's widths); it is not needed for anything else.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-$PWD/screenshots/print}"
home="$PWD/demo-home"
mkdir -p "$out"
[ -x build/src/app/karaoke ] || cmake --build build --target karaoke
[ -f "$home/karaoke.mdb" ] || bash scripts/make-demo-home.sh build/src/app/karaoke "$home"

build/src/app/karaoke --home "$home" --print-book "$out/book.pdf"
build/src/app/karaoke --home "$home" --print-new "$out/new.pdf" --since 2000/1/1
build/src/app/karaoke --home "$home" --export-new "$out/new.xlsx" --since 2000/1/1
pdftoppm -r 80 -f 1 -l 2 -png "$out/book.pdf" "$out/book"
pdftoppm -r 80 -f 1 -l 1 -png "$out/new.pdf" "$out/new"

if command -v soffice >/dev/null; then
  # "標楷體" is the Kai font here too, through the alias the package installs.
  fc="$(mktemp -d)"
  trap 'rm -rf "$fc"' EXIT
  cat > "$fc/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <include>$PWD/packaging/fonts.conf</include>
</fontconfig>
CONF
  FONTCONFIG_FILE="$fc/fonts.conf" HOME="$fc" soffice --headless --convert-to pdf --outdir "$fc" "$out/new.xlsx" >/dev/null
  mv "$fc/new.pdf" "$out/new-xlsx.pdf"
  pdftoppm -r 80 -f 1 -l 2 -png "$out/new-xlsx.pdf" "$out/new-xlsx"
else
  echo "print-pages: LibreOffice Calc is not installed; the spreadsheet is not rendered" >&2
fi
ls "$out"/*.png
