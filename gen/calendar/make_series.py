#!/usr/bin/env python3
"""Writes src/calendar/SeriesTables.cpp: the truncated Earth and Moon series.

Earth: VSOP87 version D (heliocentric, ecliptic and equinox of date), each
sub-series cut to its term count, largest |A| first; A in 1e-10 rad or AU,
C in radians per millennium.

Moon: ELP/MPP02 with the DE405 fit and the secular additions of the authors'
note. Main problem and perturbations are turned into A*cos(B + C t + D t^2/1e4
+ E t^3/1e8 + F t^4/1e8) (t in centuries), merged per power of t and cut.

With --reference <file.inc> it also writes the test's reference series: the
whole VSOP87D Earth series and every Moon term of at least 0.001" (0.001 km),
against which the truncated tables are measured.

usage: make_series.py <astro data folder> <output .cpp> [--reference <file.inc>]
"""
import math
import sys

RAD = 180 * 3600 / math.pi  # arcseconds per radian

# Term counts kept per sub-series.
EARTH_COUNTS = {"L": [186, 114, 60, 8, 4, 4], "B": [23, 3, 1, 0, 0, 0], "R": [236, 142, 85, 5, 9, 2]}
MOON_COUNTS = [[442, 149, 34, 2], [206, 45, 12, 0], [221, 52, 12, 0]]


def read_vsop(path):
    series = {}
    key = None
    for line in open(path):
        if "VSOP87" in line:
            var = int(line.split("VARIABLE")[1].split()[0])
            power = int(line.split("*T**")[1].split()[0])
            key = ("LBR"[var - 1], power)
            series[key] = []
        else:
            f = line.split()
            series[key].append((float(f[-3]), float(f[-2]), float(f[-1])))
    return series


def earth_block(path):
    series = read_vsop(path)
    header = [1e10, 20]
    terms = []
    for coord in "LBR":
        for power, count in enumerate(EARTH_COUNTS[coord]):
            rows = sorted(series.get((coord, power), []), key=lambda r: -abs(r[0]))[:count]
            assert len(rows) == count, (coord, power)
            for a, b, c in rows:
                terms += [round(a * 1e10), round(b, 9), round(c, 9)]
            header.append(20 + len(terms))
    return header, terms


def dms(d, m, s):
    return (d * 3600 + m * 60 + s)


# Fitted constants of the DE405 solution (arcseconds, per century powers).
D_W1 = [-0.07008, -0.35106, -0.03743, -0.00018865, -0.00001024]
D_W2 = [0.20794, 0.08017, 0.00470602, -0.00025213, 0.0]
D_W3 = [-0.07215, -0.04317, -0.00261070, -0.00010712, 0.0]
D_T = [-0.00033, 0.00732]
D_PI = [-0.00749]
D_GAMMA, D_E, D_EP = 0.00085, -0.00006, 0.00224
AM, ALPHA = 0.074801329, 0.002571881


def moon_arguments():
    w1 = [dms(218, 18, 59.95571), 1732559343.73604, -6.8084, 0.006604, -0.00003169]
    w2 = [dms(83, 21, 11.67475), 14643420.3171, -38.2631, -0.045047, 0.00021301]
    w3 = [dms(125, 2, 40.39816), -6967919.5383, 6.3590, 0.007625, -0.00003586]
    t = [dms(100, 27, 59.13885), 129597742.2930, -0.0202, 0.000009, 0.00000015]
    pp = [dms(102, 56, 14.45766), 1161.24342, 0.529265, -0.00011814, 0.000011379]
    nu = w1[1]
    # Mean motions of perigee and node follow the fitted constants.
    bp = [[0.311079095, -0.004482398, -0.001102485, 0.001056062, 0.000050928],
          [-0.103837907, 0.000668287, -0.001298072, -0.000178028, -0.000037342]]
    for i, w in ((0, w2), (1, w3)):
        b = bp[i]
        x = b[0] + 2 / 3 * ALPHA / AM * b[4]
        dw = (w[1] / nu - AM * x) * D_W1[1] + x * D_T[1] + nu * (b[1] * D_GAMMA + b[2] * D_E + b[3] * D_EP) / RAD
        w[1] += dw
    for k in range(5):
        w1[k] += D_W1[k]
        w2[k] += D_W2[k]
        w3[k] += D_W3[k]
    for k in range(2):
        t[k] += D_T[k]
    pp[0] += D_PI[0]
    d = [w1[k] - t[k] for k in range(5)]
    d[0] += 180 * 3600
    f = [w1[k] - w3[k] for k in range(5)]
    l = [w1[k] - w2[k] for k in range(5)]
    lp = [t[k] - pp[k] for k in range(5)]
    zeta = list(w1)
    zeta[1] += 5029.0966 - 0.29965
    return [d, f, l, lp], zeta, nu


