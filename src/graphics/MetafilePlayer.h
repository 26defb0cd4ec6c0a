#pragma once

#include <QByteArray>
#include <QRect>
#include <QSize>
#include <cstdint>

class QPainter;

// Windows metafiles as clip art and designs hold them: placeable WMF (with
// the 22-byte header that gives the picture's frame and its units per inch),
// plain WMF, and enhanced metafiles (EMF). They are played record by record
// onto a QPainter, so the same drawing goes to the screen, to images and as
// vectors into PDF files.
//
// Every record's size is checked against the bytes left before any of its
// fields is read; unknown records are skipped; a record that claims more
// bytes than the file holds ends the playing. A picture whose natural size is
// over kMaxPictureSide pixels on either side is refused.
//
// Hostile files cost time in proportion to their size, not to its square:
// the player keeps the clip the records make itself (rectangles as a region
// of a bounded number of them) and hands the painter only the clip in force
// when something is drawn; a new object finds the lowest free slot at once;
// and one play does at most kMaxMetafileWork units of work (a record is one,
// a clip rectangle or path element combined or handed on another), after
// which the rest of the picture is not drawn.

// The units of work one play may do, as said above.
constexpr int64_t kMaxMetafileWork = 2000000;

enum class TMetafileKind { None, PlainWmf, PlaceableWmf, Emf };

// What the bytes are, from their header; None when they are no metafile
// this player draws (including one larger than kMaxPictureSide).
TMetafileKind MetafileKindOf(const QByteArray &metafile);

// Pixels at 96 dpi: the placeable header's frame at its units per inch, the
// window extent of a plain WMF, the frame of an EMF. Invalid when the file
// does not say (a plain WMF that never sets its window extent) or is refused.
QSize MetafileNaturalSize(const QByteArray &metafile);

// A plain WMF with the placeable header designs keep metafiles in: the frame
// of its window (or of what it draws) at 96 units per inch, so it shows at
// the same size. Other bytes, and a plain WMF without a frame, come back as
// they are.
QByteArray WithPlaceableHeader(const QByteArray &metafile);

// Draws the whole picture stretched onto target, clipped to it; nothing for
// bytes that are no metafile. The painter is left as it was.
void PlayMetafile(QPainter &painter, const QRect &target, const QByteArray &metafile);
