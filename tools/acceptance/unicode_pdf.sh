#!/usr/bin/env bash
# Hand check of a converted document on a machine without the phonetic fonts: makes a PDF of DOCUMENT
# in a LibreOffice that cannot see Lautbild Serif or Lautbild Sans Serif (a fontconfig of its own
# rejects them, whether they are installed or not), and a PNG of its first page to look at.
#   tools/acceptance/unicode_pdf.sh DOCUMENT [OUT_FOLDER]
# A document to check: SPRELIO_OFFICE_PDF_DIR=FOLDER ctest -R tst_office leaves FOLDER/sent-unicode.docx.
# Needs: libreoffice-writer, poppler-utils (pdftoppm, pdffonts, pdftotext), fontconfig.
set -euo pipefail

document=$(realpath "${1:?usage: unicode_pdf.sh DOCUMENT [OUT_FOLDER]}")
out=${2:-/tmp/sprelio-unicode-pdf}
mkdir -p "$out"
out=$(realpath "$out")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <cachedir>$work/cache</cachedir>
  <selectfont>
    <rejectfont>
      <glob>*Lautbild*</glob>
      <pattern><patelt name="family"><string>Lautbild Serif</string></patelt></pattern>
      <pattern><patelt name="family"><string>Lautbild Sans Serif</string></patelt></pattern>
    </rejectfont>
  </selectfont>
</fontconfig>
CONF
export FONTCONFIG_FILE="$work/fonts.conf"

if fc-list | grep -i lautbild; then
    echo "unicode_pdf.sh: the phonetic fonts are still visible" >&2
    exit 1
fi
echo "fc-list | grep -i lautbild: nothing"

base=$(basename "${document%.*}")
soffice -env:UserInstallation="file://$work/profile" --headless --norestore --nologo \
    --convert-to pdf --outdir "$out" "$document" >/dev/null
pdffonts "$out/$base.pdf"
pdftotext "$out/$base.pdf" - | head -5
pdftoppm -png -r 150 -f 1 -l 1 -singlefile "$out/$base.pdf" "$out/$base"
echo "$out/$base.pdf $out/$base.png"
