#!/usr/bin/env python3
"""Prints a page of `otcull view` with its packed data inflated in place, so
that two pages can be compared as text: page_text.py PAGE"""
import base64
import re
import sys
import zlib


def inflate(match):
    data = zlib.decompress(base64.b64decode(match.group(2)), 47).decode("utf-8")
    return match.group(1) + data + match.group(3)


page = open(sys.argv[1], encoding="utf-8").read()
sys.stdout.write(re.sub(r'(<script[^>]*id="otcull-data-packed"[^>]*>)([^<]*)(</script>)',
                        inflate, page))
