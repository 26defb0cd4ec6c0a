#pragma once

#include <QByteArray>
#include <QString>

// The Windows code page a font's \fcharsetN names (0 when it names none).
int CodePageOfCharset(int charset);

// Decodes 8-bit text in a Windows code page: 1250 (Central European), 1251
// (Cyrillic) and 1252 (Western); pages without a table here are read as 1252.
// Bytes without a character become U+FFFD.
QString DecodeCodePage(const QByteArray &bytes, int codePage);

// The Windows-1252 byte of a character, or -1 when that code page lacks it.
int EncodeWindows1252(char16_t unit);
