#!/usr/bin/env python3
"""Checks that every relative link in the project's Markdown files resolves.

    scripts/check-links.py [ROOT]

A link or image `[text](path)` or `[text](path#anchor)` must name a file or folder that exists,
relative to the file it is in; an anchor (also `#anchor` alone, within the same file) must be
the anchor of one of the target's headings, made as the repository's web view makes them
(lower case, punctuation dropped, spaces turned into hyphens, a repeated heading numbered -1,
-2...). Links to other sites are not followed. Code blocks and code spans are skipped. Prints
one line per broken link and exits with 1 when there is one.
"""
import os
import re
import sys

SKIPPED_FOLDERS = re.compile(r"^(\.|build|demo-data)")
LINK = re.compile(r"!?\[(?:[^\[\]]|\[[^\[\]]*\])*\]\(\s*<?([^()\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
HEADING = re.compile(r"^ {0,3}(#{1,6})\s+(.*?)\s*#*\s*$")
FENCE = re.compile(r"^ {0,3}(```|~~~)")


def markdown_files(root):
    for folder, subfolders, files in os.walk(root):
        subfolders[:] = sorted(s for s in subfolders if not SKIPPED_FOLDERS.match(s))
        for name in sorted(files):
            if name.endswith(".md"):
                yield os.path.join(folder, name)


def prose_lines(text):
    """The lines outside fenced and indented code blocks, code spans blanked out."""
    inside_fence = False
    previous_blank = True
    for line in text.split("\n"):
        if FENCE.match(line):
            inside_fence = not inside_fence
            yield ""
            continue
        indented_code = previous_blank and line.startswith("    ") and not line.lstrip().startswith(("-", "*", "|"))
        if inside_fence or indented_code:
            yield ""
            continue
        previous_blank = not line.strip()
        yield re.sub(r"`[^`]*`", "``", line)


def slug(heading):
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading)  # a link's text only
    text = re.sub(r"[`*_]", "", text).strip().lower()
    text = "".join(c for c in text if c.isalnum() or c in " -")
    return text.replace(" ", "-")


def anchors(path, cache={}):
    if path not in cache:
        found, seen = set(), {}
        with open(path, encoding="utf-8") as f:
            for line in prose_lines(f.read()):
                match = HEADING.match(line)
                if match:
                    base = slug(match.group(2))
                    count = seen.get(base, 0)
                    seen[base] = count + 1
                    found.add(base if count == 0 else f"{base}-{count}")
        cache[path] = found
    return cache[path]


def broken_links(path):
    with open(path, encoding="utf-8") as f:
        prose = "\n".join(prose_lines(f.read()))
    for match in LINK.finditer(prose):
        target = match.group(1)
        if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.IGNORECASE):
            continue  # another site, or mail
        file_part, _, anchor = target.partition("#")
        resolved = os.path.normpath(os.path.join(os.path.dirname(path), file_part)) if file_part else path
        line = prose.count("\n", 0, match.start()) + 1
        if not os.path.exists(resolved):
            yield line, target, "no such file"
        elif anchor and (not resolved.endswith(".md") or anchor not in anchors(resolved)):
            yield line, target, "no such heading"


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    root = os.path.normpath(root)
    broken = 0
    for path in markdown_files(root):
        for line, target, why in broken_links(path):
            print(f"{os.path.relpath(path, root)}:{line}: {target}: {why}")
            broken += 1
    return 1 if broken else 0


if __name__ == "__main__":
    sys.exit(main())
