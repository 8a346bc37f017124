"""The link check of the Markdown pages (scripts/check_links.py), run as a
command on small page trees written here: it passes every kind of link that
resolves and names every broken one by its page and line."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "check_links.py")

GOOD_README = """\
# Project

See [the `prepare` page](docs/guide.md#preparing-zelcraft-prepare), [a heading written
over two lines](docs/guide.md#errors-interrupts-and-progress), the second
[same heading](docs/guide.md#options-1), [a unicode one](docs/guide.md#größe-und-maß),
[a code heading](docs/guide.md#zelcraftprepare), ![a picture](docs/pic.png),
[a folder](docs/), [this page](#project), [an anchor of its own](<docs/guide.md#anchor>)
and [the web](https://example.org/missing.md#nowhere).

Code is not a link: `[x](missing.md)` and `[a
b](missing.md)`.

    [indented](missing.md)

```
[fenced](missing.md)
```
"""

GOOD_GUIDE = """\
# Guide

## Preparing: `zelcraft prepare`
## Errors, interrupts and progress
## Options
## Options
## Größe und Maß
## `zelcraft.prepare`
<a id="anchor"></a>

Back to [the project](../README.md#project).
"""

# Each broken link on a line of its own; the expected lines are counted by hand.
BROKEN_README = """\
# Project

[no file](docs/missing.md)
[no heading](docs/guide.md#nothing)
[no heading here](#nothing)
[outside](../outside.md)
[anchor into a picture](docs/pic.png#top)
[empty]()
[fine](docs/guide.md#guide)
[second of a kind](docs/guide.md#guide-1)
"""


def write(root, files):
    for name, text in files.items():
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)


def run(root, *pages):
    return subprocess.run([sys.executable, SCRIPT, "--root", root, *pages],
                          capture_output=True, text=True)


class CheckLinks(unittest.TestCase):
    def test_links_that_resolve_pass(self):
        with tempfile.TemporaryDirectory() as root:
            write(root, {"README.md": GOOD_README, "docs/guide.md": GOOD_GUIDE,
                         "docs/pic.png": "png"})
            result = run(root)
            self.assertEqual(result.returncode, 0, result.stderr)
            self.assertIn("2 page(s)", result.stdout)

    def test_every_broken_link_is_named_by_page_and_line(self):
        with tempfile.TemporaryDirectory() as parent:
            root = os.path.join(parent, "project")
            write(parent, {"outside.md": "# Outside\n"})
            write(root, {"README.md": BROKEN_README, "docs/guide.md": "# Guide\n",
                         "docs/pic.png": "png"})
            result = run(root)
            self.assertEqual(result.returncode, 1)
            reported = [line.split(": (")[0] for line in result.stderr.splitlines()
                        if line.startswith("README.md:")]
            self.assertEqual(reported, ["README.md:%d" % n for n in (3, 4, 5, 6, 7, 8, 10)])
            self.assertIn("7 broken link(s)", result.stderr)

    def test_a_page_that_is_not_there_fails(self):
        with tempfile.TemporaryDirectory() as root:
            result = run(root, os.path.join(root, "README.md"))
            self.assertEqual(result.returncode, 1)
            self.assertIn("README.md: no such page", result.stderr)


if __name__ == "__main__":
    unittest.main()
