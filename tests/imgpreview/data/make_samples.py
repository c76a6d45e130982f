#!/usr/bin/python3
"""Writes the loader's sample files into samples/ beside this script.

Most formats are written byte by byte here, so each file holds exactly what its test
expects; the CMYK JPEG and the icon files come from Pillow (Debian python3-pil). The
pictures a test compares against are written as binary PPM files. Run once after a change
and commit the results; the PE file with icons comes from make_icons.sh afterwards.
    /usr/bin/python3 make_samples.py
"""
import os
import struct

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "samples")

# The BMP pattern: 7 x 5 pixels (rows need padding at every depth), colours from a palette
# of 16 whose channels are multiples of 8, so 16-bit files hold them exactly too.
W, H = 7, 5
PALETTE = [(r * 8, g * 8, b * 8) for r, g, b in [
    (0, 0, 0), (31, 0, 0), (0, 31, 0), (0, 0, 31), (31, 31, 0), (0, 31, 31), (31, 0, 31),
    (31, 31, 31), (16, 8, 4), (4, 16, 8), (8, 4, 16), (20, 20, 20), (10, 30, 2), (2, 10, 30),
    (30, 2, 10), (12, 12, 24)]]


def index(x, y, colours):
    return (x + 2 * y) % colours


def write(name, data):
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


def ppm(name, rows):
    body = bytes(c for row in rows for p in row for c in p)
    write(name, b"P6\n%d %d\n255\n" % (len(rows[0]), len(rows)) + body)


def bmp(name, bits, rows_bytes, colours=0, compression=0, masks=b"", top_down=False):
    """rows_bytes: the pixel data as stored (bottom-up unless top_down)."""
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE[:colours])
    offset = 14 + 40 + len(masks) + len(table)
    info = struct.pack("<IiiHHIIiiII", 40, W, -H if top_down else H, 1, bits, compression,
                       len(rows_bytes), 2835, 2835, colours, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(rows_bytes), 0, 0, offset)
    write(name, head + info + masks + table + rows_bytes)


