#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes hostile picture files made from valid seed pictures into a folder.

    make-hostile-pictures.py SEEDS OUT [--per-seed N]

For every seed (one file per format and kind: the fuzz corpus fuzz/corpus/picture_read/ is
the usual source) it writes truncations, flipped and overwritten header bytes, declared sizes
from zero to far beyond the limits, colour tables that do not fit, frame counts and offsets
beyond the file, and damaged run-length or compressed data. Everything derives from the seeds
and a fixed random seed, so the same seeds give the same files. --per-seed N keeps an evenly
spread selection of N files per seed (all when not given). Each file's name says its seed and
what was done to it.
"""
import argparse
import os
import random
import struct
import sys

SIZES = [0, 1, 0x7FFF, 0x8000, 0xFFFF, 32000, 32001, 20000, 9999, 0x7FFFFFFF, 0x80000000,
         0xFFFFFFFF]


def kind_of(data):
    if data[:2] == b'BM':
        return 'bmp'
    if data[:8] == b'\x89PNG\r\n\x1a\n':
        return 'png'
    if data[:2] == b'\xff\xd8':
        return 'jpeg'
    if data[:4] in (b'II*\0', b'MM\0*'):
        return 'tiff'
    if data[:3] == b'GIF':
        return 'gif'
    if data[:1] == b'P' and data[1:2] in b'123456':
        return 'pnm'
    if data[:1] == b'\x0a':
        return 'pcx'
    if data[:4] == b'\0\0\1\0':
        return 'ico'
    if data[:4] == b'\0\0\2\0':
        return 'cur'
    if data[:4] == b'RIFF':
        return 'ani'
    return 'tga'


def put(data, at, fmt, value):
    """data with struct `fmt` written at `at` (value masked to the field's width)."""
    if at < 0 or at + struct.calcsize(fmt) > len(data):
        return None
    bits = 8 * struct.calcsize(fmt)
    out = bytearray(data)
    struct.pack_into(fmt, out, at, value & ((1 << bits) - 1))
    return bytes(out)


def size_fields(kind, data):
    """(offset, struct format) of the fields that declare a size, width first."""
    if kind == 'bmp':
        return [(18, '<I'), (22, '<I')]
    if kind == 'png':
        return [(16, '>I'), (20, '>I')]
    if kind == 'jpeg':
        for marker in (b'\xff\xc0', b'\xff\xc1', b'\xff\xc2'):
            at = data.find(marker)
            if at > 0:
                return [(at + 7, '>H'), (at + 5, '>H')]
        return []
    if kind == 'tiff':
        return [(at + 8, fmt) for tag, at, fmt in tiff_entries(data) if tag in (256, 257)]
    if kind == 'gif':
        fields = [(6, '<H'), (8, '<H')]
        at = gif_first_frame(data)
        return fields + ([(at + 5, '<H'), (at + 7, '<H')] if at else [])
    if kind == 'pcx':
        return [(8, '<H'), (10, '<H')]
    if kind in ('ico', 'cur'):
        dib = struct.unpack_from('<I', data, 18)[0]
        return [(6, '<B'), (7, '<B'), (dib + 4, '<I'), (dib + 8, '<I')]
    if kind == 'ani':
        at = data.find(b'icon')
        return [(at + 8 + o, f) for o, f in size_fields('ico', data[at + 8:])] if at > 0 else []
    if kind == 'tga':
        return [(12, '<H'), (14, '<H')]
    return []


def table_fields(kind, data):
    """(offset, format) of palette, frame-count, offset and length fields."""
    if kind == 'bmp':
        return [(46, '<I'), (10, '<I'), (28, '<H'), (30, '<I'), (14, '<I')]
    if kind == 'png':
        at = data.find(b'PLTE')
        fields = [(data.find(b'IDAT') - 4, '>I')]
        return fields + ([(at - 4, '>I')] if at > 0 else [])
    if kind == 'jpeg':
        return [(4, '>H')] + [(at + 2, '>H') for at in range(2, len(data) - 1)
                              if data[at] == 0xFF and data[at + 1] in (0xC4, 0xDB, 0xDA)]
    if kind == 'tiff':
        return [(4, fmt) for fmt in ('<I',)] + [(at + 8, fmt) for tag, at, fmt in tiff_entries(data)
                                                if tag in (258, 273, 277, 278, 279, 320)]
    if kind == 'gif':
        at = gif_first_frame(data)
        return [(10, '<B')] + ([(at + 9, '<B'), (at + 10, '<B')] if at else [])
    if kind == 'pcx':
        return [(3, '<B'), (65, '<B'), (66, '<H'), (len(data) - 769, '<B')]
    if kind in ('ico', 'cur'):
        dib = struct.unpack_from('<I', data, 18)[0]
        return [(4, '<H'), (14, '<I'), (18, '<I'), (dib, '<I'), (dib + 14, '<H'), (dib + 32, '<I')]
    if kind == 'ani':
        at = data.find(b'anih')
        fields = [(4, '<I')]
        if at > 0:
            fields += [(at + 4, '<I'), (at + 12, '<I'), (at + 16, '<I')]
        for name in (b'seq ', b'rate', b'LIST', b'icon'):
            found = data.find(name)
            if found > 0:
                fields += [(found + 4, '<I'), (found + 8, '<I')]
        return fields
    if kind == 'tga':
        return [(0, '<B'), (1, '<B'), (2, '<B'), (3, '<H'), (5, '<H'), (7, '<B'), (16, '<B')]
    return []


def tiff_entries(data):
    big = data[:2] == b'MM'
    u16, u32 = ('>H', '>I') if big else ('<H', '<I')
    first = struct.unpack_from(u32, data, 4)[0]
    if first + 2 > len(data):
        return []
    count = struct.unpack_from(u16, data, first)[0]
    entries = []
    for i in range(count):
        at = first + 2 + 12 * i
        if at + 12 > len(data):
            break
        tag, kind = struct.unpack_from(u16, data, at)[0], struct.unpack_from(u16, data, at + 2)[0]
        entries.append((tag, at, u16 if kind == 3 else u32))
    return entries


def gif_first_frame(data):
    at = 13 + (3 << ((data[10] & 7) + 1) if data[10] & 0x80 else 0)
    while at < len(data):
        if data[at] == 0x2C:
            return at
        if data[at] != 0x21:
            return None
        at += 2
        while at < len(data) and data[at]:
            at += data[at] + 1
        at += 1
    return None


def pnm_header_variants(data):
    """PNM files whose text header declares other sizes and maxima."""
    fields = data.split(None, 4) if data[1:2] not in b'14' else data.split(None, 3)
    body_at = len(data) - len(fields[-1]) if len(fields) > 3 else len(data)
    magic = data[:2]
    for value in SIZES + [-1, 10 ** 30]:
        yield 'width%d' % value, magic + b'\n%d 14\n255\n' % value + data[body_at:]
        yield 'height%d' % value, magic + b'\n20 %d\n255\n' % value + data[body_at:]
    for maximum in (0, 1, 15, 256, 65535, 65536, -3):
        yield 'max%d' % maximum, magic + b'\n20 14\n%d\n' % maximum + data[body_at:]
    yield 'comments', magic + b'\n#' + b'x' * 5000 + b'\n20 14\n#c\n255\n' + data[body_at:]
    yield 'nodigits', magic + b'\n# only a comment'


def guarded(fields, kind, data):
    """The fields a seed has; none when it is too damaged to find them (a regression file)."""
    try:
        return fields(kind, data)
    except (struct.error, IndexError, ValueError):
        return []


def variants(kind, data, rng):
    """(name, bytes) pairs of every hostile variant of one seed."""
    for fraction in (0, 1, 2, 3, 5, 8, 13, 21, 34, 55, 80, 90, 95, 99):
        yield 'cut%d' % fraction, data[:len(data) * fraction // 100]
    for at in list(range(min(len(data), 64))) + [len(data) - 1 - i for i in range(8)]:
        for value in (0x00, 0xFF, 0x7F, 0x80):
            out = put(data, at, '<B', value)
            if out and out != data:
                yield 'byte%d=%02x' % (at, value), out
    for number, (at, fmt) in enumerate(guarded(size_fields, kind, data)):
        for value in SIZES:
            out = put(data, at, fmt, value)
            if out:
                yield 'size%d=%d' % (number, value), out
    for number, (at, fmt) in enumerate(guarded(table_fields, kind, data)):
        for value in (0, 1, 2, 3, 16, 255, 256, 257, 0x7FFF, 0xFFFF, 0x7FFFFFFF, 0xFFFFFFFF):
            out = put(data, at, fmt, value)
            if out:
                yield 'table%d=%d' % (number, value), out
    if kind == 'pnm' and len(data.split()) > 3:
        yield from pnm_header_variants(data)
    # Damaged pixel, run-length and compressed data: random bytes over the back half.
    for round in range(24):
        out = bytearray(data)
        for _ in range(1 + round):
            out[rng.randrange(len(data) // 2, len(data))] = rng.randrange(256)
        yield 'data%d' % round, bytes(out)
    # Grown: the seed with a long tail, and cut after a grown header field.
    yield 'tail', data + bytes(rng.randrange(256) for _ in range(4096))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('seeds')
    parser.add_argument('out')
    parser.add_argument('--per-seed', type=int, default=0)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    written = 0
    for seed in sorted(os.listdir(args.seeds)):
        with open(os.path.join(args.seeds, seed), 'rb') as f:
            data = f.read()
        kind = kind_of(data)
        rng = random.Random(seed)
        made = list(variants(kind, data, rng))
        if args.per_seed and len(made) > args.per_seed:
            step = len(made) / args.per_seed
            made = [made[int(i * step)] for i in range(args.per_seed)]
        for name, out in made:
            safe = name.replace('=', '-')
            with open(os.path.join(args.out, '%s.%s.%s' % (kind, seed, safe)), 'wb') as f:
                f.write(out)
            written += 1
    print(written, 'files', file=sys.stderr)


if __name__ == '__main__':
    main()