PLANETS = [(dms(252, 15, 3.216919), 538101628.68888), (dms(181, 58, 44.758419), 210664136.45777),
           None, (dms(355, 26, 3.642778), 68905077.65936), (dms(34, 21, 5.379392), 10925660.57335),
           (dms(50, 4, 38.902495), 4399609.33632), (dms(314, 3, 4.354234), 1542482.57845),
           (dms(304, 20, 56.808371), 786547.89700)]


def combine(mult, args):
    """Polynomial (arcseconds) of a combination of arguments."""
    poly = [0.0] * 5
    for k, arg in zip(mult, args):
        if k:
            for p in range(len(arg)):
                poly[p] += k * arg[p]
    return poly


def term(amp, phase_shift, poly):
    b = (poly[0] / RAD + phase_shift) % (2 * math.pi)
    if amp < 0:
        amp, b = -amp, (b + math.pi) % (2 * math.pi)
    return [amp, b, poly[1] / RAD, poly[2] / RAD * 1e4, poly[3] / RAD * 1e8, poly[4] / RAD * 1e8]


def main_problem(path, coord, delaunay):
    nu_corr = 0.55604 + D_W1[1]
    n_corr = -0.0642 + D_T[1]
    g_corr, e_corr, ep_corr = (-0.08066 + D_GAMMA) / RAD, (0.01789 + D_E) / RAD, (-0.12879 + D_EP) / RAD
    nu = 1732559343.73604
    rows = []
    lines = open(path).read().splitlines()[1:]
    for line in lines:
        mult = [int(line[i * 3:i * 3 + 3]) for i in range(4)]
        a = float(line[14:27])
        b = [float(line[27 + 12 * j:39 + 12 * j]) for j in range(6)]
        x = b[0] + 2 / 3 * ALPHA / AM * b[4]
        da = -AM * x * nu_corr / nu + x * n_corr / nu + b[1] * g_corr + b[2] * e_corr + b[3] * ep_corr
        if coord == 2:
            da -= 2 / 3 * a * nu_corr / nu
        a += da
        if coord == 2:
            a *= 384747.961370173 / 384747.980674318
        shift = 0.0 if coord == 2 else -math.pi / 2
        rows.append(term(a, shift, combine(mult, delaunay)))
    return rows


def perturbations(path, coord, delaunay, zeta):
    planets = [None if p is None else [p[0], p[1]] for p in PLANETS]
    powers = {}
    current = None
    for line in open(path):
        if "PERTURBATIONS" in line:
            current = powers.setdefault(int(line.split()[-1]), [])
            continue
        s = float(line[5:25].replace("D", "E"))
        c = float(line[25:45].replace("D", "E"))
        mult = [int(line[45 + 3 * i:48 + 3 * i]) for i in range(13)]
        args = delaunay + planets[:2] + [None] + planets[3:] + [zeta]
        # T is argument 7 (index 6): the Earth-Moon barycentre's mean longitude.
        args[6] = T_ARG
        amp = math.hypot(s, c)
        if coord == 2:
            amp *= 384747.961370173 / 384747.980674318
        shift = -math.atan2(s, c)
        current.append(term(amp, shift, combine(mult, args)))
    return powers


T_ARG = None


def moon_terms(folder):
    """All Moon terms per coordinate and power, largest first."""
    global T_ARG
    delaunay, zeta, _ = moon_arguments()
    # T itself (needed by the planetary arguments) = W1 - D + 180deg.
    w1 = zeta[:]
    w1[1] -= 5029.0966 - 0.29965
    T_ARG = [w1[k] - delaunay[0][k] for k in range(5)]
    T_ARG[0] += 180 * 3600
    blocks = []
    for coord in range(3):
        main = main_problem(f"{folder}/ELP_MAIN.S{coord + 1}", coord, delaunay)
        pert = perturbations(f"{folder}/ELP_PERT.S{coord + 1}", coord, delaunay, zeta)
        per_power = []
        for power in range(4):
            rows = pert.get(power, []) + (main if power == 0 else [])
            rows.sort(key=lambda r: -abs(r[0]))
            per_power.append(rows)
        blocks.append(per_power)
    return blocks


