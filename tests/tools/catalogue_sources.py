#!/usr/bin/python3
"""Holds every shipped row of 16037-80, 5264-80, 14771-76 and 8713-79 against the source file it
was taken from: designation, type, edges, seam character and every thickness cell, with only the
mends and omissions that data/README.md names. Usage: catalogue_sources.py KELVO_CATALOG DATA_DIR
SOURCES_DIR. Exits 77 (skipped) when the sources are not beside the repository."""
import csv
import json
import os
import subprocess
import sys

tool, data, sources = sys.argv[1:4]
if not os.path.isdir(sources):
    print('skipped: no %s' % sources)
    sys.exit(77)


def table(name):
    with open(os.path.join(sources, name), encoding='utf-8') as f:
        return list(csv.DictReader((l for l in f if not l.startswith('#')), delimiter='\t'))


def shipped(number):
    out = subprocess.run([tool, 'dump', '--data', os.path.join(data, number + '.dat')],
                         check=True, capture_output=True).stdout
    return {r['designation']: r for r in json.loads(out)['records']}


failures = []


def expect(number, want):
    """want: designation -> (type, edges, character, cells); every shipped row and no other."""
    got = shipped(number)
    for d in sorted(set(want) | set(got)):
        if d not in got:
            failures.append('%s %s: in the source, not shipped' % (number, d))
        elif d not in want:
            failures.append('%s %s: shipped, not in the source' % (number, d))
        else:
            r = got[d]
            have = (r['type'], r['edges'], r['character'], r['thickness'])
            if have != want[d]:
                failures.append('%s %s: shipped %r, the source gives %r' % (number, d, have, want[d]))


def plain(cell):
    return cell.replace(' [m]', '').strip()


# 16037-80: every row of the scan's Table 1, a dash as "-".
expect('16037-80', {
    r['designation']: (plain(r['joint_type']), plain(r['edge_form']), plain(r['weld_character']),
                       ['-' if plain(r[k]) == '—' else plain(r[k])
                        for k in ('ZP(ЗП)', 'ZN(ЗН)', 'R(Р)', 'F(Ф)', 'G(Г)')])
    for r in table('16037-80_table1_transcribed-from-scan.tsv')})

# 5264-80: the application's rows; Latin H and a misspelling mended, four designations left out.
left_out = {'T2', 'Т9', 'У4', 'У5'}
mended = {'H1': 'Н1', 'H2': 'Н2'}
expect('5264-80', {
    mended.get(r['name'], r['name']): (r['type'], r['edgeShape'].replace('симметичными', 'симметричными'),
                                       r['character'], ['%s-%s' % (r['widthMin'], r['widthMax'])])
    for r in table('efimenoshka_5264-80_table1-rows.tsv') if r['name'] not in left_out})


# 14771-76 and 8713-79: spans of the add-in's dimension rows, its enum words as the standard
# words them; a method without rows is "нет данных".
def edges(one, two):
    cut = [p for p in (one, two) if not p.startswith('Без_скоса')]
    if not cut:
        return 'Без скоса кромок'
    form = {'Со_скосом_одной_кромки': 'Со скосом',
            'С_двумя_симметричными_скосами': 'С двумя симметричными скосами'}[cut[0]]
    return form + (' кромок' if len(cut) == 2 else ' одной кромки')


def spans(number, methods, kept=()):
    rows = {}
    for r in table('KompasTools_per-joint-method-envelope.tsv'):
        if r['standard'] != number:
            continue
        character = r['character(app enum)'].replace('Двухсторонний_не_симметричный', 'Двусторонний')
        character = character.replace('Двухсторонний_симметричный', 'Двусторонний').replace('_', ' ')
        text = rows.setdefault(r['designation'], [r['joint_type'], edges(r['edge_part1'], r['edge_part2']),
                                                  character, {}])
        text[3][r['method']] = '%s-%s' % (r['s_min'], r['s_max'])
    want = {d: (t, e, c, [cells.get(m, 'нет данных') for m in methods]) for d, (t, e, c, cells) in rows.items()}
    # Rows read from Table 1 itself, kept as they were.
    got = shipped(number)
    for d in kept:
        r = got.get(d, {})
        want[d] = (r.get('type'), r.get('edges'), r.get('character'), r.get('thickness'))
    return want


expect('14771-76', spans('14771-76', ['ИН', 'ИНп', 'ИП', 'УП'], kept=('С1', 'С28', 'С3')))
expect('8713-79', spans('8713-79', ['АФ', 'АФф', 'АФм', 'АФо', 'АФп', 'АФш', 'АФк', 'МФ', 'МФо', 'МФш', 'МФк']))

for f in failures:
    print(f)
print('%d rows differ from their sources' % len(failures) if failures else 'every shipped row matches its source')
sys.exit(1 if failures else 0)