def packed_rows(bits, pixel, top_down=False):
    """Rows of W pixels, each padded to whole 32-bit words; pixel(x, y) gives its value."""
    order = range(H) if top_down else reversed(range(H))
    out = b""
    for y in order:
        if bits >= 8:
            row = b"".join(pixel(x, y) for x in range(W))
        else:
            value = 0
            for x in range(W):
                value = value << bits | pixel(x, y)
            total = W * bits
            value <<= (8 - total % 8) % 8
            row = value.to_bytes((total + 7) // 8, "big")
        out += row + b"\0" * (-len(row) % 4)
    return out


def rle8_rows():
    out = b""
    for y in reversed(range(H)):
        # one run of the first pixel, then the rest as an absolute stretch (even length)
        first = index(0, y, 16)
        rest = [index(x, y, 16) for x in range(1, W)]
        out += bytes([1, first, 0, len(rest)]) + bytes(rest) + b"\0" * (len(rest) % 2)
        out += b"\0\0"  # end of line
    return out + b"\0\1"  # end of bitmap


def rle4_rows():
    out = b""
    for y in reversed(range(H)):
        # runs of two pixels alternating between two indexes, one run per pixel pair
        x = 0
        while x < W:
            n = min(2, W - x)
            a = index(x, y, 16)
            b = index(x + 1, y, 16) if n == 2 else 0
            out += bytes([n, a << 4 | b])
            x += n
        out += b"\0\0"
    return out + b"\0\1"


def bmps():
    pattern = [[PALETTE[index(x, y, 16)] for x in range(W)] for y in range(H)]
    ppm("bmp_pattern.ppm", pattern)
    ppm("bmp_pattern1.ppm", [[PALETTE[index(x, y, 2)] for x in range(W)] for y in range(H)])
    px = lambda x, y: PALETTE[index(x, y, 16)]
    bmp("bmp1.bmp", 1, packed_rows(1, lambda x, y: index(x, y, 2)), colours=2)
    bmp("bmp4.bmp", 4, packed_rows(4, lambda x, y: index(x, y, 16)), colours=16)
    bmp("bmp4rle.bmp", 4, rle4_rows(), colours=16, compression=2)
    bmp("bmp8.bmp", 8, packed_rows(8, lambda x, y: bytes([index(x, y, 16)])), colours=16)
    bmp("bmp8rle.bmp", 8, rle8_rows(), colours=16, compression=1)
    bgr = lambda x, y: bytes(reversed(px(x, y)))
    bmp("bmp24.bmp", 24, packed_rows(24, bgr))
    bmp("bmp24topdown.bmp", 24, packed_rows(24, bgr, True), top_down=True)
    bmp("bmp32.bmp", 32, packed_rows(32, lambda x, y: bgr(x, y) + b"\0"))
    c555 = lambda x, y: struct.pack("<H", (px(x, y)[0] >> 3) << 10 | (px(x, y)[1] >> 3) << 5 |
                                    px(x, y)[2] >> 3)
    bmp("bmp16.bmp", 16, packed_rows(16, c555))
    c565 = lambda x, y: struct.pack("<H", (px(x, y)[0] >> 3) << 11 | (px(x, y)[1] >> 2) << 5 |
                                    px(x, y)[2] >> 3)
    bmp("bmp16bf565.bmp", 16, packed_rows(16, c565), compression=3,
        masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F))
    # 32 bits with the channels in an unusual order: red high, blue in the second byte
    rgbx = lambda x, y: struct.pack("<I", px(x, y)[0] << 24 | px(x, y)[1] << 16 | px(x, y)[2] << 8)
    bmp("bmp32bf.bmp", 32, packed_rows(32, rgbx), compression=3,
        masks=struct.pack("<III", 0xFF000000, 0x00FF0000, 0x0000FF00))
    # a header that declares 100,000 x 100,000 pixels
    info = struct.pack("<IiiHHIIiiII", 40, 100000, 100000, 1, 24, 0, 0, 0, 0, 0, 0)
    write("bmp_huge.bmp", struct.pack("<2sIHHI", b"BM", 54, 0, 0, 54) + info)


