#!/usr/bin/env python3
"""Every relative Markdown link in the given files points at a file that exists, and every
#anchor at a heading of that file as GitHub spells it.

    scripts/check-doc-links.py README.md docs/*.md
"""
import os, re, sys

def slugs(path):
    out, seen, fence = set(), {}, False
    for line in open(path, encoding='utf-8'):
        if line.lstrip().startswith('```'):
            fence = not fence
            continue
        m = None if fence else re.match(r'^(#{1,6})\s+(.*?)\s*#*\s*$', line)
        if not m:
            continue
        text = re.sub(r'\[([^\]]*)\]\([^)]*\)', r'\1', m.group(2))
        s = text.strip().lower()
        s = re.sub(r'[^\w\- ]', '', s)  # GitHub keeps letters, digits, _, - and spaces
        s = s.replace(' ', '-')
        n = seen.get(s, 0)
        seen[s] = n + 1
        out.add(s if n == 0 else f'{s}-{n}')
    return out

def links(path):
    fence = False
    for no, line in enumerate(open(path, encoding='utf-8'), 1):
        if line.lstrip().startswith('```'):
            fence = not fence
            continue
        if fence:
            continue
        line = re.sub(r'`[^`]*`', '', line)
        for target in re.findall(r'\]\(([^)\s]+)\)', line):
            yield no, target

bad = checked = 0
files = sys.argv[1:]
for f in files:
    for no, t in links(f):
        if re.match(r'^[a-z]+:', t):
            continue
        checked += 1
        path, _, anchor = t.partition('#')
        target = os.path.normpath(os.path.join(os.path.dirname(f), path)) if path else f
        if not os.path.exists(target):
            print(f'{f}:{no}: missing file {t}'); bad += 1; continue
        if anchor and target.endswith('.md') and anchor not in slugs(target):
            print(f'{f}:{no}: no heading for #{anchor} in {target}'); bad += 1
print(f'{checked} links checked, {bad} broken')
sys.exit(1 if bad else 0)
