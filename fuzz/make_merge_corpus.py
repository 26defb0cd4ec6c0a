#!/usr/bin/env python3
"""Writes the starting corpus of the merge data fuzzer into a folder: small
spreadsheet CSV files and vCards as programs and phones write them, and texts
with merge fields."""
import os
import sys

SEEDS = {
    "utf8-bom.csv": b"\xef\xbb\xbfName,Company,Note\r\n"
                    b"\"\xc5\x81ukasz\",\"Acme, Inc.\",\"said \"\"hi\"\"\r\nthen\"\r\n"
                    b"\xce\x93\xce\xb9\xcf\x8e\xcf\x81\xce\xb3\xce\xbf\xcf\x82,Caf\xc3\xa9,\r\n",
    "cp1252.csv": b"Name;City\rM\xfcller;K\xf6ln \x80\r",
    "tab.csv": b"a\tb\tc\n1\t2\t3\n\n4\t\t\t\n",
    "broken.csv": b"a,b\n1,\"open\n2,3\n",
    "v21.vcf": b"BEGIN:VCARD\r\nVERSION:2.1\r\n"
               b"N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:W=C3=B3jcik;Zofia;;;\r\n"
               b"FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Zofia W=C3=B3j=\r\ncik\r\n"
               b"TEL;CELL:+48 600\r\nTEL;WORK;VOICE:+48 12\r\n"
               b"ADR;HOME;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:;;Ring 1;K=F6ln;;5000;DE\r\n"
               b"PHOTO;ENCODING=BASE64;JPEG:/9j/4AAQ\r\nSkZJRgAB\r\n\r\nEND:VCARD\r\n",
    "v30.vcf": b"BEGIN:VCARD\nVERSION:3.0\nFN:Jean-Luc Pi\n card\nN:Picard;Jean-Luc;;;\n"
               b"ORG:Starfleet;Command\nTITLE:Captain\\, USS\n\tEnterprise\n"
               b"PHOTO;ENCODING=b;TYPE=JPEG:QUFB\n QUFB\n QUFB\n"
               b"EMAIL;type=INTERNET;type=PREF:a@b.example\nitem1.TEL;type=work,voice:+1 555\n"
               b"ADR;TYPE=work:;;1 Road\\nEast;Town;;123;FR\nEND:VCARD\n",
    "v40.vcf": b"BEGIN:VCARD\nVERSION:4.0\nN:\xce\xa0\xce\xb1;\xce\x95;;;\n"
               b"TEL;VALUE=uri;TYPE=\"voice,work\":tel:+30-210\nEMAIL;PREF=1:e@x.gr\n"
               b"BEGIN:VCARD\nFN:agent\nEND:VCARD\nEND:VCARD\nBEGIN:VCARD\nFN:open\n",
    "fields.txt": "Dear ${Name}, $${not} ${Straße}${City} ${} ${open".encode(),
}


def main() -> None:
    folder = sys.argv[1] if len(sys.argv) > 1 else "merge-corpus"
    os.makedirs(folder, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