def lzw_literals(pixels, min_size):
    """GIF LZW data that codes every pixel as a literal, with a clear code often enough that
    the code width never grows."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    width = min_size + 1
    codes = [clear]
    limit = (1 << width) - (1 << min_size) - 3
    for i, p in enumerate(pixels):
        if i and i % limit == 0:
            codes.append(clear)
        codes.append(p)
    codes.append(end)
    value, bits, out = 0, 0, bytearray()
    for c in codes:
        value |= c << bits
        bits += width
        while bits >= 8:
            out.append(value & 0xFF)
            value >>= 8
            bits -= 8
    if bits:
        out.append(value & 0xFF)
    blocks = b"".join(bytes([len(out[i:i + 255])]) + out[i:i + 255] for i in range(0, len(out), 255))
    return bytes([min_size]) + blocks + b"\0"


def gif_frame(left, top, w, h, pixels, palette=None, interlaced=False, transparent=None):
    gce = b""
    if transparent is not None:
        gce = b"\x21\xF9\x04" + bytes([1, 0, 0, transparent, 0])
    flags = 0x40 if interlaced else 0
    table = b""
    if palette:
        flags |= 0x80 | 1  # four entries
        table = b"".join(bytes(c) for c in palette)
    order = list(range(h))
    if interlaced:
        order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, h, step)]
    data = [pixels[y * w + x] for y in order for x in range(w)]
    desc = b"\x2C" + struct.pack("<HHHHB", left, top, w, h, flags)
    return gce + desc + table + lzw_literals(data, 2)


def gif(name, sw, sh, palette, frames):
    head = b"GIF89a" + struct.pack("<HHBBB", sw, sh, 0x80 | 1, 0, 0)
    write(name, head + b"".join(bytes(c) for c in palette) + b"".join(frames) + b"\x3B")


def gifs():
    globals_ = [(255, 0, 0), (0, 128, 0), (0, 0, 255), (255, 255, 0)]
    local = [(0, 0, 0), (200, 100, 50), (50, 100, 200), (0, 255, 255)]
    sw, sh, left, top, fw, fh = 10, 9, 2, 1, 5, 7
    frame = [(x + y) % 4 for y in range(fh) for x in range(fw)]
    second = [1] * (sw * sh)
    gif("gif_frame.gif", sw, sh, globals_, [
        gif_frame(left, top, fw, fh, frame, palette=local, interlaced=True, transparent=0),
        gif_frame(0, 0, sw, sh, second)])
    white = (255, 255, 255)
    rows = []
    for y in range(sh):
        row = []
        for x in range(sw):
            inside = left <= x < left + fw and top <= y < top + fh
            i = frame[(y - top) * fw + (x - left)] if inside else 0
            row.append(local[i] if inside and i != 0 else white)
        rows.append(row)
    ppm("gif_frame.ppm", rows)
    gif("gif_huge.gif", 65535, 65535, globals_, [gif_frame(0, 0, 1, 1, [1])])
    # indexes 2 and 3 lie past a two-colour table: they show as background
    two = b"GIF89a" + struct.pack("<HHBBB", 4, 1, 0x80, 0, 0) + bytes([9, 9, 9, 90, 90, 90])
    write("gif_badindex.gif", two + gif_frame(0, 0, 4, 1, [0, 1, 2, 3]) + b"\x3B")


def jpegs():
    Image.new("CMYK", (8, 8), (0, 128, 0, 0)).save(os.path.join(OUT, "cmyk.jpg"), quality=90)
    # a small JPEG whose frame header then claims 65,000 x 65,000 pixels
    path = os.path.join(OUT, "jpeg_huge.jpg")
    Image.new("RGB", (8, 8), (10, 20, 30)).save(path, quality=90)
    data = bytearray(open(path, "rb").read())
    sof = data.index(b"\xFF\xC0")
    data[sof + 5:sof + 9] = struct.pack(">HH", 65000, 65000)
    write("jpeg_huge.jpg", bytes(data))


def png_chunk(kind, body):
    import zlib
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))


def pngs():
    import zlib
    ihdr = struct.pack(">IIBBBBB", 40000, 1, 8, 0, 0, 0, 0)
    write("png_huge.png", b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) +
          png_chunk(b"IDAT", zlib.compress(b"\0" * 40001)) + png_chunk(b"IEND", b""))


def emf_record(kind, body):
    return struct.pack("<II", kind, 8 + len(body)) + body


def emfs():
    # 100 x 60 pixels at 96 dpi: the frame in hundredths of a millimetre
    records = [
        emf_record(39, struct.pack("<IIIi", 1, 0, 0x0000FF, 0)),          # brush 1: red
        emf_record(37, struct.pack("<I", 1)),                             # select it
        emf_record(43, struct.pack("<iiii", 10, 10, 50, 40)),             # rectangle
        emf_record(39, struct.pack("<IIIi", 2, 0, 0x00FF00, 0)),          # brush 2: green
        emf_record(37, struct.pack("<I", 2)),
        emf_record(42, struct.pack("<iiii", 60, 10, 95, 55)),             # ellipse
        emf_record(14, struct.pack("<III", 0, 16, 20)),                   # end of file
    ]
    body = b"".join(records)
    size = 88 + len(body)
    header = struct.pack("<II4i4iIIIIHHIII2i2i", 1, 88, 0, 0, 99, 59, 0, 0, 2646, 1588,
                         0x464D4520, 0x10000, size, len(records) + 1, 3, 0, 0, 0, 0,
                         1920, 1080, 508, 285)
    write("shapes.emf", header + body)
    # the same with a record whose size runs past the end of the file
    bad = bytearray(header + body)
    struct.pack_into("<I", bad, 88 + 4, 4000)
    write("emf_badrecord.emf", bytes(bad))


def wmf_record(function, words):
    return struct.pack("<IH", 3 + len(words), function) + b"".join(struct.pack("<h", w) for w in words)


def wmfs():
    # ImageMagick's reader sizes the picture by what is drawn: a hollow frame spans it
    records = [
        wmf_record(0x020B, [0, 0]),                   # SETWINDOWORG y, x
        wmf_record(0x020C, [60, 100]),                # SETWINDOWEXT y, x
        wmf_record(0x02FC, [1, 0, 0, 0]),             # CREATEBRUSHINDIRECT: hollow
        wmf_record(0x012D, [0]),                      # SELECTOBJECT 0
        wmf_record(0x041B, [60, 100, 0, 0]),          # RECTANGLE bottom, right, top, left
        wmf_record(0x02FC, [0, 0x00FF, 0x0000, 0]),   # CREATEBRUSHINDIRECT: solid, red
        wmf_record(0x012D, [1]),                      # SELECTOBJECT 1
        wmf_record(0x041B, [40, 50, 10, 10]),
        wmf_record(0x0000, []),                       # end
    ]
    body = b"".join(records)
    words = (18 + len(body)) // 2
    meta = struct.pack("<HHHIHIH", 1, 9, 0x300, words, 2, max(len(r) for r in records) // 2, 0)
    place = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, 100, 60, 96, 0)
    checksum = 0
    for (w,) in struct.iter_unpack("<H", place[:20]):
        checksum ^= w
    place += struct.pack("<H", checksum)
    write("shapes.wmf", place + meta + body)


def mail():
    import base64
    subject = "=?ISO-2022-JP?B?" + base64.b64encode("洞窟の地図".encode("iso2022_jp")).decode() + "?="
    sender = "=?ISO-2022-JP?B?" + base64.b64encode("山田".encode("iso2022_jp")).decode() + "?="
    body = "新しい家が建ちました。\r\n二行目です。\r\n".encode("iso2022_jp")
    head = ("From: " + sender + " <yamada@example.jp>\r\n"
            "To: tanaka@example.jp\r\n"
            "Subject: " + subject + "\r\n"
            "Date: Tue, 1 Apr 2003 10:20:30 +0900\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
            "Content-Transfer-Encoding: 7bit\r\n\r\n").encode("ascii")
    write("mail_jis.eml", head + body)
    html = ("From: a@example.jp\r\nTo: b@example.jp\r\nSubject: alternative\r\n"
            "MIME-Version: 1.0\r\n"
            "Content-Type: multipart/alternative; boundary=\"XX\"\r\n\r\n"
            "--XX\r\nContent-Type: text/plain; charset=us-ascii\r\n\r\nplain words\r\n"
            "--XX\r\nContent-Type: text/html; charset=Shift_JIS\r\n"
            "Content-Transfer-Encoding: base64\r\n\r\n" +
            base64.encodebytes("<p><b>太字の家</b></p>".encode("shift_jis")).decode().replace("\n", "\r\n") +
            "--XX--\r\n").encode("ascii")
    write("mail_html.eml", html)


def icons():
    # three icons of three sizes each, one colour per icon, for make_icons.sh: two with
    # their pictures stored as bitmaps, one as PNG
    for name, colour, form in (("red", (220, 0, 0), "bmp"), ("green", (0, 180, 0), "png"),
                               ("blue", (0, 0, 230), "bmp")):
        Image.new("RGBA", (48, 48), colour + (255,)).save(
            os.path.join(OUT, name + ".ico"), sizes=[(16, 16), (32, 32), (48, 48)],
            bitmap_format=form)


def main():
    os.makedirs(OUT, exist_ok=True)
    bmps()
    gifs()
    jpegs()
    pngs()
    emfs()
    wmfs()
    mail()
    icons()


if __name__ == "__main__":
    main()
