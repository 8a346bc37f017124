#!/usr/bin/python3
"""Writes a large preparation document and a small data file for it, to
measure what `zelcraft apply` needs to read a document.

  large_document.py chain N DIR   N derived fields, each adding 1 to the one before
  large_document.py star N DIR    N derived fields, each adding 1 to the input
  large_document.py maps MB DIR   derived fields with category maps of 10,000 rows
                                  each, until the document holds about MB megabytes

DIR receives document.pmml and data.csv (three rows of the inputs)."""
import os
import sys

HEAD = ('<?xml version="1.0" encoding="UTF-8"?>\n'
        '<PMML version="4.0" xmlns="http://www.dmg.org/PMML-4_0">\n'
        '  <Header copyright="generated"/>\n'
        '  <DataDictionary numberOfFields="2">\n'
        '    <DataField name="x" optype="continuous" dataType="double"/>\n'
        '    <DataField name="c" optype="categorical" dataType="string"/>\n'
        '  </DataDictionary>\n'
        '  <TransformationDictionary>\n')
TAIL = '  </TransformationDictionary>\n</PMML>\n'


def sum_field(name, source):
    return ('    <DerivedField name="%s" optype="continuous" dataType="double">\n'
            '      <Apply function="+">\n'
            '        <FieldRef field="%s"/>\n'
            '        <Constant dataType="double">1</Constant>\n'
            '      </Apply>\n'
            '    </DerivedField>\n' % (name, source))


def map_field(name, rows):
    parts = ['    <DerivedField name="%s" optype="categorical" dataType="string">\n'
             '      <MapValues outputColumn="to" mapMissingTo="missing">\n'
             '        <FieldColumnPair field="c" column="from"/>\n'
             '        <InlineTable>\n' % name]
    for r in range(rows):
        parts.append('          <row><from>category %d</from><to>group %d</to></row>\n'
                     % (r, r % 97))
    parts.append('        </InlineTable>\n      </MapValues>\n    </DerivedField>\n')
    return ''.join(parts)


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in ('chain', 'star', 'maps'):
        sys.exit(__doc__)
    kind, count, directory = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(os.path.join(directory, 'document.pmml'), 'w') as out:
        out.write(HEAD)
        if kind == 'maps':
            written, k = len(HEAD), 0
            while written < count * 1000000:
                field = map_field('m%d' % k, 10000)
                out.write(field)
                written += len(field)
                k += 1
        else:
            for i in range(1, count + 1):
                source = 'x' if kind == 'star' or i == 1 else 'd%d' % (i - 1)
                out.write(sum_field('d%d' % i, source))
        out.write(TAIL)
    with open(os.path.join(directory, 'data.csv'), 'w') as out:
        out.write('x,c\n1.5,category 7\n,category 12345\n-2,other\n')


if __name__ == '__main__':
    main()
