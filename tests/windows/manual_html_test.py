#!/usr/bin/python3
"""The manual's page builder: chapter order, where the command chapter goes,
and what becomes of links and pictures. Run by the Windows stage."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "scripts" / "manual"))
import manual_html  # noqa: E402

COMMANDS = "# Every command {#commands}\n\n## OT_Hide(node) {#OT_Hide}\n"
PNG = b"\x89PNG\r\n\x1a\n"


class ManualPage(unittest.TestCase):
    def chapters(self, files):
        folder = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory()))
        for name, text in files.items():
            (folder / name).parent.mkdir(parents=True, exist_ok=True)
            data = text if isinstance(text, bytes) else text.encode()
            (folder / name).write_bytes(data)
        return folder

    def text(self, files):
        return manual_html.manual_text(self.chapters(files), COMMANDS)

    def test_order_and_command_chapter(self):
        cases = [
            ({"02-b.md": "# B\n", "01-a.md": "# A\n"}, ["# A", "# B", "# Every command"]),
            ({"README.md": "[b](02-b.md) [a](01-a.md)", "01-a.md": "# A\n", "02-b.md": "# B\n",
              "03-c.md": "# C\n"}, ["# B", "# A", "# C", "# Every command"]),
            ({"01-a.md": "# A\n", "02-commands.md": "# Intro\n", "03-c.md": "# C\n"},
             ["# A", "# Intro", "# Every command", "# C"]),
            ({"01-a.md": "# A\n<!-- command pages -->\n# After\n", "02-commands.md": "# X\n"},
             ["# A", "# Every command", "# After", "# X"]),
            ({}, ["# Every command"]),
        ]
        for files, order in cases:
            with self.subTest(files=list(files)):
                text = self.text(files)
                found = [text.index(title) for title in order]
                self.assertEqual(found, sorted(found))
                self.assertEqual(text.count("# Every command"), 1)

    def test_links_stay_inside_the_page(self):
        text = self.text({"01-a.md": "[b](02-b.md) [h](02-b.md#hide) [c](#commands)\n"
                                     "![p](pics/p.png) <img src=\"pics/p.png\">\n",
                          "02-b.md": "# B\n", "pics/p.png": PNG})
        self.assertIn("[b](#02-b)", text)
        self.assertIn("[h](#hide)", text)
        self.assertIn("[c](#commands)", text)
        self.assertEqual(text.count("data:image/png;base64,"), 2)

    def test_what_the_page_cannot_hold_stops_the_build(self):
        for line in ["[w](https://example.org)", "[r](../README.md)", "![m](missing.svg)",
                     "[w]: http://example.org"]:
            with self.subTest(line=line), self.assertRaises(manual_html.ManualError):
                self.text({"01-a.md": line + "\n"})

    def test_page_has_contents_and_no_web_address(self):
        folder = self.chapters({"manual/01-a.md": "# A\n\n## Part\n", "style.css": "body {}\n",
                                "commands.md": COMMANDS})
        page = manual_html.build("1.2.3", folder / "manual", folder / "commands.md",
                                 folder / "style.css")
        self.assertIn('<nav id="contents">', page)
        self.assertIn('<a href="#part">Part</a>', page)
        self.assertIn('<h2 id="OT_Hide">', page)
        self.assertNotRegex(page, "https?://")


if __name__ == "__main__":
    unittest.main()
