#pragma once

#include <QImage>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <memory>
#include <optional>

class TCardModel;
class TMergeCards;

// What a print shop is sent: the bleed around each card, crop marks, colour.
struct TExportSettings
{
    double Bleed = 0.125; // inches on every side
    bool CropMarks = true;
    bool Cmyk = false; // PDF/X-3 in CMYK, made by Ghostscript
    bool operator==(const TExportSettings &) const = default;
};

// The page of one card for a print shop, in inches from its top left: the
// card (trim), the bleed around it, and room for the crop marks outside that.
struct TCardPage
{
    QSizeF Card;
    double Bleed = 0.0;
    double MarkRoom = 0.0;

    static TCardPage For(const QSizeF &card, const TExportSettings &settings);
    QSizeF Size() const;
    QRectF Trim() const;
    QRectF BleedArea() const;
};

// The largest bleed a page takes (one inch), and the text of a length such
// as "3mm", "0.125in", "0.125" (inches) or "0": inches, or nothing with the
// reason when the text is not such a length.
constexpr double MaxBleedInches = 1.0;
std::optional<double> ParseBleed(const QString &text, QString *why = nullptr);
// A bleed as the user wrote it back ("3 mm", "0.125 in").
QString BleedText(double inches, bool millimetres);

// Exports the sides of a card (front, then back) one card per page, at the
// card's size plus the settings' bleed and marks, as a PDF for a print shop
// or as pictures. Each side is a copy of its design: objects that fill to a
// card edge are stretched into the bleed on the copy, never on the design.
class TCardExport
{
public:
    TCardExport(const QSizeF &cardInches, const TExportSettings &settings);
    ~TCardExport();

    void AddSide(const TCardModel &side);
    // Merge printing: a page for every card of the merge (its front, then
    // its back when the design has one) instead of the sides added. The
    // cards' copies take the bleed's stretched fills. Null keeps the sides.
    void SetMergeCards(TMergeCards *cards);
    int SideCount() const { return int(m_sides.size()); }
    const TCardPage &Page() const { return m_page; }

    // Writes the PDF: TrimBox and BleedBox on every page, text as text,
    // shapes as paths; CMYK as PDF/X-3 when the settings ask. The file
    // appears only when complete. Failures throw EReportError with a message
    // for the user; the file is then not there (or is as it was).
    void WritePdf(const QString &path) const;

    // One side's page as a picture at the resolution (the card alone, with
    // its bleed, when there are no crop marks).
    QImage RenderSide(int side, int dpi) const;

private:
    std::unique_ptr<TCardModel> CopyForPrint(const TCardModel &side) const;
    void ExtendEdgeFills(TCardModel &copy) const;

    QSizeF m_card;
    TExportSettings m_settings;
    TCardPage m_page;
    QList<std::shared_ptr<TCardModel>> m_sides;
    TMergeCards *m_merge = nullptr;
};

// Writes a picture whole or not at all (an older file of that name stays
// when it fails): JPEG for a name ending in .jpg or .jpeg, else PNG. Empty on
// success, else why it failed.
QString WriteImageFile(const QImage &image, const QString &path);

// The PDF/X-3 conversion of an RGB PDF by Ghostscript, with Ghostscript's
// CMYK profile as the output intent. Empty on success, else why it failed
// (Ghostscript or the profile missing, the conversion refused).
QString ConvertToPdfX(const QString &rgbPdf, const QString &outPdf, const QString &title);
// Where the CMYK profile is; empty when there is none.
QString CmykProfilePath();
