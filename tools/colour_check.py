#!/usr/bin/env python3
"""The digits' colours as eyes with a colour-vision deficiency see them: each colour run through
the Machado-Oliveira-Fernandes (2009) matrices at full severity, then the WCAG 2 contrast
ratio of the blue (right) and the red (wrong) digit against the cell backgrounds, and how far
red and blue lie apart (WCAG ratio and CIELAB delta E 2000). Prints a table; changes nothing.

Usage: tools/colour_check.py
"""
import math

BLUE = (0, 0, 188)  # a player's digit
RED = (255, 0, 0)  # a wrong digit (and the stroke through its cell)
BLACK = (0, 0, 0)  # a given
BACKGROUNDS = {"weiß": (255, 255, 255), "Cursor": (255, 236, 150), "gleiche Ziffer": (206, 226, 255)}

MACHADO = {
    "normal": ((1, 0, 0), (0, 1, 0), (0, 0, 1)),
    "Protanopie": ((0.152286, 1.052583, -0.204868), (0.114503, 0.786281, 0.099216), (-0.003882, -0.048116, 1.051998)),
    "Deuteranopie": ((0.367322, 0.860646, -0.227968), (0.280085, 0.672501, 0.047413), (-0.011820, 0.042940, 0.968881)),
    "Tritanopie": ((1.255528, -0.076749, -0.178779), (-0.078411, 0.930809, 0.147602), (0.004733, 0.691367, 0.303900)),
}


def to_linear(c):
    c /= 255.0
    return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4


def simulate(rgb, matrix):
    lin = [to_linear(c) for c in rgb]
    return [min(1.0, max(0.0, sum(m * v for m, v in zip(row, lin)))) for row in matrix]


def luminance(lin):
    return 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]


def contrast(a, b):
    la, lb = sorted((luminance(a), luminance(b)), reverse=True)
    return (la + 0.05) / (lb + 0.05)


def lab(lin):
    x = (0.4124 * lin[0] + 0.3576 * lin[1] + 0.1805 * lin[2]) / 0.95047
    y = 0.2126 * lin[0] + 0.7152 * lin[1] + 0.0722 * lin[2]
    z = (0.0193 * lin[0] + 0.1192 * lin[1] + 0.9505 * lin[2]) / 1.08883
    f = [t ** (1 / 3) if t > 216 / 24389 else (24389 / 27 * t + 16) / 116 for t in (x, y, z)]
    return 116 * f[1] - 16, 500 * (f[0] - f[1]), 200 * (f[1] - f[2])


def delta_e2000(lab1, lab2):
    l1, a1, b1 = lab1
    l2, a2, b2 = lab2
    c1, c2 = math.hypot(a1, b1), math.hypot(a2, b2)
    g = 0.5 * (1 - math.sqrt(((c1 + c2) / 2) ** 7 / (((c1 + c2) / 2) ** 7 + 25 ** 7)))
    a1, a2 = a1 * (1 + g), a2 * (1 + g)
    c1, c2 = math.hypot(a1, b1), math.hypot(a2, b2)
    h1, h2 = math.degrees(math.atan2(b1, a1)) % 360, math.degrees(math.atan2(b2, a2)) % 360
    dl, dc = l2 - l1, c2 - c1
    dh = 0 if c1 * c2 == 0 else (h2 - h1 if abs(h2 - h1) <= 180 else h2 - h1 - 360 * math.copysign(1, h2 - h1))
    dhh = 2 * math.sqrt(c1 * c2) * math.sin(math.radians(dh / 2))
    lm, cm = (l1 + l2) / 2, (c1 + c2) / 2
    hm = h1 + h2 if c1 * c2 == 0 else ((h1 + h2) / 2 if abs(h1 - h2) <= 180 else (h1 + h2 + 360) / 2 % 360)
    t = (1 - 0.17 * math.cos(math.radians(hm - 30)) + 0.24 * math.cos(math.radians(2 * hm))
         + 0.32 * math.cos(math.radians(3 * hm + 6)) - 0.20 * math.cos(math.radians(4 * hm - 63)))
    sl = 1 + 0.015 * (lm - 50) ** 2 / math.sqrt(20 + (lm - 50) ** 2)
    sc, sh = 1 + 0.045 * cm, 1 + 0.015 * cm * t
    rt = (-2 * math.sqrt(cm ** 7 / (cm ** 7 + 25 ** 7))
          * math.sin(math.radians(60 * math.exp(-(((hm - 275) / 25) ** 2)))))
    return math.sqrt((dl / sl) ** 2 + (dc / sc) ** 2 + (dhh / sh) ** 2 + rt * (dc / sc) * (dhh / sh))


def main():
    print("Sehen        | Blau:weiß Rot:weiß Schwarz:weiß | Rot:Blau  ΔE2000 | Blau/Rot auf Cursor, gleiche Ziffer")
    for name, matrix in MACHADO.items():
        blue, red, black = (simulate(c, matrix) for c in (BLUE, RED, BLACK))
        white = simulate(BACKGROUNDS["weiß"], matrix)
        tints = [simulate(BACKGROUNDS[k], matrix) for k in ("Cursor", "gleiche Ziffer")]
        print(f"{name:<12} | {contrast(blue, white):8.2f} {contrast(red, white):8.2f} {contrast(black, white):12.2f} |"
              f" {contrast(red, blue):8.2f} {delta_e2000(lab(red), lab(blue)):7.1f} | "
              + ", ".join(f"{contrast(blue, t):.2f}/{contrast(red, t):.2f}" for t in tints))
    grey = [luminance(simulate(c, MACHADO["normal"])) for c in (BLUE, RED)]
    print(f"Graustufen: Blau {grey[0]:.3f}, Rot {grey[1]:.3f} (relative Leuchtdichte)")


if __name__ == "__main__":
    main()
