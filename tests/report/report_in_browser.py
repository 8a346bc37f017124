"""The report page checked in a real browser (headless Chromium).

Prepares the example customer data (with and without a target) and a
small data set with a Box-Cox target, an ordinal field whose categories
are merged and correlated inputs folded into a constructed feature; draws
their reports with `zelcraft prepare --report` and `zelcraft report`, opens
each page and checks what the browser rendered against the document, read
here on its own with xml.etree: no console error, one panel per reported
field, every histogram's bars in proportion to the document's bin counts,
merged categories in their group's colour, the table's filter and sorting,
and not one request for an address outside the page.

Skips (exit 77) when Chromium is absent, unless ZEL_REQUIRE_BROWSER is set.
"""
import argparse
import math
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cdp  # noqa: E402

NS = {"p": "http://www.dmg.org/PMML-4_0"}
UNCOLOURED = "rgb(126, 166, 216)"
PALETTE = 10


def find_chromium():
    for name in ("chromium", "chromium-browser"):
        path = shutil.which(name)
        if path:
            return path
    return None


def run(args, cwd):
    result = subprocess.run(args, cwd=cwd, capture_output=True, text=True)
    if result.returncode != 0:
        raise SystemExit(f"{' '.join(args)} failed ({result.returncode}):\n{result.stderr}")
    return result


def write_mixed_data(path):
    """600 records: grade (ordinal 1..6, its target means in three
    groups), a, b, c (one hidden factor), x (a few far values) and the
    positive, skewed target y."""
    rng = random.Random(7)
    means = {1: 0.0, 2: 0.0, 3: 1.0, 4: 1.0, 5: 2.0, 6: 2.0}
    with open(path, "w") as out:
        out.write("grade,a,b,c,x,y\n")
        for i in range(600):
            grade = 1 + i % 6
            z = rng.gauss(0, 1)
            x = rng.gauss(50, 5) if i % 97 else 400 + i
            y = 20 + math.exp(1.5 + 0.6 * means[grade] + 0.4 * z + 0.3 * rng.gauss(0, 1))
            out.write(f"{grade},{z + 0.1 * rng.gauss(0, 1):.4f},{2 * z + 0.1 * rng.gauss(0, 1):.4f},"
                      f"{-z + 0.1 * rng.gauss(0, 1):.4f},{x:.3f},{y:.4f}\n")
    with open(path + ".schema.json", "w") as out:
        out.write('{"fields": {"grade": {"level": "ordinal"}}}\n')


def make_documents(zelcraft, example_data, work):
    run([example_data, work], work)
    run([zelcraft, "prepare", "customers.csv", "--target", "churn", "--frequency-weight", "weight",
         "--schema", "customers.schema.json", "--settings", "customers.settings.json",
         "-o", "customers.pmml", "--report", "customers.html", "-q"], work)
    run([zelcraft, "prepare", "customers.csv", "--frequency-weight", "weight",
         "--schema", "customers.schema.json", "--settings", "customers.untargeted.settings.json",
         "-o", "untargeted.pmml", "-q"], work)
    run([zelcraft, "report", "untargeted.pmml", "-o", "untargeted.html", "-q"], work)
    write_mixed_data(os.path.join(work, "mixed.csv"))
    run([zelcraft, "prepare", "mixed.csv", "--target", "y", "--schema", "mixed.csv.schema.json",
         "--set", "rescaleScaleTargetUsingBoxCox=true", "--set", "targetSD=1",
         "-o", "mixed.pmml", "-q"], work)
    run([zelcraft, "report", "mixed.pmml", "-q"], work)
    return [("customers", "customers.pmml", "customers.html"),
            ("untargeted", "untargeted.pmml", "untargeted.html"),
            ("mixed", "mixed.pmml", "mixed.html")]


class Facts:
    """What the checks need from a document, read independently of the report."""

    def __init__(self, path):
        root = ET.parse(path).getroot()
        summary = root.find(".//p:Extension/p:Zelcraft/p:Summary", NS)
        self.reported = [r.get("field") for r in summary.findall("p:VariableSummary/p:FieldRef", NS)]
        self.histograms = {}
        for stats in root.iter("{%s}UnivariateStats" % NS["p"]):
            for ext in stats.iter("{%s}Extension" % NS["p"]):
                if ext.get("name") != "EqualWidthBinning":
                    continue
                for array in ext.findall("p:Array", NS):
                    if array.get("type") == "int":
                        self.histograms.setdefault(stats.get("field"),
                                                   [float(v) for v in array.text.split()])
        self.merges = {}
        for field in root.iter("{%s}DerivedField" % NS["p"]):
            action = field.find("p:Extension/p:Action", NS)
            table = field.find("p:MapValues/p:InlineTable", NS)
            if action is None or table is None or not action.get("reasonKey", "").startswith("Merge"):
                continue
            rows = {row.find("p:input", NS).text or "": row.find("p:output", NS).text or ""
                    for row in table.findall("p:row", NS)}
            self.merges[field.get("name")] = rows
        self.derived_kinds = {f.get("name"): f.find("p:Extension/p:Action", NS).get("reasonKey")
                              for f in root.iter("{%s}DerivedField" % NS["p"])
                              if f.find("p:Extension/p:Action", NS) is not None}


