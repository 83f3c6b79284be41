#!/usr/bin/python3
"""Writes the 10,000 x 8 table of bench/report_bench.sh in several ways a user would write it,
each as a quillet template (NAME.html) and the Jinja2 template a user would write for the same
table (NAME.j2), into OUT.
Usage: variants.py OUT ROWS"""
import os, sys

T = 1700000000

# Each variant: the VAR lines, the row's eight cells (a directive body per cell, {rows} marks
# where the first cell's ROWS goes) and the options that shape it.
HEAD = '<!DOCTYPE html>\n<HTML><HEAD><TITLE>Big table report</TITLE>\n{vars}</HEAD><BODY><TABLE>\n' \
       '<TR><TH>Row</TH><TH>Channel</TH><TH>V0</TH><TH>V1</TH><TH>V2</TH><TH>V3</TH><TH>V4</TH><TH>V5</TH></TR>\n'
TAIL = '</TR></TABLE></BODY></HTML>\n'


def var(name, value):
    return '<!--$VX VAR NAME=%s VALUE=%%{%s}%%-->\n' % (name, value)


# The pieces a user may write differently; `opts` picks one form of each.
def base_vars(o):
    out = ''
    if o.get('int_time'):
        out += var('T', str(T))
        base = '(@T - 60 * ROW()) * 3.0'
    else:
        base = '(%d.0 - 60 * ROW()) * 3' % T
    wrap = 'u = u - FLOOR(u / 4294967296.0) * 4294967296.0; u - FLOOR(u / 100) * 100;'
    if o.get('recompute'):
        out += var('v', 'var u = ARGS[0] * 7 + %s; %s' % (base, wrap))
        out += var('hot', 'var w = %s; w = w - FLOOR(w / 4294967296.0) * 4294967296.0; '
                          'w - FLOOR(w / 100) * 100 >= 50;' % base)
    else:
        out += var('base', base)
        out += var('v', 'var u = ARGS[0] * 7 + @base; ' + wrap)
        out += var('hot', '@v(0) >= 50')
    colour = o.get('colour', 'if')
    if colour == 'IF':
        out += var('bg', 'IF(@v(0), ">=", 50, "%s", "%s")' % bg_pair(o))
    elif colour == 'if':
        out += var('bg', 'if @hot then "%s" else "%s"' % bg_pair(o))
    elif colour == 'list':
        out += var('colours', 'LIST("%s", "%s")' % tuple(reversed(bg_pair(o))))
        out += var('bg', '@colours[INT(@v(0) / 50)]')
    return out


def bg_pair(o):
    if o.get('style') == 'text':
        return ('background-color: red', 'background-color: white')
    if o.get('style') == 'class':
        return ('hot', 'cold')
    return ('red', 'white')


def colour_prop(o):
    return {'text': 'ATTR.STYLE=%{@bg}%', 'prop': '"STYLE.background-color"=%{@bg}%',
            'class': 'ATTR.CLASS=%{@bg}%'}[o.get('style', 'text')]


def cells(o):
    row = 'ROW()'
    chan = '"CH" + INT(ROW() % 6)' if o.get('int_mod') else '"CH" + ROW() % 6'
    if o.get('timestr'):
        chan = 'TIMESTR("%%Y-%%m-%%d %%H:%%M", %d - 60 * ROW())' % T
    fmt = '%8.2f' if o.get('timestr') else '%.2f'
    values = ['FORMAT("%s", @v(%d))' % (fmt, k) for k in range(6)]
    return [row, chan] + values


def quillet_template(o, rows):
    prop = colour_prop(o)
    out = HEAD.format(vars=base_vars(o)) + '<TR>'
    for i, value in enumerate(cells(o)):
        rows_prop = 'ROWS=%%{%d}%%\r\n ' % rows if i == 0 or o.get('rows_everywhere') else ''
        out += '<TD><!--$VX ELT %sVALUE=%%{%s}%%\r\n %s--></TD>' % (rows_prop, value, prop)
    return out + TAIL


def jinja_template(o, rows):
    """The same table as a Jinja2 user writes it: the row's numbers computed once per row."""
    style = o.get('style', 'text')
    attr = {'text': ' style="background-color: {{ bg }}"', 'prop': ' style="background-color: {{ bg }}"',
            'class': ' class="{{ bg }}"'}[style]
    hot, cold = ('hot', 'cold') if style == 'class' else ('red', 'white')
    chan = "{{ r | timestr('%Y-%m-%d %H:%M') }}" if o.get('timestr') else 'CH{{ r % 6 }}'
    fmt = '%8.2f' if o.get('timestr') else '%.2f'
    chan_cell = chan if not o.get('timestr') else "{{ (T - 60*r) | timestr('%Y-%m-%d %H:%M') }}"
    return (
        '<!DOCTYPE html>\n<html><head><title>Big table report</title></head><body><table>\n'
        '<tr><th>Row</th><th>Channel</th>{% for k in range(6) %}<th>V{{ k }}</th>{% endfor %}</tr>\n'
        '{% for r in range(' + str(rows) + ') %}\n'
        '{% set base = (T - 60*r)*3 %}\n'
        "{% set bg = '" + hot + "' if base % 4294967296 % 100 >= 50 else '" + cold + "' %}\n"
        '<tr><td' + attr + '>{{ r }}</td><td' + attr + '>' + chan_cell + '</td>'
        '{% for k in range(6) %}<td' + attr + ">{{ '" + fmt + "' % ((k*7 + base) % 4294967296 % 100) }}</td>"
        '{% endfor %}</tr>\n{% endfor %}\n</table></body></html>\n')


ALL = dict(int_time=1, recompute=1, colour='if', style='prop', rows_everywhere=1, int_mod=1)
VARIANTS = {
    'bench': dict(colour='IF', style='text'),
    'style_props': dict(colour='IF', style='prop'),
    'if_then_else': dict(colour='if', style='text'),
    'int_time': dict(colour='IF', style='text', int_time=1),
    'rows_everywhere': dict(colour='IF', style='text', rows_everywhere=1),
    'int_mod': dict(colour='IF', style='text', int_mod=1),
    'recompute': dict(colour='if', style='text', recompute=1),
    'all_together': ALL,
    'classes': dict(colour='if', style='class'),
    'list_colours': dict(colour='list', style='prop'),
    'timestr_format': dict(colour='IF', style='prop', timestr=1),
}


def main():
    out, rows = sys.argv[1], int(sys.argv[2])
    os.makedirs(out, exist_ok=True)
    for name, o in VARIANTS.items():
        with open(os.path.join(out, name + '.html'), 'w', newline='') as f:
            f.write(quillet_template(o, rows))
        with open(os.path.join(out, name + '.j2'), 'w') as f:
            f.write(jinja_template(o, rows))
    print(' '.join(VARIANTS))


if __name__ == '__main__':
    main()
