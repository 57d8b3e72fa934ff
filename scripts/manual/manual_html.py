#!/usr/bin/python3
"""Builds manual.html, the one page the Windows archive's readers get: the
chapters in docs/manual/*.md and the chapter on every command, written from
the command table, with a table of contents, the style sheet and every
picture inside the page. It makes no network request: a web address, or a
link or picture that the page cannot hold, stops the build, as does a link
to a heading that is not there.

The chapters come in the order docs/manual/README.md names them (NN-name.md,
as a link or not), then any others by file name. The command chapter takes
the place of a name there that has "command" in it and no file; without one
it closes the manual. Each chapter is rendered on its own, so a link
`NN-name.md#heading` finds its heading as on a forge; an id that two
chapters share is kept by the first and given the chapter's name as a prefix
in the others.

Usage: manual_html.py VERSION CHAPTER-DIR COMMANDS.md STYLE.css OUT.html
Needs Debian's python3-markdown (scripts/packages/windows.txt)."""
import base64
import html
import pathlib
import re
import sys

import markdown

PICTURES = {".svg": "image/svg+xml", ".png": "image/png", ".jpg": "image/jpeg",
            ".jpeg": "image/jpeg", ".gif": "image/gif"}
WEB = re.compile(r"https?://", re.IGNORECASE)
CHAPTER_NAME = re.compile(r"\b(\d+-[A-Za-z0-9_-]+\.md)\b")
EXTENSIONS = ["tables", "fenced_code", "attr_list", "sane_lists", "toc"]


class ManualError(Exception):
    pass


class Chapter:
    def __init__(self, name, folder, text):
        self.name = name          # NN-name.md, how other chapters link to it
        self.anchor = pathlib.Path(name).stem
        self.folder = folder      # where its pictures are found
        md = markdown.Markdown(extensions=EXTENSIONS,
                               extension_configs={"toc": {"toc_depth": "1-2"}})
        self.html = md.convert(text)
        self.tokens = md.toc_tokens
        self.ids = re.findall(r'\sid="([^"]+)"', self.html)
        self.renamed = {}


def chapter_order(folder):
    """Chapter file names in order, and where the command chapter goes."""
    files = sorted(p.name for p in folder.glob("*.md") if p.name != "README.md")
    index = folder / "README.md"
    named = []
    if index.is_file():
        for name in CHAPTER_NAME.findall(index.read_text(encoding="utf-8")):
            if name not in named and (name in files or "command" in name):
                named.append(name)
    order = named + [name for name in files if name not in named]
    slot = next((name for name in order if name not in files), None)
    return order, slot


def read_chapters(folder, commands):
    order, slot = chapter_order(folder) if folder.is_dir() else ([], None)
    chapters = []
    for name in order:
        if name == slot:
            chapters.append(Chapter(name, folder, commands))
        else:
            chapters.append(Chapter(name, folder, (folder / name).read_text(encoding="utf-8")))
    if slot is None:
        chapters.append(Chapter("commands.md", folder, commands))
    return chapters


def make_ids_unique(chapters):
    seen = {chapter.anchor for chapter in chapters}
    for chapter in chapters:
        for id_ in chapter.ids:
            chapter.renamed[id_] = id_ if id_ not in seen else f"{chapter.anchor}-{id_}"
            seen.add(chapter.renamed[id_])


def data_uri(path):
    kind = PICTURES.get(path.suffix.lower())
    if kind is None or not path.is_file():
        raise ManualError(f"picture {path.name} is missing or of a kind the page cannot hold")
    return f"data:{kind};base64," + base64.b64encode(path.read_bytes()).decode("ascii")


def link_target(target, chapter, by_name):
    if WEB.match(target):
        raise ManualError(f"web address {target}: the manual must stand alone")
    name, _, fragment = target.partition("#")
    into = by_name.get(name) if name else chapter
    if into is None:
        raise ManualError(f"link to {target}, which is not part of the manual")
    if not fragment:
        return "#" + into.anchor
    if fragment not in into.renamed:
        raise ManualError(f"link to {target}, a heading that {into.name} does not have")
    return "#" + into.renamed[fragment]


def page_html(chapter, by_name):
    """The chapter's HTML with its ids made unique, its links pointing into
    the page and its pictures inside it."""
    def id_(match):
        return f' id="{chapter.renamed[match.group(1)]}"'

    def link(match):
        return f'href="{link_target(html.unescape(match.group(1)), chapter, by_name)}"'

    def picture(match):
        target = html.unescape(match.group(1))
        if WEB.match(target):
            raise ManualError(f"picture {target}: the manual must stand alone")
        return f'src="{target if target.startswith("data:") else data_uri(chapter.folder / target)}"'

    try:
        text = re.sub(r'\sid="([^"]+)"', id_, chapter.html)
        text = re.sub(r'href="([^"]*)"', link, text)
        text = re.sub(r'src="([^"]*)"', picture, text)
    except ManualError as error:
        raise ManualError(f"{chapter.name}: {error}") from None
    return f'<section id="{chapter.anchor}">\n{text}\n</section>'


def contents(chapters):
    """Chapters with their sections; a chapter of many sections (the
    commands) lists them on one line."""
    items = []
    for chapter in chapters:
        for top in chapter.tokens:
            link = f'<a href="#{chapter.renamed[top["id"]]}">{top["name"]}</a>'
            sections = [f'<a href="#{chapter.renamed[s["id"]]}">{s["name"]}</a>'
                        for s in top["children"]]
            if len(sections) > 20:
                link += f'<p class="index">{" · ".join(sections)}</p>'
            elif sections:
                link += "<ul>" + "".join(f"<li>{s}</li>" for s in sections) + "</ul>"
            items.append(f"<li>{link}</li>")
    return '<nav id="contents"><h1>Contents</h1><ol>' + "".join(items) + "</ol></nav>"


def build(version, chapter_dir, commands_file, style_file):
    chapters = read_chapters(chapter_dir, commands_file.read_text(encoding="utf-8"))
    make_ids_unique(chapters)
    by_name = {chapter.name: chapter for chapter in chapters}
    body = "\n".join(page_html(chapter, by_name) for chapter in chapters)
    title = html.escape(f"TarvoCulling {version}: the manual")
    page = ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
            "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
            f"<title>{title}</title>\n<style>\n{style_file.read_text(encoding='utf-8')}</style>\n"
            f"</head>\n<body>\n<header><p class=\"title\">{title}</p></header>\n"
            f"{contents(chapters)}\n<main>\n{body}\n</main>\n</body>\n</html>\n")
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