COLLECT = r"""(() => {
  document.querySelectorAll('details.panel').forEach(d => { d.open = true; });
  return [...document.querySelectorAll('details.panel')].map(p => ({
    name: p.dataset.name,
    figures: [...p.querySelectorAll('figure[data-field]')].map(f => {
      const svg = f.querySelector('svg.hist'), path = svg && svg.querySelector('path.bars');
      const box = path && path.getBBox(), shown = path && path.getBoundingClientRect();
      return {field: f.dataset.field, d: path ? path.getAttribute('d') : null,
              bbox: box ? [box.width, box.height] : null,
              shown: shown ? shown.width > 0 && shown.height > 0 : false,
              categories: [...f.querySelectorAll('rect.cat')].map(r => ({
                  category: r.dataset.category, fill: getComputedStyle(r).fill,
                  width: r.getBoundingClientRect().width}))};
    })}));
})()"""


def bar_heights(d):
    match = re.fullmatch(r"M0 1000((?:V[-0-9.]+h1)*)V1000Z", d)
    if not match:
        raise AssertionError("unexpected bar path " + d[:80])
    return [1000 - float(v) for v in re.findall(r"V([-0-9.]+)h1", match.group(1))]


class Checks:
    def __init__(self):
        self.passed = 0
        self.failures = []

    def expect(self, condition, what):
        if condition:
            self.passed += 1
        else:
            self.failures.append(what)


def check_histograms(name, panel, facts, checks):
    for figure in panel["figures"]:
        field = figure["field"]
        # A figure draws a histogram exactly when the document has one for its field.
        checks.expect((figure["d"] is None) == (field not in facts.histograms),
                      f"{name}: {panel['name']}: histogram of {field} drawn: {figure['d'] is not None}")
        if figure["d"] is None:
            continue
        counts = facts.histograms.get(field)
        checks.expect(counts is not None, f"{name}: {panel['name']}: histogram of {field} not in the document")
        if counts is None:
            continue
        heights = bar_heights(figure["d"])
        largest = max(counts)
        wrong = [i for i, (h, c) in enumerate(zip(heights, counts))
                 if abs(h - (c / largest * 1000 if largest > 0 else 0)) > 0.5 + 1e-9]
        checks.expect(len(heights) == len(counts) and not wrong,
                      f"{name}: {field}: {len(heights)} bars for {len(counts)} bins, off at {wrong[:5]}")
        checks.expect(figure["shown"] and figure["bbox"][0] == len(counts) and
                      (largest == 0 or abs(figure["bbox"][1] - 1000) < 1e-6),
                      f"{name}: {field}: the bars are not drawn to the plot ({figure['bbox']})")


def check_groups(name, panel, facts, checks):
    rows = facts.merges.get(panel["name"])
    if rows is None:
        return
    groups = sorted(set(rows.values()))
    coloured = 0
    fill_of_group = {}
    for figure in panel["figures"]:
        own = figure["field"] == panel["name"]
        for bar in figure["categories"]:
            group = bar["category"] if own else rows.get(bar["category"])
            if group is None:
                continue
            coloured += 1
            checks.expect(bar["fill"] != UNCOLOURED,
                          f"{name}: {panel['name']}: category {bar['category']} has no group colour")
            previous = fill_of_group.setdefault(group, bar["fill"])
            checks.expect(previous == bar["fill"],
                          f"{name}: {panel['name']}: group {group} drawn in {previous} and {bar['fill']}")
    checks.expect(coloured > 0, f"{name}: {panel['name']}: no merged category drawn")
    if len(groups) <= PALETTE:
        fills = list(fill_of_group.values())
        checks.expect(len(set(fills)) == len(fills),
                      f"{name}: {panel['name']}: two groups share a colour: {fill_of_group}")


def check_table(name, browser, session, facts, checks):
    visible = browser.evaluate(session, r"""(() => {
      const input = document.getElementById('filter');
      input.value = 'transformed'; input.dispatchEvent(new Event('input'));
      const rows = [...document.querySelectorAll('#field-table tbody tr')];
      const shown = rows.filter(r => r.offsetParent !== null).map(r => r.dataset.name);
      input.value = ''; input.dispatchEvent(new Event('input'));
      return shown; })()""")
    expected = [f for f in facts.reported if "transformed" in f.lower()]
    checks.expect(sorted(visible) == sorted(expected), f"{name}: filter shows {visible}, not {expected}")
    order = browser.evaluate(session, r"""(() => {
      const th = [...document.querySelectorAll('#field-table th')].find(t => t.textContent.startsWith('Predictive'));
      th.click(); th.click();
      return [...document.querySelectorAll('#field-table tbody tr')].map(r => r.cells[7].dataset.v); })()""")
    powers = [float(v) for v in order if v]
    checks.expect(powers == sorted(powers, reverse=True) and all(v for v in order[:len(powers)]),
                  f"{name}: sorting by predictive power gives {order}")


