#!/usr/bin/env python3
"""A plain Python reader of dBASE III tables (standard library only), used as
the yardstick for the statement benchmark: it reads a goods table, decodes
every row the way a generic reader does, and answers one of the goods
statements (filter, then a stable sort with nulls first).

    pyread.py FILE [STATEMENT-NUMBER] [--json]
"""
import json
import struct
import sys
import time

CODEPAGES = {0x00: "cp850", 0x01: "cp437", 0x02: "cp850", 0x03: "cp1252", 0x57: "cp1252",
             0x58: "cp1252", 0x59: "cp1252", 0x64: "cp852", 0xC8: "cp1250"}


def read_table(path):
    with open(path, "rb") as f:
        data = f.read()
    count, header_len, record_len = struct.unpack_from("<IHH", data, 4)
    encoding = CODEPAGES.get(data[29], "cp850")
    fields = []
    pos = 32
    offset = 1
    while pos < header_len - 1 and data[pos] != 0x0D:
        name = data[pos:pos + 11].split(b"\0", 1)[0].decode("ascii").upper()
        ftype = chr(data[pos + 11])
        length = data[pos + 16]
        fields.append((name, ftype, offset, length))
        offset += length
        pos += 32
    rows = []
    for i in range(count):
        start = header_len + i * record_len
        record = data[start:start + record_len]
        if len(record) < record_len:
            break
        if record[0:1] == b"*":
            continue
        row = {}
        for name, ftype, off, length in fields:
            raw = record[off:off + length]
            if ftype == "C":
                text = raw.decode(encoding).rstrip(" ")
                row[name] = text if text else None
            elif ftype in "NF":
                text = raw.strip(b" ")
                row[name] = float(text) if text and not text.startswith(b"*") else None
            else:
                text = raw.decode(encoding).strip()
                row[name] = text if text else None
        rows.append(row)
    return rows


def ne_blank(v):
    # "idsector <> ' '": a text compared after its trailing blanks are gone.
    return v is not None and v != ""


STATEMENTS = [
    ("select * from mercbi where anexo=1 and tipobien = 1 order by idsector, fraccion",
     lambda r: r["ANEXO"] == 1 and r["TIPOBIEN"] == 1, ["IDSECTOR", "FRACCION"]),
    ("select * from mercbi where anexo=1 and tipobien = 2 order by idsector, fraccion",
     lambda r: r["ANEXO"] == 1 and r["TIPOBIEN"] == 2, ["IDSECTOR", "FRACCION"]),
    ("select * from mercbi where tipo_progr = 2 and anexo=2 and tipobien = 2 order by idsector, fraccion ",
     lambda r: r["TIPO_PROGR"] == 2 and r["ANEXO"] == 2 and r["TIPOBIEN"] == 2, ["IDSECTOR", "FRACCION"]),
    ("select * from mercbi where idsector <> ' ' and anexo = 1 and tipo_progr <> 0 and anexo <> 0 and tipobien <> 0 "
     "order by idsector, tipo_progr, anexo, tipobien, fraccion",
     lambda r: ne_blank(r["IDSECTOR"]) and r["ANEXO"] == 1 and r["TIPO_PROGR"] not in (None, 0)
     and r["ANEXO"] not in (None, 0) and r["TIPOBIEN"] not in (None, 0),
     ["IDSECTOR", "TIPO_PROGR", "ANEXO", "TIPOBIEN", "FRACCION"]),
    ("select * from mercbi where idsector <> ' ' and anexo = 2 and tipo_progr = 2 and tipobien = 2 "
     "order by idsector, tipo_progr, anexo, tipobien, fraccion",
     lambda r: ne_blank(r["IDSECTOR"]) and r["ANEXO"] == 2 and r["TIPO_PROGR"] == 2 and r["TIPOBIEN"] == 2,
     ["IDSECTOR", "TIPO_PROGR", "ANEXO", "TIPOBIEN", "FRACCION"]),
]


def sort_key(columns):
    # Nulls first, then by value; Python's sort is stable, so ties keep file order.
    return lambda r: tuple((r[c] is not None, r[c] if r[c] is not None else 0) for c in columns)


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    as_json = "--json" in sys.argv
    path = args[0]
    number = int(args[1]) if len(args) > 1 else 0
    text, where, order = STATEMENTS[number]

    start, start_cpu = time.perf_counter(), time.process_time()
    rows = read_table(path)
    result = [r for r in rows if where(r)]
    result.sort(key=sort_key(order))
    seconds = time.perf_counter() - start
    cpu_seconds = time.process_time() - start_cpu

    report = {"statement": text, "rows": len(rows), "result_rows": len(result), "seconds": seconds,
              "cpu_seconds": cpu_seconds,
              "rows_per_second": len(rows) / seconds}
    if as_json:
        print(json.dumps(report))
    else:
        print("%s\n%d rows read, %d answered in %.3f s, %.3f s of CPU (%.0f rows/s)"
              % (text, len(rows), len(result), seconds, cpu_seconds, len(rows) / seconds))


if __name__ == "__main__":
    main()
