#!/usr/bin/env python3
"""Builds data/TemplatesASCII/LON.snvt from snvt-master.tsv (see PROVENANCE.md).

Scalar types give one preferred entry; structured types give one preferred
entry per field, named type.field, at the field's byte offset. Rules for fields:
  uN/sN[*k]   integer of that width; the factor k becomes a and b (k = a*10^b)
  float32     32-bit float
  name_t      enumeration: one byte, signed
  SNVT_x      a nested standard type: its own entries, named type.field[.sub]
  bits:u8     a byte of bit-fields: data type "bit field", named type.bits_<offset>
  x[n]        n elements field_1..field_n when n <= 8; longer arrays (text,
              identifiers) take their bytes but give no entry; a type made
              of such arrays only gets one entry, named after the type
  xType       a nested record, a row of its own named owner.xType (no number):
              a structure is placed field by field; a union takes its size and
              its first member's entries (the other members overlay the same bytes)
A structure whose fields do not fill its size, or a union whose members do
not match its size, stops the script: the table is wrong. Types that hold only
text (arrays longer than eight bytes) give no entry and are listed with why.
Run: python3 data/snvt/make_lon_snvt.py   (writes Windows-1252, CR LF)
"""
import csv
import os
import sys
from decimal import Decimal

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, '..', 'TemplatesASCII', 'LON.snvt')

# LON data-type codes of the editor's data-type menu.
CODE = {('s', 8): 0, ('u', 8): 1, ('s', 16): 2, ('u', 16): 3, ('s', 32): 4, ('u', 32): 5}
FLOAT, BITFIELD, ENUM = 6, 7, 0
BASE = {'signed 8-bit': ('s', 8), 'unsigned 8-bit': ('u', 8), 'signed 16-bit': ('s', 16),
        'unsigned 16-bit': ('u', 16), 'signed 32-bit': ('s', 32), 'unsigned 32-bit': ('u', 32)}
MAX_ARRAY = 8


def factor(k):
    """k as a*10^b with a whole a of as few digits as possible."""
    d = Decimal(k).normalize()
    sign, digits, exp = d.as_tuple()
    a = int(''.join(map(str, digits)))
    return (-a if sign else a), exp


def load():
    """Standard types (with a number) and nested records (owner.name, without)."""
    rows = {}
    with open(os.path.join(HERE, 'snvt-master.tsv'), newline='') as f:
        for r in csv.DictReader(f, delimiter='\t'):
            if r['number'] or '.' in r['name']:
                rows[r['name']] = r
    return rows


def resolve(types, owner, ftype):
    """A field's type: a standard type, or a record nested in the owner or one of its outer records."""
    if ftype in types:
        return ftype
    scope = owner
    while scope:
        if scope + '.' + ftype in types:
            return scope + '.' + ftype
        scope = scope.rpartition('.')[0]
    return None


class Unplaceable(Exception):
    pass


class WrongLayout(Exception):
    pass


def expand(types, name, prefix, offset, out):
    """Entries (name, code, offset, a, b, c) of type `name`; returns its size."""
    t = types[name]
    if t['base_type'] == 'union':
        sizes = []
        for i, tok in enumerate(t['fields'].split()):
            fname, ftype = tok.split(':', 1)
            sub = []
            sizes.append(expand_fields(types, name, prefix, offset, ['%s:%s' % (fname, ftype)], sub))
            if i == 0:
                out.extend(sub)
        if max(sizes) != int(t['size_bytes']):
            raise WrongLayout('%s: members of %s bytes, the union has %s' % (name, max(sizes), t['size_bytes']))
        return int(t['size_bytes'])
    if t['base_type'] != 'structure':
        size = int(t['size_bytes'])
        if t['base_type'] == 'float':
            out.append((prefix, FLOAT, offset, 1, 0, 0))
        elif t['base_type'].startswith('enum'):
            out.append((prefix, ENUM, offset, 1, 0, 0))
        else:
            out.append((prefix, CODE[BASE[t['base_type']]], offset, int(t['scale_a']), int(t['scale_b']),
                        int(t['scale_c'])))
        return size
    size = expand_fields(types, name, prefix, offset, t['fields'].split(), out)
    if '.' in name and size != int(t['size_bytes']):
        raise WrongLayout('%s: fields give %d bytes, the record has %s' % (name, size, t['size_bytes']))
    return size


