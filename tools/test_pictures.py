#!/usr/bin/env python3
"""Writes the picture test's files: the kinds of picture people bring, each
with four corner colours that tell its size, orientation and alpha.

    test_pictures.py OUTDIR            every picture
    test_pictures.py --exif-only OUTDIR  the EXIF-turned JPEGs (fuzzing seeds)
"""
import io
import os
import subprocess
import sys

from PIL import Image

# Upright corners: top-left red, top-right green, bottom-left blue,
# bottom-right white; each a solid quadrant, so blur at the seams never
# reaches the probes.
CORNERS = [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)]
W, H = 64, 48


def quadrants(w=W, h=H, colours=CORNERS, mode="RGB"):
    im = Image.new(mode, (w, h))
    tl, tr, bl, br = colours
    for box, colour in (((0, 0, w // 2, h // 2), tl), ((w // 2, 0, w, h // 2), tr),
                        ((0, h // 2, w // 2, h), bl), ((w // 2, h // 2, w, h), br)):
        im.paste(colour, box)
    return im


# How each EXIF orientation's stored picture is made from the upright one:
# the inverse of what the viewer applies to show it.
STORED = {
    2: [Image.Transpose.FLIP_LEFT_RIGHT],
    3: [Image.Transpose.ROTATE_180],
    4: [Image.Transpose.FLIP_TOP_BOTTOM],
    5: [Image.Transpose.TRANSPOSE],
    6: [Image.Transpose.ROTATE_90],      # shown turned 90 degrees clockwise
    7: [Image.Transpose.TRANSVERSE],
    8: [Image.Transpose.ROTATE_270],     # shown turned 90 degrees anticlockwise
}


def exif_jpegs(out):
    for orientation, steps in STORED.items():
        im = quadrants()
        for step in steps:
            im = im.transpose(step)
        exif = Image.Exif()
        exif[0x0112] = orientation
        im.save(os.path.join(out, "orient%d.jpg" % orientation), quality=95, exif=exif.tobytes())
    # A hostile EXIF block: orientation 6's, its first IFD said to lie far
    # past the segment's end.
    with open(os.path.join(out, "orient6.jpg"), "rb") as f:
        data = bytearray(f.read())
    at = data.index(b"Exif\0\0MM\0*") + 10
    data[at:at + 4] = b"\xff\xff\xff\x00"
    with open(os.path.join(out, "exif_hostile.jpg"), "wb") as f:
        f.write(data)


def magick(out, name, *args, prefix=""):
    """ImageMagick from the upright quadrant picture to `name` (`prefix`:
    its output format, such as "PNG48:")."""
    src = os.path.join(out, "_source.png")
    quadrants().save(src)
    subprocess.run(["convert", src, *args, prefix + os.path.join(out, name)], check=True)
    os.remove(src)


def everything(out):
    exif_jpegs(out)
    quadrants().save(os.path.join(out, "progressive.jpg"), quality=95, progressive=True)
    quadrants().convert("L").save(os.path.join(out, "gray.jpg"), quality=95)
    magick(out, "cmyk.jpg", "-colorspace", "CMYK", "-quality", "95")
    magick(out, "interlaced.png", "-interlace", "PNG")
    # Palette with a transparent entry: the top-left quadrant is see-through.
    pal = quadrants().convert("P", palette=Image.Palette.ADAPTIVE, colors=4)
    pal.save(os.path.join(out, "palette_trns.png"), transparency=pal.getpixel((0, 0)))
    # Grey with alpha: the bottom-right quadrant half transparent.
    la = quadrants().convert("L").convert("LA")
    la.paste((255, 128), (W // 2, H // 2, W, H))
    la.save(os.path.join(out, "gray_alpha.png"))
    magick(out, "16bit.png", "-depth", "16", prefix="PNG48:")
    bw = [(0, 0, 0), (255, 255, 255), (255, 255, 255), (0, 0, 0)]
    quadrants(colours=bw).convert("1").save(os.path.join(out, "1bit.png"))
    for fmt, name in (("BMP", "bmp_as.png"), ("GIF", "gif_as.png"), ("JPEG", "jpeg_as.png")):
        buf = io.BytesIO()
        quadrants().save(buf, fmt)
        with open(os.path.join(out, name), "wb") as f:
            f.write(buf.getvalue())
    quadrants(1000, 600).save(os.path.join(out, "wide1000x600.jpg"), quality=95)
    quadrants(300, 200).save(os.path.join(out, "side300x200.png"))
    quadrants(500, 300).save(os.path.join(out, "skin500x300.png"))


def main(argv):
    exif_only = argv[:1] == ["--exif-only"]
    out = argv[-1]
    os.makedirs(out, exist_ok=True)
    exif_jpegs(out) if exif_only else everything(out)


if __name__ == "__main__":
    main(sys.argv[1:])
