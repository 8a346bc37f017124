#!/usr/bin/env bash
# Screenshots of the example reports, for people to look at: prepares the
# example data (scripts/run-example.sh), draws both reports into
# examples/out/ and renders each with headless Chromium: the top of the page
# (*-report.png) and the panel of the merged postcode areas (*-panel.png).
# With DOCS=1 it also writes the README's picture, docs/report.png, reduced
# to a small palette when python3-pil is installed.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/run-example.sh >/dev/null 2>&1
build="${ZEL_BUILD_DIR:-build}"
out=examples/out
shot=(/usr/bin/python3 scripts/report_screenshots.py)

for doc in customers customers-untargeted; do
  "$build/bin/zelcraft" report "$out/$doc.pmml" -o "$out/$doc.html" -q
  "${shot[@]}" "$out/$doc.html" "$out/$doc-report.png" --height 1800
  "${shot[@]}" "$out/$doc.html" "$out/$doc-panel.png" --panel postcode_area_transformed
done

if [ "${DOCS:-0}" = 1 ]; then
  mkdir -p docs
  "${shot[@]}" "$out/customers.html" docs/report.png --width 1100 --height 1250
  if /usr/bin/python3 -c 'import PIL' 2>/dev/null; then
    /usr/bin/python3 - <<'PY'
from PIL import Image
image = Image.open("docs/report.png").convert("RGB")
image.quantize(colors=128, method=Image.Quantize.FASTOCTREE).save("docs/report.png", optimize=True)
PY
  fi
  echo "docs/report.png: $(stat -c %s docs/report.png) bytes"
fi
