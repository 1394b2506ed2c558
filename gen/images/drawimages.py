#!/usr/bin/env python3
"""Draws the program's small pictures: the case tree's node images and the save
command's menu images, 16 x 16 each, side by side in one strip a list.

    drawimages.py FOLDER   writes casetree.bmp, savemenu.bmp and Images.rc into FOLDER

Magenta (255, 0, 255) shows through, as in the skins. The strips' order is the image
index the program uses: the tree's female case, male case, category and root; the
menu's new and stored case.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "skin"))
from drawskins import Image, darker, lighter, side_by_side  # noqa: E402

SIZE = 16
OUTLINE = (40, 40, 48)


def disc(img, cx, cy, r, fill, edge):
    for y in range(SIZE):
        for x in range(SIZE):
            d = (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2
            if d <= r * r:
                img.put(x, y, edge if d > (r - 1.2) ** 2 else fill)


def person(colour):
    """A head and shoulders: blue for a man, red for a woman; a woman's has long hair."""
    img = Image(SIZE, SIZE)
    # shoulders: a rounded block with an outline
    for y in range(9, 16):
        half = min(7, 3 + (y - 9) * 2)
        img.rect(8 - half, y, 8 + half, y + 1, colour)
        img.put(8 - half, y, OUTLINE)
        img.put(8 + half - 1, y, OUTLINE)
    img.rect(1, 15, 15, 16, OUTLINE)
    disc(img, 8, 5, 4.2, (250, 214, 180), OUTLINE)
    return img


def female():
    img = person((214, 52, 72))
    hair = (120, 52, 30)
    img.rect(4, 1, 12, 3, hair)
    img.rect(3, 3, 5, 10, hair)
    img.rect(11, 3, 13, 10, hair)
    return img


def male():
    img = person((44, 100, 196))
    img.rect(5, 1, 11, 3, (40, 32, 28))
    return img


def folder():
    img = Image(SIZE, SIZE)
    body, tab = (240, 196, 64), (214, 160, 40)
    img.rect(1, 3, 7, 5, tab)
    img.frame(1, 3, 7, 6, darker(tab))
    img.rect(1, 5, 15, 14, body)
    img.rect(2, 6, 14, 7, lighter(body, 0.5))
    img.frame(1, 5, 15, 14, darker(tab))
    return img


def book():
    """The whole history: a closed green book with pages at its foot."""
    img = Image(SIZE, SIZE)
    cover = (46, 140, 84)
    img.rect(3, 1, 14, 13, cover)
    img.rect(3, 1, 5, 13, darker(cover))
    img.rect(4, 13, 14, 15, (250, 250, 240))
    img.frame(3, 1, 14, 16, OUTLINE)
    img.rect(7, 4, 12, 5, lighter(cover, 0.7))
    img.rect(7, 6, 12, 7, lighter(cover, 0.7))
    return img


def disk(mark):
    """A diskette with a mark at its lower right: a plus for a new case, a pencil for a
    stored one."""
    img = Image(SIZE, SIZE)
    body = (52, 84, 160)
    img.rect(1, 1, 15, 15, body)
    img.frame(1, 1, 15, 15, darker(body, 0.5))
    img.rect(4, 1, 12, 6, (220, 224, 232))
    img.rect(9, 2, 11, 5, darker(body, 0.3))
    img.rect(3, 9, 13, 15, (250, 250, 250))
    mark(img)
    return img


def plus(img):
    green, edge = (40, 176, 64), (16, 96, 32)
    img.rect(9, 11, 16, 14, edge)
    img.rect(11, 9, 14, 16, edge)
    img.rect(10, 12, 15, 13, green)
    img.rect(12, 10, 13, 15, green)


def pencil(img):
    wood, lead = (236, 140, 32), (40, 40, 40)
    for i in range(6):
        img.rect(9 + i, 14 - i, 11 + i, 16 - i, wood)
        img.put(8 + i, 15 - i, darker(wood, 0.4))
    img.put(8, 15, lead)
    img.put(9, 15, lead)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    folder_out = sys.argv[1]
    os.makedirs(folder_out, exist_ok=True)
    strips = {
        "CASETREE": ("casetree.bmp", [female(), male(), folder(), book()]),
        "SAVEMENU": ("savemenu.bmp", [disk(plus), disk(pencil)]),
    }
    lines = []
    for name, (file, images) in strips.items():
        path = os.path.join(folder_out, file)
        side_by_side(images).save(path)
        lines.append(f'{name} BITMAP "{os.path.abspath(path)}"')
    with open(os.path.join(folder_out, "Images.rc"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
