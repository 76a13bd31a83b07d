#!/usr/bin/env python3
"""Generates engine/Big5Tables.cpp, the two conversion tables from the dictionary code (BIG5
with extension codes) to 16-bit character codes.

The standard BIG5 positions take their values from this machine's `cp950` codec, except for a
short list of positions that the dictionaries use differently. The extension positions hold the
CJK ideographs U+4E00 to U+9FA5 that cp950 lacks, so that every simplified character has a code.

Usage:
    gen_big5_tables.py                 write engine/Big5Tables.cpp
    gen_big5_tables.py --output FILE   write FILE instead
    gen_big5_tables.py --check FILE    exit 1 if FILE differs from what would be written

Every count the tables must meet is asserted here; the script stops with an error when the
cp950 codec at hand would make one of them fail.
"""

import argparse
import sys
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent
DEFAULT_OUTPUT = REPO / "engine" / "Big5Tables.cpp"

TRAIL_FIRST, TRAIL_LAST = 0x40, 0xFE
TRAIL_COUNT = TRAIL_LAST - TRAIL_FIRST + 1  # 191
LEAD_COUNT = 63
ENTRIES = LEAD_COUNT * TRAIL_COUNT - 1  # the grid's last cell is left out
TABLES = (("Low", 0x81), ("High", 0xC0))

EMPTY = 0xFFFD
IDEOGRAPH_FIRST, IDEOGRAPH_LAST = 0x4E00, 0x9FA5

# Standard positions whose value differs from cp950.
DIFFERENCES = {
    0xA156: 0x2015,  # cp950 U+2013
    0xA1C2: 0x203E,  # cp950 U+00AF
    0xA2A4: 0x2501,  # cp950 U+2550
    0xA2A5: 0x251D,  # cp950 U+255E
    0xA2A6: 0x253F,  # cp950 U+256A
    0xA2A7: 0x2525,  # cp950 U+2561
    0xA3E1: 0x532C,  # cp950 U+20AC
    0xC255: 0x5F5E,  # cp950 U+5F5D
    0xC94A: 0x5140,  # cp950 U+FA0C
    0xDDFC: 0x55C0,  # cp950 U+FA0D
    0xF9FA: 0x2554,  # cp950 U+256D
    0xF9FB: 0x2557,  # cp950 U+256E
    0xF9FC: 0x255A,  # cp950 U+2570
    0xF9FD: 0x255D,  # cp950 U+256F
    0xF9FE: 0x2588,  # cp950 U+2593
}

# The block 0xC6A1 to 0xC7FC, which cp950 fills differently, in code order over the standard
# trails.
BLOCK_FIRST, BLOCK_LAST = 0xC6A1, 0xC7FC
BLOCK_VALUES = (
    list(range(0x2460, 0x246A))  # circled digits one to ten
    + list(range(0x2474, 0x247E))  # parenthesized digits one to ten
    + list(range(0x2170, 0x217A))  # small roman numerals one to ten
    + [ord(c) for c in "丶丿亅亠冂冖冫勹匸卩厶夊宀巛幺广廴彐彡攴无疒癶辵隶夂"]
    + [ord(c) for c in "＾ヽヾゝゞ＂゛゜・〇ー［］✽"]
    + list(range(0x3041, 0x3094))  # hiragana
    + list(range(0x30A1, 0x30F7))  # katakana
    + [ord(c) for c in "殹渋焅猔猄猅猕猍眮睁"]
)

# Control pictures U+2400 to U+241F, then U+2421, at 0xA3C0 to 0xA3E0.
CONTROL_PICTURES_FIRST = 0xA3C0
CONTROL_PICTURES = list(range(0x2400, 0x2420)) + [0x2421]

# Extension positions with a fixed value; the dictionaries rely on these.
FIXED_EXTENSIONS = {
    0x8140: 0x8488,
    0x8141: 0x8710,
    0x8142: 0x871F,
    0xC080: 0x7892,
    0xC081: 0x797E,
}

# Per table: positions that are extension, empty, standard; standard values that agree with
# cp950 and that differ from it.
EXPECTED = {
    "Low": dict(extension=5593, empty=1635, standard=4804, agree=4797, differ=7),
    "High": dict(extension=2238, empty=847, standard=8947, agree=8690, differ=257),
}
EXPECTED_LACKING = 7834
EXPECTED_EXTENSION_IDEOGRAPHS = 7798
EXPECTED_PLACED = {0x5F5E, 0x532C}  # lacking ideographs at 0xC255 and 0xA3E1
EXPECTED_LOST = {0x5F5D, 0x931A}  # held by cp950 only at 0xC255 and at 0xBFFE


class GenerationError(Exception):
    pass


def fmt(values):
    return ", ".join(f"U+{v:04X}" for v in values) or "none"


def require(condition, message):
    if not condition:
        raise GenerationError(message)


def cp950(code):
    """The single character cp950 decodes the two-byte code to, or None."""
    try:
        text = bytes([code >> 8, code & 0xFF]).decode("cp950")
    except UnicodeDecodeError:
        return None
    require(len(text) == 1, f"cp950 decodes 0x{code:04X} to {len(text)} characters")
    return ord(text)