def expand_fields(types, name, prefix, offset, tokens, out):
    """Entries of the fields `tokens` of record `name`, placed from `offset`; returns their size."""
    start = offset
    for tok in tokens:
        if tok.startswith('(') or tok.endswith(')'):
            continue  # "(has bit-fields)"
        fname, ftype = tok.split(':', 1)
        count = 1
        if ftype.endswith(']'):
            ftype, n = ftype[:-1].split('[')
            count = int(n)
        scale = (1, 0)
        if '*' in ftype:
            ftype, k = ftype.split('*')
            scale = factor(k)
        for i in range(count):
            label = fname if count == 1 else '%s_%d' % (fname, i + 1)
            emit = count == 1 or count <= MAX_ARRAY
            full = prefix + '.' + label
            if fname == 'bits' and ftype == 'u8':
                full = '%s.bits_%d' % (prefix, offset - start)
            if ftype[0] in 'us' and ftype[1:].isdigit():
                width = int(ftype[1:])
                if emit:
                    out.append((full, CODE[(ftype[0], width)], offset, scale[0], scale[1], 0))
                if fname == 'bits':
                    out[-1] = (full, BITFIELD, offset, 1, 0, 0)
                offset += width // 8
            elif ftype == 'float32':
                if emit:
                    out.append((full, FLOAT, offset, 1, 0, 0))
                offset += 4
            elif resolve(types, name, ftype):
                sub = []
                offset += expand(types, resolve(types, name, ftype), full, offset, sub)
                if emit:
                    out.extend(sub)
            elif ftype.endswith('_t'):
                if emit:
                    out.append((full, ENUM, offset, 1, 0, 0))
                offset += 1
            else:
                raise Unplaceable(ftype)
    return offset - start


def main():
    types = load()
    lines = ['LON.snvt\tStandard network variable types\tgenerated by data/snvt/make_lon_snvt.py from snvt-master.tsv',
             '#\tobsolete\tSNVT\tsize\tname\tdata type\toffset\ta\tb\tc\tfilter\treal\tload\tpreferred']
    left_out, wrong = [], []
    standard = [(n, t) for n, t in types.items() if t['number']]
    for name, t in sorted(standard, key=lambda kv: int(kv[1]['number'])):
        entries = []
        try:
            size = expand(types, name, name, 0, entries)
            if t['base_type'] == 'structure' and size != int(t['size_bytes']):
                wrong.append('%s: fields give %d bytes, the type has %s' % (name, size, t['size_bytes']))
        except Unplaceable as e:
            wrong.append('%s: no layout for %s' % (name, e))
        except WrongLayout as e:
            wrong.append(str(e))
        if not entries:
            # Only long arrays: text, which the gateway does not read as a number.
            left_out.append('%s: text, not a number' % name)
            continue
        obsolete = 1 if t['obsolete'] == 'yes' else 0
        for (ename, code, off, a, b, c) in entries:
            lines.append('\t'.join(str(x) for x in (
                len(lines) - 1, obsolete, t['number'], t['size_bytes'], ename, code, off, a, b, c, 0, 0, 1, 1)))
    if wrong:
        for w in wrong:
            print('wrong layout: ' + w, file=sys.stderr)
        sys.exit(1)
    with open(OUT, 'wb') as f:
        f.write(('\r\n'.join(lines) + '\r\n').encode('cp1252'))
    print('%d entries written to %s' % (len(lines) - 2, os.path.normpath(OUT)))
    for p in left_out:
        print('  left out: ' + p)


if __name__ == '__main__':
    main()
