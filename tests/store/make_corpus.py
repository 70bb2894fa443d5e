#!/usr/bin/env python3
"""Writes the regression corpus of damaged .dbf files into corpus/.

Every file must either open (with warnings where it is damaged) or be refused
with a clear error; test_dbf_corpus.cpp holds what each one must give.
Run again after adding a case; the files are committed."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus")


def descriptor(name, ftype, length, dec=0, raw_name=None):
    n = raw_name if raw_name is not None else name.encode("ascii")
    n = (n + b"\0" * 11)[:11]
    return n + ftype.encode() + b"\0" * 4 + bytes([length, dec]) + b"\0" * 14


FIELDS = [("RFC", "C", 13, 0), ("NUM", "N", 5, 1), ("FECHA", "D", 8, 0), ("OK", "L", 1, 0), ("NOMBRE", "C", 12, 0)]
ROWS = [
    (b" ", b" ABC010101XY1", b" 12.5", b"20240229", b"T", "Pe\u00f1a".encode("cp850")),
    (b"*", b"XYZ800101AB2 ", b"  -.5", b"        ", b"F", b"BORRADO"),
    (b" ", b"             ", b"*****", b"19991231", b"?", b"  con blanco"),
]


def table(fields=FIELDS, rows=ROWS, version=0x03, codepage=0x02, count=None, header_len=None, record_len=None,
          terminator=b"\r", end=b"\x1a", extra_after_terminator=b"", descriptors=None):
    desc = descriptors if descriptors is not None else b"".join(descriptor(*f) for f in fields)
    hl = 32 + len(desc) + len(terminator) + len(extra_after_terminator)
    rl = 1 + sum(f[2] for f in fields)
    recs = b""
    for r in rows:
        rec = r[0]
        for (name, t, length, dec), v in zip(fields, r[1:]):
            rec += (v + b" " * length)[:length]
        recs += (rec + b" " * rl)[:rl]
    head = struct.pack("<BBBBIHH", version, 124, 1, 15, len(rows) if count is None else count,
                       hl if header_len is None else header_len, rl if record_len is None else record_len)
    head += b"\0" * 17 + bytes([codepage]) + b"\0\0"
    assert len(head) == 32
    return head + desc + terminator + extra_after_terminator + recs + end


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(HERE, exist_ok=True)
    sound = table()
    write("sound.dbf", sound)
    write("empty_file.dbf", b"")
    write("truncated_header.dbf", sound[:20])
    write("truncated_descriptors.dbf", sound[:32 + 32 * 2 + 10])
    write("truncated_records.dbf", sound[:len(sound) - 30])
    write("count_beyond_end.dbf", table(count=1000))
    write("huge_count.dbf", table(count=0xFFFFFFFF))
    write("header_length_short.dbf", table(header_len=40))
    write("header_length_long.dbf", table(header_len=60000))
    write("no_end_marker.dbf", table(end=b""))
    write("garbage_after_name_nul.dbf",
          table(descriptors=b"".join(descriptor(n, t, l, d, raw_name=n.encode() + b"\0XQ\x07\xff"[:10 - len(n)])
                                     for n, t, l, d in FIELDS)))
    write("lowercase_names.dbf", table(fields=[(n.lower(), t, l, d) for n, t, l, d in FIELDS]))
    write("zero_fields.dbf", table(fields=[], rows=[]))
    write("field_length_zero.dbf", table(fields=FIELDS + [("VACIO", "C", 0, 0)], rows=[r + (b"",) for r in ROWS]))
    write("record_length_short.dbf", table(record_len=20))
    write("record_length_long.dbf", table(record_len=45))
    write("record_length_zero.dbf", table(record_len=0))
    write("no_terminator.dbf", table(terminator=b" "))
    write("no_terminator_no_length.dbf", table(terminator=b" ", header_len=7))
    write("visual_foxpro.dbf", table(version=0x30))
    write("memo_field.dbf", table(version=0x83, fields=FIELDS + [("NOTAS", "M", 10, 0)],
                                  rows=[r + (b"         1",) for r in ROWS]))
    write("foxpro_no_memo.dbf", table(version=0xF5))
    write("unknown_type.dbf", table(fields=FIELDS[:4] + [("NOMBRE", "Q", 12, 0)]))
    write("unknown_codepage.dbf", table(codepage=0x7D))
    write("unmarked_codepage.dbf", table(codepage=0x00))
    write("bad_values.dbf", table(fields=[("N", "N", 5, 0), ("D", "D", 8, 0), ("L", "L", 1, 0)],
                                  rows=[(b" ", b"1.2.3", b"2023AB01", b"X"), (b" ", b" 1e5 ", b"00000000", b"y")]))
    write("uncounted_record.dbf", table(count=2))
    write("null_after_terminator.dbf", table(extra_after_terminator=b"\0"))
    write("unknown_deletion_flag.dbf", table(rows=[(b"\0",) + ROWS[0][1:]] + ROWS[1:]))
    write("too_many_descriptors.dbf", table(descriptors=descriptor("A", "C", 1) * 1100, fields=[], rows=[]))
    # A long character field: 300 = 44 + 1 * 256, the high byte in the decimals byte.
    long_head = bytearray(table(fields=[("LARGO", "C", 300 % 256, 0)], rows=[])[:-1])
    long_head[10:12] = struct.pack("<H", 301)
    long_head[32 + 17] = 1
    long_head[4:8] = struct.pack("<I", 1)
    write("long_character_field.dbf", bytes(long_head) + b" " + b"x" * 299 + b"y" + b"\x1a")


if __name__ == "__main__":
    main()