def is_standard_trail(trail):
    return 0x40 <= trail <= 0x7E or 0xA1 <= trail <= 0xFE


def classify(code):
    """'empty', 'extension' or 'standard' for a code of the grid."""
    lead, trail = code >> 8, code & 0xFF
    if trail == 0x7F or code in (0xA0FD, 0xA0FE):
        return "empty"
    if 0x80 <= trail <= 0xA0:
        return "extension"
    if 0x81 <= lead <= 0x83 or 0x8E <= lead <= 0xA0 or lead == 0xC8:
        return "extension"
    if 0x84 <= lead <= 0x8D or 0xFA <= lead <= 0xFE:
        return "empty"
    if 0xA3C0 <= code <= 0xA3FE and code != 0xA3E1:
        return "extension"
    if code in (0xC7FD, 0xC7FE):
        return "extension"
    require(is_standard_trail(trail) and (0xA1 <= lead <= 0xC7 or 0xC9 <= lead <= 0xF9),
            f"0x{code:04X} falls in no class")
    return "standard"


def grid(first_lead):
    codes = [(lead << 8) | trail
             for lead in range(first_lead, first_lead + LEAD_COUNT)
             for trail in range(TRAIL_FIRST, TRAIL_LAST + 1)]
    return codes[:ENTRIES]


def block_codes():
    return [code for code in range(BLOCK_FIRST, BLOCK_LAST + 1)
            if is_standard_trail(code & 0xFF)]


def build(log):
    """Returns {table name: [(code, value)]} and logs the counts."""
    block = block_codes()
    require(len(block) == 249 and len(BLOCK_VALUES) == 249,
            f"block has {len(block)} codes and {len(BLOCK_VALUES)} values")
    overrides = dict(DIFFERENCES)
    overrides.update(zip(block, BLOCK_VALUES))

    # Where cp950 puts each value it has, over the whole codec: the cells the tables leave out
    # count here too.
    held = {}
    for lead in range(0x81, 0xFF):
        for trail in range(TRAIL_FIRST, TRAIL_LAST + 1):
            value = cp950((lead << 8) | trail)
            if value is not None:
                held.setdefault(value, []).append((lead << 8) | trail)
    lacking = [c for c in range(IDEOGRAPH_FIRST, IDEOGRAPH_LAST + 1) if c not in held]
    require(len(lacking) == EXPECTED_LACKING,
            f"cp950 lacks {len(lacking)} ideographs, expected {EXPECTED_LACKING}")
    lacking_set = set(lacking)
    block_ideographs = {v for v in BLOCK_VALUES if IDEOGRAPH_FIRST <= v <= IDEOGRAPH_LAST}
    require(len(block_ideographs) == 36 and block_ideographs <= lacking_set,
            "the block's 36 ideographs are not all ideographs cp950 lacks")

    # Two differences place ideographs cp950 lacks at standard positions (U+5F5E at 0xC255,
    # U+532C at 0xA3E1): they have their codes there and are not placed again. Two ideographs
    # that cp950 holds would get no code at all: U+5F5D, which 0xC255 held, and U+931A, which
    # cp950 holds only at 0xBFFE, the cell the low table leaves out. They take the two extension
    # positions so freed, so that every ideograph U+4E00-U+9FA5 has exactly one code.
    placed = {v for v in DIFFERENCES.values() if v in lacking_set}
    kept_codes = lambda v: [c for c in held[v]
                            if c not in DIFFERENCES and not 0xC6A1 <= c <= 0xC7FC
                            and c not in (0xBFFE, 0xFEFE)]
    lost = {v for v in held if IDEOGRAPH_FIRST <= v <= IDEOGRAPH_LAST and not kept_codes(v)}
    require(placed == EXPECTED_PLACED,
            f"lacking ideographs placed by the differences: {fmt(sorted(placed))}")
    require(lost == EXPECTED_LOST, f"ideographs that would lose their code: {fmt(sorted(lost))}")
    pool = sorted((lacking_set - block_ideographs - placed) | lost)
    require(len(pool) == EXPECTED_EXTENSION_IDEOGRAPHS,
            f"{len(pool)} ideographs for {EXPECTED_EXTENSION_IDEOGRAPHS} extension positions")
    log(f"note: cp950 lacks {len(lacking)} ideographs U+4E00-U+9FA5; {len(block_ideographs)} "
        f"sit in the block 0xC6A1-0xC7FC and {fmt(sorted(placed))} at listed standard "
        f"positions, leaving {len(pool) - len(lost)} for {len(pool)} extension ideograph "
        f"positions; {fmt(sorted(lost))}, which cp950 holds but the tables would otherwise "
        "lose, take the other two.")

    for value in FIXED_EXTENSIONS.values():
        require(value in pool, f"fixed extension value U+{value:04X} is not in the pool")
    remaining = iter([v for v in pool if v not in FIXED_EXTENSIONS.values()])

    control_pictures = dict(zip(range(CONTROL_PICTURES_FIRST, CONTROL_PICTURES_FIRST + 33),
                                CONTROL_PICTURES))
    tables = {}
    for name, first_lead in TABLES:
        counts = dict(extension=0, empty=0, standard=0, agree=0, differ=0)
        entries = []
        for code in grid(first_lead):
            kind = classify(code)
            counts[kind] += 1
            if kind == "empty":
                value = EMPTY
            elif kind == "extension":
                if code in control_pictures:
                    value = control_pictures[code]
                elif code in FIXED_EXTENSIONS:
                    value = FIXED_EXTENSIONS[code]
                else:
                    value = next(remaining, None)
                    require(value is not None, f"no ideograph left for 0x{code:04X}")
            else:
                standard = cp950(code)
                if code in overrides:
                    value = overrides[code]
                    require(value != standard, f"0x{code:04X} is listed but agrees with cp950")
                    counts["differ"] += 1
                else:
                    require(standard is not None, f"cp950 does not define 0x{code:04X}")
                    value = standard
                    counts["agree"] += 1
            entries.append((code, value))
        log(f"{name}: {len(entries)} entries; {counts['extension']} extension, "
            f"{counts['empty']} empty, {counts['standard']} standard "
            f"({counts['agree']} agree with cp950, {counts['differ']} differ)")
        require(counts == EXPECTED[name], f"{name} table counts {counts}, expected "
                f"{EXPECTED[name]}")
        tables[name] = entries
    require(next(remaining, None) is None, "ideographs left over after filling the tables")
    in_tables = {value for entries in tables.values() for _, value in entries}
    gone = sorted(value for value in held if value not in in_tables)
    log(f"note: {len(gone)} values cp950 holds have no code in the tables: {fmt(gone)}")
    check_tables(tables, lacking_set | lost)
    return tables