def moon_blocks(all_terms):
    blocks = []
    for coord in range(3):
        per_power = []
        for power in range(4):
            count = MOON_COUNTS[coord][power]
            assert len(all_terms[coord][power]) >= count
            per_power.append(all_terms[coord][power][:count])
        blocks.append(per_power)
    return blocks


def write_reference(out, folder, all_terms):
    series = read_vsop(f"{folder}/vsop87/VSOP87D.ear")
    w = ["// Generated by gen/calendar/make_series.py --reference; do not edit.",
         "// Whole VSOP87D Earth series (A rad or AU, B, C per millennium) and the ELP/MPP02",
         "// Moon terms of at least 0.001 (A, B, C, D, E, F as in the program's table)."]
    for coord in "LBR":
        for power in range(6):
            rows = series.get((coord, power), [])
            w.append(f"const double kRefEarth{coord}{power}[] = {{")
            w += [f"    {a!r}, {b!r}, {c!r}," for a, b, c in rows] or ["    0, 0, 0,"]
            w.append("};")
            w.append(f"const int kRefEarth{coord}{power}Count = {3 * len(rows)};")
    names = ["Longitude", "Latitude", "Distance"]
    for coord in range(3):
        for power in range(4):
            rows = [r for r in all_terms[coord][power] if abs(r[0]) >= 1e-3]
            w.append(f"const double kRefMoon{names[coord]}{power}[] = {{")
            w += ["    " + ", ".join(repr(v) for v in r) + "," for r in rows] or ["    0, 0, 0, 0, 0, 0,"]
            w.append("};")
            w.append(f"const int kRefMoon{names[coord]}{power}Count = {6 * len(rows)};")
    open(out, "w").write("\n".join(w) + "\n")


def fmt(x, digits):
    if abs(x) < 1 and x != 0 and digits == 3:
        return f"{x:.6g}"  # small amplitudes keep six significant digits
    s = f"{x:.{digits}f}"
    if "." in s:
        s = s.rstrip("0").rstrip(".")
    return "0" if s in ("-0", "") else s


def write(out, header, earth, moon):
    w = []
    w.append("// Generated by gen/calendar/make_series.py from VSOP87D.ear and the ELP/MPP02 files; do not edit.")
    w.append('#include "calendar/SeriesTables.h"\n')
    w.append("namespace eph {\n")
    w.append(f"const double PlanetSeriesTable[{len(header) + len(earth)}] = {{")
    w.append("    // header: scale, first term, end index of L0..L5, B0..B5, R0..R5")
    w.append("    " + ", ".join(str(int(h)) for h in header) + ",")
    for i in range(0, len(earth), 3):
        w.append(f"    {earth[i]}, {fmt(earth[i + 1], 9)}, {fmt(earth[i + 2], 9)},")
    w.append("};\n")
    # The scale does not fit 32 bits: the index holds its power of ten.
    index = [10] + [int(h) for h in header[1:]]
    w.append("const int PlanetSeriesIndex[20] = {" + ", ".join(str(h) for h in index) + "};\n")
    names = ["Longitude", "Latitude", "Distance"]
    for coord in range(3):
        for power in range(4):
            rows = moon[coord][power]
            w.append(f"const double Moon{names[coord]}{power}[{max(6, 6 * len(rows))}] = {{")
            for r in rows:
                w.append("    " + ", ".join(fmt(v, d) for v, d in zip(r, (3 if coord < 2 else 3, 8, 9, 7, 4, 6))) + ",")
            if not rows:
                w.append("    0, 0, 0, 0, 0, 0,")
            w.append("};")
    w.append("\nconst double* const MoonSeriesTable[3][4] = {")
    for coord in range(3):
        w.append("    {" + ", ".join(f"Moon{names[coord]}{p}" for p in range(4)) + "},")
    w.append("};\n")
    w.append("const int MoonSeriesCount[3][4] = {")
    for coord in range(3):
        w.append("    {" + ", ".join(str(6 * len(moon[coord][p])) for p in range(4)) + "},")
    w.append("};\n")
    w.append("}  // namespace eph")
    open(out, "w").write("\n".join(w) + "\n")


def main():
    folder, out = sys.argv[1], sys.argv[2]
    header, earth = earth_block(f"{folder}/vsop87/VSOP87D.ear")
    all_terms = moon_terms(f"{folder}/elpmpp02")
    moon = moon_blocks(all_terms)
    write(out, header, earth, moon)
    if len(sys.argv) == 5 and sys.argv[3] == "--reference":
        write_reference(sys.argv[4], folder, all_terms)
    print("earth header", [int(h) for h in header[2:]])
    print("moon first", moon[0][0][0])


if __name__ == "__main__":
    main()
