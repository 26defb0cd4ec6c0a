#pragma once

#include <QList>
#include <QRectF>
#include <QString>

class QIODevice;

// Joins runs of pages of a PDF document as Qt's PDF writer lays it out (one
// cross-reference table, a flat page tree) into single pages. `parts` says,
// for each page of the result in turn, how many pages of the input it is
// made of; they must add up to the input's page count. A joined page shows
// its parts drawn one over the other, each from a fresh graphics state, with
// the resources of all of them; it keeps the first part's page box. Every
// other object (fonts, pictures, patterns, the content streams) is copied
// byte for byte; the page objects the join makes redundant are left out.
// A page of the result that draws what one before it draws (the same content
// streams, byte for byte, under the same resources: a copy of a sheet) refers
// to that page's streams and resources, and its own are left out. A count
// of -k makes a page of the result that is a copy of the page k places
// before it (more copies of a sheet, drawn once), taking no input page.
//
// A device that keeps a whole page in memory until the page ends (Qt's PDF
// writer does) can so draw a large page in parts and hold one part at a time.
//
// The input is read in bounded pieces: its page objects and tables are parsed
// within fixed limits and anything that is not laid out as expected is
// refused, with the reason in `error`. False also when a write to `output`
// fails. `input` must be open for reading and seekable; `output` open for
// writing.
//
// With `boxes`, every page of the result also gets those page boxes (a
// print shop's trim and bleed), replacing its MediaBox.
struct TPdfPageBoxes
{
    // In PDF points from the lower left of the page Qt's writer laid out.
    QRectF Media;
    QRectF Trim;
    QRectF Bleed;
};
bool JoinPdfPages(QIODevice &input, QIODevice &output, const QList<int> &parts,
                  QString *error = nullptr, const TPdfPageBoxes *boxes = nullptr);
