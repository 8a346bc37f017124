#!/usr/bin/python3
"""Writes a large preparation document and a small data file for it, to
measure what `zelcraft apply` needs to read a document.

  large_document.py chain N DIR   N derived fields, each adding 1 to the one before
  large_document.py star N DIR    N derived fields, each adding 1 to the input
  large_document.py maps MB DIR   derived fields with category maps of 10,000 rows
                                  each, until the document holds about MB megabytes
  large_document.py attributes N DIR  one derived field whose FieldRef has N attributes
  large_document.py value MB DIR  a category of MB megabytes in the data dictionary
  large_document.py nested N DIR  one derived field of N sums nested in one another
  large_document.py report-chain N DIR  a chain of N rescaled fields as the report
                                  reads it (actions, sources), every one reported
  large_document.py report-star N DIR   N rescaled fields of the input, every one reported

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


def reported_field(name, source):
    return ('    <DerivedField name="%s" optype="continuous" dataType="double">\n'
            '      <Extension extender="zelcraft.dev"><Action stepKey="ContinuousFeatures" '
            'reasonKey="TransformZscore"/><UsageType value="enable"/>'
            '<SourceField value="%s"/></Extension>\n'
            '      <Apply function="*"><FieldRef field="%s"/><Constant dataType="double">2'
            '</Constant></Apply>\n'
            '    </DerivedField>\n' % (name, source, source))


def reported_list(names):
    return ('  <Extension><Zelcraft><Summary><VariableSummary>\n%s'
            '  </VariableSummary></Summary></Zelcraft></Extension>\n'
            % ''.join('    <FieldRef field="%s"/>\n' % name for name in names))


def odd_field(kind, count):
    """The one field of the kinds that strain the parser rather than the engine."""
    if kind == 'attributes':
        extra = ''.join(' a%d="1"' % i for i in range(1, count))
        return ('    <DerivedField name="d" optype="continuous" dataType="double">'
                '<FieldRef field="x"%s/></DerivedField>\n' % extra)
    if kind == 'nested':
        return ('    <DerivedField name="d" optype="continuous" dataType="double">'
                + '<Apply function="+">' * count + '<FieldRef field="x"/>'
                + '<Constant>1</Constant></Apply>' * count + '</DerivedField>\n')
    return ''


def main():
    kinds = ('chain', 'star', 'maps', 'attributes', 'value', 'nested', 'report-chain',
             'report-star')
    if len(sys.argv) != 4 or sys.argv[1] not in kinds:
        sys.exit(__doc__)
    kind, count, directory = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    with open(os.path.join(directory, 'document.pmml'), 'w') as out:
        head = HEAD
        if kind == 'value':
            head = head.replace('dataType="string"/>', 'dataType="string">'
                                '<Value value="%s"/></DataField>' % ('v' * (count * 1000000)))
        out.write(head)
        if kind in ('attributes', 'nested'):
            out.write(odd_field(kind, count))
        elif kind == 'maps':
            written, k = len(HEAD), 0
            while written < count * 1000000:
                field = map_field('m%d' % k, 10000)
                out.write(field)
                written += len(field)
                k += 1
        else:
            for i in range(1, count + 1):
                source = 'x' if kind.endswith('star') or i == 1 else 'd%d' % (i - 1)
                make = reported_field if kind.startswith('report') else sum_field
                out.write(make('d%d' % i, source))
        if kind.startswith('report'):
            out.write(TAIL.replace('</PMML>', reported_list(
                ['d%d' % i for i in range(1, count + 1)]) + '</PMML>'))
        else:
            out.write(TAIL)
    with open(os.path.join(directory, 'data.csv'), 'w') as out:
        out.write('x,c\n1.5,category 7\n,category 12345\n-2,other\n')


if __name__ == '__main__':
    main()
