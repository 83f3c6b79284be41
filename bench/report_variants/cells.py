#!/usr/bin/python3
"""Compares two reports of the table cell by cell: each cell's text (spaces kept) and its
colour, taken from the cell's style or class, else from its row's. Prints the first
differences and exits 1 when there are any.
Usage: cells.py QUILLET_REPORT JINJA2_REPORT"""
import sys
from html.parser import HTMLParser


def colour(attrs):
    a = {k.lower(): (v or '') for k, v in attrs}
    style = a.get('style', '').replace(' ', '').rstrip(';')
    return (style + '|' + a.get('class', '')) if style or a.get('class') else None


class Cells(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.cells, self.row, self.cur = [], None, None

    def handle_starttag(self, tag, attrs):
        if tag == 'tr':
            self.row = colour(attrs)
        elif tag in ('td', 'th'):
            self.cur = [colour(attrs) or self.row, '']
            self.cells.append(self.cur)

    def handle_endtag(self, tag):
        if tag in ('td', 'th'):
            self.cur = None

    def handle_data(self, data):
        if self.cur is not None:
            self.cur[1] += data


def read(path):
    p = Cells()
    with open(path, encoding='latin-1') as f:
        p.feed(f.read())
    return p.cells


def main():
    q, j = read(sys.argv[1]), read(sys.argv[2])
    bad = [(i, a, b) for i, (a, b) in enumerate(zip(q, j)) if a != b]
    if len(q) != len(j):
        print('%s: %d cells, %s: %d cells' % (sys.argv[1], len(q), sys.argv[2], len(j)))
    for i, a, b in bad[:5]:
        print('cell %d: quillet %r, jinja2 %r' % (i, a, b))
    sys.exit(1 if bad or len(q) != len(j) else 0)


if __name__ == '__main__':
    main()
