#!/usr/bin/python3
"""The manual's page builder: chapter order, where the command chapter goes,
unique ids, and what becomes of links and pictures. Run by the Windows stage."""
import pathlib
import re
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "scripts" / "manual"))
import manual_html  # noqa: E402

COMMANDS = "# Every command\n\n## OT_Hide(node) {#OT_Hide}\n"
PNG = b"\x89PNG\r\n\x1a\n"


class ManualPage(unittest.TestCase):
    def page(self, files):
        folder = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        (folder / "manual").mkdir()
        for name, text in files.items():
            (folder / "manual" / name).write_bytes(text if isinstance(text, bytes) else text.encode())
        (folder / "commands.md").write_text(COMMANDS)
        (folder / "style.css").write_text("body {}\n")
        return manual_html.build("1.2.3", folder / "manual", folder / "commands.md",
                                 folder / "style.css")

    def test_order_and_command_chapter(self):
        cases = [
            ({"02-b.md": "# B\n", "01-a.md": "# A\n"}, ["A", "B", "Every command"]),
            ({"README.md": "[b](02-b.md), then `03-commands.md`, then 01-a.md",
              "01-a.md": "# A\n", "02-b.md": "# B\n", "04-c.md": "# C\n"},
             ["B", "Every command", "A", "C"]),
            ({}, ["Every command"]),
        ]
        for files, order in cases:
            with self.subTest(files=list(files)):
                page = self.page(files)
                titles = re.findall(r"<h1[^>]*>([^<]*)</h1>", page)
                self.assertEqual(titles, ["Contents"] + order)

    def test_links_pictures_and_shared_ids(self):
        page = self.page({"01-a.md": "# A\n## Handles\n[b](02-b.md) [h](02-b.md#handles) "
                                     "[own](#handles) [x](03-commands.md#OT_Hide)\n"
                                     "![p](p.png) <img src=\"p.png\">\n",
                          "02-b.md": "# B\n## Handles\n",
                          "README.md": "01-a.md 02-b.md 03-commands.md", "p.png": PNG})
        self.assertEqual(page.count('id="handles"'), 1)
        self.assertIn('id="02-b-handles"', page)
        for link in ['href="#02-b"', 'href="#02-b-handles"', 'href="#handles"', 'href="#OT_Hide"',
                     'href="#02-b-handles">Handles']:
            self.assertIn(link, page)
        self.assertEqual(page.count('src="data:image/png;base64,'), 2)
        self.assertNotRegex(page, "https?://")

    def test_what_the_page_cannot_hold_stops_the_build(self):
        for line in ["[w](https://example.org)", "[r](../README.md)", "![m](missing.svg)",
                     "[w]: http://example.org\n[w][w]", "[n](02-b.md#nowhere)", "[n](#nowhere)"]:
            with self.subTest(line=line), self.assertRaises(manual_html.ManualError):
                self.page({"01-a.md": line + "\n", "02-b.md": "# B\n"})


if __name__ == "__main__":
    unittest.main()
