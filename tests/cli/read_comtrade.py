#!/usr/bin/python3
"""Reads a COMTRADE record (.cfg and .dat, ASCII or 16-bit binary) as a
reader apart from the program would, and prints what it found as JSON:

  read_comtrade.py NAME.cfg

Each analog value is a * stored + b, computed in decimal; it is given in
hundredths when that is a whole number, else as the exact decimal text, so
a scaling that does not reproduce a sample shows as a mismatch.
"""
import csv
import json
import math
import struct
import sys
from decimal import Decimal


def lines_of(path):
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    return [row for row in csv.reader(text.splitlines())]


def read_cfg(path):
    rows = lines_of(path)
    at = iter(rows)
    station, device, *rest = next(at)
    cfg = {"station": station, "device": device, "rev_year": rest[0] if rest else ""}
    total, analog, digital = next(at)
    cfg["total"] = int(total)
    cfg["analog_count"] = int(analog.rstrip("A"))
    cfg["digital_count"] = int(digital.rstrip("D"))
    if not analog.endswith("A") or not digital.endswith("D"):
        raise ValueError("channel counts without A/D")
    if cfg["total"] != cfg["analog_count"] + cfg["digital_count"]:
        raise ValueError("channel counts do not add up")
    cfg["analog"] = []
    for _ in range(cfg["analog_count"]):
        f = next(at)
        if len(f) != 13:
            raise ValueError("an analog channel line of %d fields" % len(f))
        cfg["analog"].append({
            "index": int(f[0]), "id": f[1], "phase": f[2], "unit": f[4],
            "a": Decimal(f[5]), "b": Decimal(f[6]), "skew": Decimal(f[7]),
            "min": int(f[8]), "max": int(f[9]), "ps": f[12]})
    for _ in range(cfg["digital_count"]):
        next(at)
    cfg["frequency"] = Decimal(next(at)[0])
    nrates = int(next(at)[0])
    cfg["rates"] = []
    for _ in range(max(nrates, 1)):
        samp, endsamp = next(at)
        cfg["rates"].append((Decimal(samp), int(endsamp)))
    cfg["start"] = ",".join(next(at))
    cfg["trigger"] = ",".join(next(at))
    cfg["type"] = next(at)[0].strip().upper()
    cfg["timemult"] = Decimal(next(at)[0])
    cfg["extra_lines"] = [",".join(r) for r in at if r]
    return cfg


def read_dat(path, cfg):
    na, nd = cfg["analog_count"], cfg["digital_count"]
    samples = cfg["rates"][-1][1]
    records = []
    if cfg["type"] == "ASCII":
        with open(path, encoding="ascii", newline="") as f:
            for row in csv.reader(f):
                if not row:
                    continue
                n, ts = int(row[0]), int(row[1])
                values = [None if v.strip() == "" else int(v) for v in row[2:2 + na]]
                records.append((n, ts, values))
    elif cfg["type"] == "BINARY":
        words = math.ceil(nd / 16)
        layout = "<II" + "h" * na + "H" * words
        size = struct.calcsize(layout)
        with open(path, "rb") as f:
            data = f.read()
        if len(data) != samples * size:
            raise ValueError("%d bytes of data, %d expected" % (len(data), samples * size))
        for i in range(samples):
            row = struct.unpack_from(layout, data, i * size)
            values = [None if v == -32768 else v for v in row[2:2 + na]]
            records.append((row[0], row[1], values))
    else:
        raise ValueError("file type " + cfg["type"])
    return records


def hundredths(value):
    h = value * 100
    return int(h) if h == h.to_integral_value() else str(value)


def main():
    cfg_path = sys.argv[1]
    cfg = read_cfg(cfg_path)
    base = cfg_path[:-3]
    dat_path = base + ("DAT" if cfg_path.endswith("CFG") else "dat")
    records = read_dat(dat_path, cfg)
    rate = cfg["rates"][0][0]
    period_us = Decimal(1000000) / rate
    numbers_ok = all(n == i + 1 for i, (n, _, _) in enumerate(records))
    times_ok = all(Decimal(ts) * cfg["timemult"] == i * period_us
                   for i, (_, ts, _) in enumerate(records))
    channels = []
    for c, ch in enumerate(cfg["analog"]):
        stored = [values[c] for _, _, values in records]
        channels.append({
            "id": ch["id"], "phase": ch["phase"], "unit": ch["unit"],
            "within_min_max": all(v is not None and ch["min"] <= v <= ch["max"] for v in stored),
            "values": [None if v is None else hundredths(ch["a"] * v + ch["b"]) for v in stored]})
    print(json.dumps({
        "station": cfg["station"], "device": cfg["device"], "rev_year": cfg["rev_year"],
        "analog": cfg["analog_count"], "digital": cfg["digital_count"],
        "frequency": str(cfg["frequency"]), "rates": [[str(r), n] for r, n in cfg["rates"]],
        "start": cfg["start"], "trigger": cfg["trigger"], "type": cfg["type"],
        "timemult": str(cfg["timemult"]), "extra_lines": cfg["extra_lines"],
        "samples": len(records), "numbers_ok": numbers_ok, "times_ok": times_ok,
        "channels": channels}, ensure_ascii=False))


if __name__ == "__main__":
    main()
