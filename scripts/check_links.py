"""Checks the relative links of the project's Markdown pages.

Every link and image in README.md and docs/*.md (or the files given) that is
not a web address must lead to a file or folder inside the project, and an
`#anchor` must name a heading of the page it points to, spelled as a Markdown
host makes it: the heading's text in lower case, without code marks and
punctuation, spaces turned into hyphens, and a second heading of the same
text numbered `-1`. Links inside code (spans and blocks) are not links.
Headings are the `#` kind. Prints one line per broken link, FILE:LINE, and
exits with 1 when there is any.

    python3 scripts/check_links.py [--root DIR] [FILE.md ...]
"""
import argparse
import glob
import os
import re
import sys

LINK = re.compile(r"!?\[((?:[^\[\]]|\[[^\[\]]*\])*)\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
FENCE = re.compile(r"^ {0,3}(```|~~~)")
HEADING = re.compile(r"^ {0,3}(#{1,6})\s+(.*?)\s*#*\s*$")
SCHEME = re.compile(r"^[a-zA-Z][a-zA-Z0-9+.-]*:")


def prose(lines):
    """The lines with code blocks blanked, so that line numbers stay. An
    indented block starts after a blank line and runs over blank lines to the
    first line indented less than four spaces."""
    out, fenced, indented, previous_blank = [], False, False, True
    for line in lines:
        if FENCE.match(line):
            fenced = not fenced
            out.append("")
            continue
        if fenced or not line.strip():
            out.append("")
            previous_blank = previous_blank or not fenced
            continue
        indented = line.startswith("    ") and (previous_blank or indented)
        out.append("" if indented else line)
        previous_blank = False
    return out


def without_code_spans(text):
    """Blanks `code spans` (which may run over a line break) but keeps newlines."""
    return re.sub(r"`[^`]*`", lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def slug(heading):
    text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link's text only
    text = text.lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors(path, cache):
    if path not in cache:
        with open(path, encoding="utf-8") as f:
            lines = prose(f.read().splitlines())
        seen, found = {}, set()
        for line in lines:
            match = HEADING.match(line)
            if not match:
                continue
            base = slug(match.group(2))
            count = seen.get(base, 0)
            seen[base] = count + 1
            found.add(base if count == 0 else f"{base}-{count}")
        for line in lines:
            found.update(re.findall(r"<a\s+(?:id|name)=\"([^\"]+)\"", line))
        cache[path] = found
    return cache[path]


def check(path, root, cache):
    """The broken links of one page, as (line, target, why)."""
    with open(path, encoding="utf-8") as f:
        text = without_code_spans("\n".join(prose(f.read().splitlines())))
    broken = []
    for match in LINK.finditer(text):
        target = match.group(2)
        line = text.count("\n", 0, match.start()) + 1
        if not target or SCHEME.match(target) or target.startswith("//"):
            if not target:
                broken.append((line, target, "an empty link"))
            continue
        file_part, _, anchor = target.partition("#")
        dest = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
        if os.path.commonpath([os.path.abspath(dest), root]) != root:
            broken.append((line, target, "leads outside the project"))
        elif not os.path.exists(dest):
            broken.append((line, target, "no such file"))
        elif anchor and not dest.endswith(".md"):
            broken.append((line, target, "an anchor into a file that is not a Markdown page"))
        elif anchor and anchor not in anchors(dest, cache):
            broken.append((line, target, "no such heading in " + os.path.relpath(dest, root)))
    return broken


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    here = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--root", default=here, help="the project folder (default: this one)")
    parser.add_argument("files", nargs="*", help="pages to check (default: README.md, docs/*.md)")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    files = args.files or [os.path.join(root, "README.md")] + sorted(
        glob.glob(os.path.join(root, "docs", "*.md")))
    cache, failures = {}, 0
    for path in files:
        path = os.path.abspath(path)
        if not os.path.isfile(path):
            print(f"{os.path.relpath(path, root)}: no such page", file=sys.stderr)
            failures += 1
            continue
        for line, target, why in check(path, root, cache):
            print(f"{os.path.relpath(path, root)}:{line}: ({target}) {why}", file=sys.stderr)
            failures += 1
    if failures:
        print(f"{failures} broken link(s)", file=sys.stderr)
        return 1
    print(f"links checked in {len(files)} page(s)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