def check_tables(tables, ideographs):
    """Whole-table invariants, checked on the finished tables."""
    all_entries = [entry for name, _ in TABLES for entry in tables[name]]
    codes = [code for code, _ in all_entries]
    require(codes == sorted(set(codes)), "codes are not ascending and unique")
    for name, first_lead in TABLES:
        require(len(tables[name]) == ENTRIES, f"{name} table has {len(tables[name])} entries")
        require([c for c, _ in tables[name]] == grid(first_lead), f"{name} table grid is off")
    occurrences = {}
    for code, value in all_entries:
        require(0 <= value <= 0xFFFF, f"0x{code:04X} holds a value beyond 16 bits")
        occurrences.setdefault(value, []).append(code)
    for value in ideographs:
        times = len(occurrences.get(value, []))
        require(times == 1, f"U+{value:04X} is held {times} times")
    extension_values = [v for c, v in all_entries if classify(c) == "extension"]
    require(len(set(extension_values)) == len(extension_values), "extension values repeat")
    missing = [c for c in range(IDEOGRAPH_FIRST, IDEOGRAPH_LAST + 1) if c not in occurrences]
    require(not missing, f"{len(missing)} ideographs have no code: {fmt(missing)}")


def render(tables):
    lines = [
        "// clang-format off",
        "// Generated by tools/gen_big5_tables.py from Python's cp950 codec; do not edit.",
        "// Each entry: lead byte, trail byte, then the 16-bit value high byte first.",
        '#include "Big5Tables.h"',
    ]
    for name, first_lead in TABLES:
        lines.append("")
        lines.append(f"const unsigned char Big5ToUnicodeTable{name}[kBig5TableEntries * 4] = {{")
        entries = tables[name]
        for row in range(LEAD_COUNT):
            lines.append(f"    // lead 0x{first_lead + row:02X}")
            row_entries = entries[row * TRAIL_COUNT:(row + 1) * TRAIL_COUNT]
            for i in range(0, len(row_entries), 8):
                cells = [f"0x{c >> 8:02X},0x{c & 0xFF:02X},0x{v >> 8:02X},0x{v & 0xFF:02X},"
                         for c, v in row_entries[i:i + 8]]
                lines.append("    " + " ".join(cells))
        lines.append("};")
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    group = parser.add_mutually_exclusive_group()
    group.add_argument("--check", metavar="FILE", type=Path,
                       help="exit 1 if FILE differs from the generated source")
    group.add_argument("--output", metavar="FILE", type=Path, default=DEFAULT_OUTPUT,
                       help=f"where to write the source (default {DEFAULT_OUTPUT})")
    args = parser.parse_args()

    try:
        text = render(build(print))
    except GenerationError as error:
        print(f"gen_big5_tables.py: {error}", file=sys.stderr)
        return 2

    if args.check:
        try:
            current = args.check.read_text(encoding="utf-8")
        except OSError as error:
            print(f"gen_big5_tables.py: {error}", file=sys.stderr)
            return 1
        if current != text:
            print(f"{args.check} differs from the generated tables; "
                  "run tools/gen_big5_tables.py to regenerate it", file=sys.stderr)
            return 1
        print(f"{args.check} is up to date")
        return 0

    args.output.write_text(text, encoding="utf-8")
    print(f"wrote {args.output}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
