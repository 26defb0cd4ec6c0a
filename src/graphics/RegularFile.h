#pragma once

#include <QByteArray>
#include <QString>

// Reading the program's own files (designs, the clipboard file, sidecars,
// TSC.INI, pictures) from paths that come from outside: a recent-files entry,
// a sidecar, a link someone put in place of the clipboard file. Only regular
// files are read (a link to one is followed): a FIFO would block the caller in
// open() for good and a device such as /dev/zero never ends. Every read is
// bounded by a size that no real file of that kind reaches.

// Sizes no real file of that kind reaches.
inline constexpr qint64 kMaxDesignFileBytes = 64 * 1024 * 1024; // designs, clipboard file
inline constexpr qint64 kMaxPreferencesFileBytes = 1024 * 1024;  // TSC.INI
inline constexpr qint64 kMaxPictureFileBytes = 256 * 1024 * 1024;

enum class TFileReadResult {
    Read,            // the bytes are there
    Missing,         // nothing at that path (or a link to nothing)
    NotARegularFile, // a folder, FIFO, socket or device
    TooLarge,        // larger than the bound
    Failed,          // it could not be opened or read
};

// The whole file, when it is a regular file of at most maxBytes bytes. On any
// other result bytes is left empty and why (when given) says what went wrong.
TFileReadResult ReadRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes,
                                QString *why = nullptr);

// At most the first count bytes of a regular file of any size.
TFileReadResult ReadRegularFileHead(const QString &path, qint64 count, QByteArray *bytes,
                                    QString *why = nullptr);

// True when something exists at path (a link is followed) that is not a
// regular file: writing there would replace a device or feed a FIFO.
bool IsSpecialFile(const QString &path);

// File names as bytes. Linux takes any bytes but NUL and '/' in a name; a
// name that is not UTF-8 would not survive QString's decoding, so each byte
// that is not part of a UTF-8 character is kept as the lone surrogate
// U+DC80..U+DCFF, which EncodeFileName turns back into that byte.
QString DecodeFileName(const QByteArray &name);
QByteArray EncodeFileName(const QString &name);

// Text from outside (names and strings of a design, file names) made safe to
// print on a terminal or show in a message: C0 controls and DEL become \x1b,
// C1 controls \u0085, and a byte of a file name that is not UTF-8 \xff.
QString PrintableText(const QString &text);
