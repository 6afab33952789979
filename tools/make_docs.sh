#!/usr/bin/env bash
# Turns the user guides in docs/ into the PDFs that the help menu opens (data/sprelio_g.pdf,
# data/sprelio_e.pdf). Needs LibreOffice; only needed when a guide changes.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
command -v soffice >/dev/null || { echo "make_docs.sh: needs soffice (libreoffice-writer)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for guide in sprelio_g sprelio_e; do
    soffice --headless --norestore "-env:UserInstallation=file://$work/profile" \
        --infilter="HTML (StarWriter)" --convert-to pdf:writer_pdf_Export --outdir "$work" "$repo/docs/$guide.html" >/dev/null
    mv "$work/$guide.pdf" "$repo/data/$guide.pdf"
    echo "data/$guide.pdf"
done
