#!/usr/bin/env python3
"""Writes the starting corpus of the page joiner's fuzzer into a folder.

Documents laid out as Qt's PDF writer lays them out: an information object, a
catalog, a flat page tree, pages with their contents (compressed streams with
their lengths in objects of their own), resources and annotation lists, fonts
and patterns shared between pages, one cross-reference table and a trailer.
Written from the file format's rules, with one to five pages, some of them
copies that draw the same on every page.
"""
import os
import sys
import zlib


def document(pages, indirect_resources=True, contents_array=False, annots=True, copies=False):
    objects = {}
    objects[1] = b"<<\n/Title (Card)\n/Producer (Tessaro)\n>>"
    objects[2] = b"<<\n/Type /Catalog\n/Pages 3 0 R\n>>"
    objects[4] = b"<<\n/Type /ExtGState\n/SA true\n/SM 0.02\n>>"
    objects[5] = b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"
    next_number = 6
    kids = []
    for i in range(pages):
        page, content, length, resources, annot = range(next_number, next_number + 5)
        next_number += 5
        # Copies of a sheet draw the same on every page.
        shown = 0 if copies else i
        drawing = zlib.compress(b"/GSa gs 0.12 0 0 -0.12 0 792 cm\nq q\n%d 100 200 200 re f\n"
                                b"BT /F5 12 Tf 100 400 Td (Part %d) Tj ET\nQ Q\n" %
                                (100 + 300 * shown, shown))
        objects[content] = (b"<<\n/Length %d 0 R\n/Filter /FlateDecode\n>>\nstream\n" % length
                            + drawing + b"\nendstream")
        objects[length] = b"%d" % len(drawing)
        resource_dict = (b"<<\n/ExtGState <<\n/GSa 4 0 R\n>>\n/Font <<\n/F5 5 0 R\n>>\n"
                         b"/ProcSet [/PDF /Text]\n>>")
        objects[resources] = resource_dict
        objects[annot] = b"[ ]"
        contents = b"[%d 0 R]" % content if contents_array else b"%d 0 R" % content
        res = b"%d 0 R" % resources if indirect_resources else resource_dict
        entry = b"/Annots %d 0 R\n" % annot if annots else b""
        objects[page] = (b"<<\n/Type /Page\n/Parent 3 0 R\n/Contents " + contents +
                         b"\n/Resources " + res + b"\n" + entry +
                         b"/MediaBox [0 0 612.000000 792.000000]\n>>")
        kids.append(b"%d 0 R" % page)
    objects[3] = (b"<<\n/Type /Pages\n/Kids \n[\n" + b"\n".join(kids) + b"\n]\n/Count %d\n"
                  b"/ProcSet [/PDF /Text /ImageB /ImageC]\n>>" % pages)
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\n")
    offsets = {}
    for number in sorted(objects):
        offsets[number] = len(out)
        out += b"%d 0 obj\n" % number + objects[number] + b"\nendobj\n"
    size = max(objects) + 1
    table = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % size
    for number in range(1, size):
        out += b"%010d 00000 n \n" % offsets[number]
    out += b"trailer\n<<\n/Size %d\n/Info 1 0 R\n/Root 2 0 R\n>>\nstartxref\n%d\n%%%%EOF\n" % (
        size, table)
    return bytes(out)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "pdf-corpus"
    os.makedirs(folder, exist_ok=True)
    variants = {
        "plain": {},
        "inline-resources": {"indirect_resources": False},
        "contents-array": {"contents_array": True},
        "no-annotations": {"annots": False},
        "copies": {"copies": True},
        "copies-inline-resources": {"copies": True, "indirect_resources": False},
    }
    for pages in range(1, 6):
        for name, options in variants.items():
            with open(os.path.join(folder, "%d-%s.pdf" % (pages, name)), "wb") as f:
                f.write(document(pages, **options))


if __name__ == "__main__":
    main()