PANELS_OPEN = r"""(() => {
  const panels = [...document.querySelectorAll('details.panel')];
  const open = () => panels.filter(d => d.open).length;
  const shown = [open()];
  document.getElementById('expand-all').click(); shown.push(open());
  document.getElementById('collapse-all').click(); shown.push(open());
  window.dispatchEvent(new Event('beforeprint')); shown.push(open());
  window.dispatchEvent(new Event('afterprint')); shown.push(open());
  return [panels.length, shown]; })()"""


def check_fragments(browser, name, url, checks):
    """An address whose fragment is no valid escape leaves the page working:
    no error, the buttons open and close every panel, and printing opens
    them all and closes them again after."""
    for fragment in ("#%", "#%E0%A4%A", "#f-%zz"):
        session = browser.open_page(url + fragment)
        panels, shown = browser.evaluate(session, PANELS_OPEN)
        checks.expect(panels > 0 and shown == [0, panels, 0, panels, 0],
                      f"{name}{fragment}: panels open at load, after opening, closing, "
                      f"printing and after printing: {shown} of {panels}")
        errors = [e["params"]["exceptionDetails"].get("exception", {}).get("description", "")[:80]
                  for e in browser.session_events(session)
                  if e["method"] == "Runtime.exceptionThrown"]
        checks.expect(not errors, f"{name}{fragment}: script errors: {errors[:2]}")
    # A valid fragment still opens its panel, and "#all" every one.
    session = browser.open_page(url + "#all")
    panels, shown = browser.evaluate(session, PANELS_OPEN)
    checks.expect(shown[0] == panels, f"{name}#all: {shown[0]} of {panels} panels open")


def check_page(browser, name, url, facts, checks):
    session = browser.open_page(url)
    panels = browser.evaluate(session, COLLECT)
    names = [p["name"] for p in panels]
    checks.expect(sorted(names) == sorted(facts.reported) and len(names) == len(facts.reported),
                  f"{name}: panels {names} differ from the reported fields {facts.reported}")
    histograms = 0
    for panel in panels:
        check_histograms(name, panel, facts, checks)
        check_groups(name, panel, facts, checks)
        histograms += sum(1 for f in panel["figures"] if f["d"])
    checks.expect(histograms > 0 or not facts.histograms, f"{name}: no histogram drawn")
    if any(f in facts.merges for f in facts.reported):
        checks.expect(any(p["name"] in facts.merges for p in panels), f"{name}: no merged field shown")
    check_table(name, browser, session, facts, checks)
    events = browser.session_events(session)
    errors = [e for e in events if e["method"] == "Runtime.exceptionThrown" or
              (e["method"] == "Runtime.consoleAPICalled" and e["params"]["type"] in ("error", "assert")) or
              (e["method"] == "Log.entryAdded" and e["params"]["entry"]["level"] == "error")]
    checks.expect(not errors, f"{name}: console errors: {errors[:3]}")
    page = url.split("#")[0]
    requests = [e["params"]["request"]["url"] for e in events if e["method"] == "Network.requestWillBeSent"]
    outside = [r for r in requests if r.split("#")[0] != page]
    checks.expect(requests and not outside, f"{name}: requests beyond the page: {outside[:5]}")
    return len(panels), histograms


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--zelcraft", required=True)
    parser.add_argument("--example-data", required=True)
    args = parser.parse_args()
    chromium = find_chromium()
    if chromium is None:
        print("SKIPPED: Chromium is not installed (Debian package chromium); the report is not "
              "checked in a browser", flush=True)
        return 1 if os.environ.get("ZEL_REQUIRE_BROWSER") else 77
    checks = Checks()
    with tempfile.TemporaryDirectory() as work:
        documents = make_documents(args.zelcraft, args.example_data, work)
        kinds = Facts(os.path.join(work, "mixed.pmml")).derived_kinds.values()
        for kind in ("TargetRescale", "Merge4MaximizeAssociation", "Construct"):
            checks.expect(kind in kinds, f"mixed: the document has no {kind} field")
        browser = cdp.Browser(chromium, os.path.join(work, "profile"))
        try:
            for name, document, page in documents:
                facts = Facts(os.path.join(work, document))
                url = "file://" + os.path.join(work, page)
                panels, histograms = check_page(browser, name, url, facts, checks)
                if name == "mixed":
                    check_fragments(browser, name, url, checks)
                print(f"{name}: {panels} panels, {histograms} histograms checked")
        finally:
            browser.close()
    for failure in checks.failures:
        print("FAILED:", failure)
    print(f"{checks.passed} passed, {len(checks.failures)} failed")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
