#!/usr/bin/python3
"""Builds manual.html, the one page the Windows archive's readers get: the
chapters in docs/manual/*.md (in the order docs/manual/README.md links them,
then any others by file name) and the chapter on every command, written from
the command table, with a table of contents, the style sheet and every
picture inside the page. It makes no network request: a web address in the
text, or a link or picture that the page cannot hold, stops the build.

The command chapter takes the place of a line `<!-- command pages -->` in a
chapter; without one it follows the chapter whose file name says "command",
or else closes the manual.

Usage: manual_html.py VERSION CHAPTER-DIR COMMANDS.md STYLE.css OUT.html
Needs Debian's python3-markdown (scripts/packages/windows.txt)."""
import base64
import html
import pathlib
import re
import sys

import markdown

COMMAND_MARK = "<!-- command pages -->"
PICTURES = {".svg": "image/svg+xml", ".png": "image/png", ".jpg": "image/jpeg",
            ".jpeg": "image/jpeg", ".gif": "image/gif"}
WEB = re.compile(r"https?://", re.IGNORECASE)


class ManualError(Exception):
    pass


def chapter_files(folder):
    if not folder.is_dir():
        return []
    files = sorted(p for p in folder.glob("*.md") if p.name != "README.md")
    index = folder / "README.md"
    if not index.is_file():
        return files
    named = []
    for target in re.findall(r"\]\(([^)#\s]+\.md)", index.read_text(encoding="utf-8")):
        path = folder / target
        if path in files and path not in named:
            named.append(path)
    return named + [p for p in files if p not in named]


def data_uri(path):
    kind = PICTURES.get(path.suffix.lower())
    if kind is None or not path.is_file():
        raise ManualError(f"picture {path} is missing or of a kind the page cannot hold")
    return f"data:{kind};base64," + base64.b64encode(path.read_bytes()).decode("ascii")


def rewrite_target(target, folder, chapters, is_picture):
    """Where a link or picture in a chapter in `folder` points within the page."""
    if WEB.match(target):
        raise ManualError(f"web address {target}: the manual must stand alone")
    if target.startswith("#") or target.startswith("data:"):
        return target
    path, _, fragment = target.partition("#")
    resolved = (folder / path).resolve()
    if is_picture:
        return data_uri(resolved)
    if resolved in chapters:
        return "#" + (fragment or chapters[resolved])
    raise ManualError(f"link to {target}, which is not part of the manual")


def rewrite_links(text, folder, chapters, name):
    def inline(match):
        target = rewrite_target(match.group(3), folder, chapters, match.group(1) == "!")
        return f"{match.group(1)}[{match.group(2)}]({target}{match.group(4) or ''})"

    def reference(match):
        return match.group(1) + rewrite_target(match.group(2), folder, chapters, False)

    def raw_picture(match):
        return match.group(1) + rewrite_target(match.group(2), folder, chapters, True) + '"'

    try:
        text = re.sub(r'(!?)\[([^\]]*)\]\(([^)\s]+)(\s+"[^"]*")?\)', inline, text)
        text = re.sub(r"(?m)^( {0,3}\[[^\]]+\]:\s*)(\S+)", reference, text)
        return re.sub(r'(<img\b[^>]*\bsrc=")([^"]+)"', raw_picture, text)
    except ManualError as error:
        raise ManualError(f"{name}: {error}") from None


def manual_text(chapter_dir, commands):
    files = chapter_files(chapter_dir)
    chapters = {p.resolve(): p.stem for p in files}
    parts = []
    placed = False
    for path in files:
        text = rewrite_links(path.read_text(encoding="utf-8"), path.parent, chapters, path.name)
        if COMMAND_MARK in text:
            text = text.replace(COMMAND_MARK, commands, 1)
            placed = True
        parts.append(f'<a id="{path.stem}"></a>\n\n{text}')
        if not placed and "command" in path.stem.lower():
            parts.append(commands)
            placed = True
    if not placed:
        parts.append(commands)
    return "\n\n".join(parts)


def contents(tokens):
    """Chapters with their sections; a chapter of many sections (the
    commands) lists them on one line."""
    items = []
    for chapter in tokens:
        link = f'<a href="#{chapter["id"]}">{chapter["name"]}</a>'
        sections = [f'<a href="#{s["id"]}">{s["name"]}</a>' for s in chapter["children"]]
        if len(sections) > 20:
            link += f'<p class="index">{" · ".join(sections)}</p>'
        elif sections:
            link += "<ul>" + "".join(f"<li>{s}</li>" for s in sections) + "</ul>"
        items.append(f"<li>{link}</li>")
    return '<nav id="contents"><h1>Contents</h1><ol>' + "".join(items) + "</ol></nav>"


def build(version, chapter_dir, commands_file, style_file):
    text = manual_text(chapter_dir, commands_file.read_text(encoding="utf-8"))
    md = markdown.Markdown(extensions=["tables", "fenced_code", "attr_list", "sane_lists", "toc"],
                          extension_configs={"toc": {"toc_depth": "1-2"}})
    body = md.convert(text)
    title = html.escape(f"TarvoCulling {version}: the manual")
    page = ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            f"<title>{title}</title>\n<style>\n{style_file.read_text(encoding='utf-8')}</style>\n"
            f"</head>\n<body>\n<header><p class=\"title\">{title}</p></header>\n"
            f"{contents(md.toc_tokens)}\n<main>\n{body}\n</main>\n</body>\n</html>\n")
    if WEB.search(page):
        raise ManualError("the page names a web address")
    return page


def main(argv):
    if len(argv) != 6:
        sys.stderr.write(__doc__)
        return 2
    version, chapter_dir, commands, style, out = argv[1:]
    try:
        page = build(version, pathlib.Path(chapter_dir), pathlib.Path(commands), pathlib.Path(style))
    except ManualError as error:
        sys.stderr.write(f"manual_html: {error}\n")
        return 1
    pathlib.Path(out).write_text(page, encoding="utf-8", newline="\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
