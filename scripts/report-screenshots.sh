#!/usr/bin/env bash
# Screenshots of the example reports, for people to look at: prepares the
# example data (scripts/run-example.sh), draws both reports into
# examples/out/ and renders each with headless Chromium: the top of the page
# (*-report.png) and the merged postcode areas' panel (*-panel.png).
# With DOCS=1 it also writes the README's picture, docs/report.png, reduced
# to a small palette when python3-pil is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/run-example.sh >/dev/null 2>&1
build="${ZEL_BUILD_DIR:-build}"
out=examples/out
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT

shot() {  # URL PNG WIDTH HEIGHT
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --hide-scrollbars --window-size="$3,$4" \
    --screenshot="$2" "$1" >/dev/null 2>&1
  echo "wrote $2"
}

for doc in customers customers-untargeted; do
  "$build/bin/zelcraft" report "$out/$doc.pmml" -o "$out/$doc.html" -q
  page="file://$(pwd)/$out/$doc.html"
  shot "$page" "$out/$doc-report.png" 1280 1800
  shot "$page#f-postcode_area_transformed" "$out/$doc-panel.png" 1280 900
done

if [ "${DOCS:-0}" = 1 ]; then
  mkdir -p docs
  shot "file://$(pwd)/$out/customers.html" docs/report.png 1100 1250
  if /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
    /usr/bin/python3 - <<'PY'
from PIL import Image
image = Image.open("docs/report.png").convert("RGB")
image.quantize(colors=48, method=Image.Quantize.MEDIANCUT).save("docs/report.png", optimize=True)
PY
  fi
  echo "docs/report.png: $(stat -c %s docs/report.png) bytes"
fi
