#pragma once

#include "document/Persistent.h"
#include "graphics/Colors.h"
#include "graphics/Picture.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <functional>

// The nested groups that card objects own and store under their own names
// ("Font.Name", "Pen.Width", "Items.Strings", "Image.Data", "RTFText.Data").
// Each reports every change of a value through OnChange.

enum TFontPitch { fpDefault, fpVariable, fpFixed };
// Style bits, by ordinal: fsBold, fsItalic, fsUnderline, fsStrikeOut.
enum TFontStyleBit : uint32_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TGFont : public TPersistent
{
public:
    TGFont();
    const TPropertyTable &PropertyTable() const override;

    TColor Color() const { return m_color; }
    void SetColor(TColor c);
    // Negative: character height in pixels (at 96 pixels per inch); positive: cell height.
    int Height() const { return m_height; }
    void SetHeight(int h);
    QString Name() const { return m_name; }
    void SetName(const QString &name); // cut to 31 characters
    TFontPitch Pitch() const { return m_pitch; }
    void SetPitch(TFontPitch p);
    // Points, from the height at 96 pixels per inch; never stored.
    int Size() const;
    void SetSize(int points);
    uint32_t Style() const { return m_style; }
    void SetStyle(uint32_t styleBits);

    // The font to paint with; pixel size follows Height, scaled by zoom.
    QFont ToQFont(double zoom = 1.0) const;
    // Takes family, point size and styles of a Qt font (colour stays).
    void Assign(const QFont &font);
    void Assign(const TGFont &other);
    // Equal when every stored attribute is; OnChange does not count.
    bool operator==(const TGFont &other) const;

    std::function<void()> OnChange;

private:
    void Changed();
    TColor m_color = 0;
    int m_height = -13;
    QString m_name = QStringLiteral("Arial");
    TFontPitch m_pitch = fpDefault;
    uint32_t m_style = 0;
};

enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
    pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

// The Qt line style of a stored pen style on screen and on paper (psClear: no pen).
Qt::PenStyle QtPenStyle(TPenStyle style);

class TGPen : public TPersistent
{
public:
    const TPropertyTable &PropertyTable() const override;
    TColor Color() const { return m_color; }
    void SetColor(TColor c);
    TPenMode Mode() const { return m_mode; }
    void SetMode(TPenMode m);
    TPenStyle Style() const { return m_style; }
    void SetStyle(TPenStyle s);
    int Width() const { return m_width; }
    void SetWidth(int w);
    void Assign(const TGPen &other);
    // Equal when every stored attribute is; OnChange does not count.
    bool operator==(const TGPen &other) const;
    std::function<void()> OnChange;

private:
    void Changed();
    TColor m_color = 0;
    TPenMode m_mode = pmCopy;
    TPenStyle m_style = psSolid;
    int m_width = 1;
};

enum TBrushStyle {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

// The Qt pattern that draws a stored brush style on screen and on paper.
Qt::BrushStyle QtBrushStyle(TBrushStyle style);

class TGBrush : public TPersistent
{
public:
    const TPropertyTable &PropertyTable() const override;
    TColor Color() const { return m_color; }
    void SetColor(TColor c);
    TBrushStyle Style() const { return m_style; }
    void SetStyle(TBrushStyle s);
    void Assign(const TGBrush &other);
    // Equal when every stored attribute is; OnChange does not count.
    bool operator==(const TGBrush &other) const;
    std::function<void()> OnChange;
    // The style the owner's other values bring with them when read (a
    // transparent shape's brush is clear): a solid style is then written,
    // so that the brush reads back as it was.
    void SetImpliedStyle(TBrushStyle s) { m_impliedStyle = s; }

private:
    void Changed();
    TColor m_color = 16777215;
    TBrushStyle m_style = bsSolid;
    TBrushStyle m_impliedStyle = bsSolid;
};

// A string list; its one defined entry "Strings" holds the lines.
class TGStrings : public TPersistent
{
public:
    const TPropertyTable &PropertyTable() const override;
    void WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const override;
    bool ReadDefinedEntry(const QString &name, TStreamReader &reader) override;
    std::vector<std::pair<QString, QString>> DumpDefinedEntries() const override;

    const QStringList &Lines() const { return m_lines; }
    void SetLines(const QStringList &lines);
    void Assign(const TGStrings &other) { SetLines(other.m_lines); }
    std::function<void()> OnChange;

private:
    QStringList m_lines;
};

// A bitmap kept as the BMP file it was read from, so that it is written back
// unchanged; one made in the program is kept as a 24-bit BMP with a 40-byte
// information header. Entry "Data": 4-byte size S, then the S-byte BMP file.
class TGBitmap : public TPersistent
{
public:
    const TPropertyTable &PropertyTable() const override;
    void WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const override;
    bool ReadDefinedEntry(const QString &name, TStreamReader &reader) override;
    std::vector<std::pair<QString, QString>> DumpDefinedEntries() const override;

    bool IsEmpty() const { return m_picture.IsEmpty(); }
    const QByteArray &BmpBytes() const { return m_picture.GraphicData(); }
    // Takes a BMP file; throws EStreamError("Bitmap image is not valid") when it is not one.
    void SetBmpBytes(const QByteArray &bmp);
    void SetImage(const QImage &image); // encodes as a 24-bit BMP
    // Decoded when asked for, within the budget every picture shares.
    QImage Image() const { return m_picture.Image(); }
    const TPicture &Picture() const { return m_picture; }
    void Clear();
    void Assign(const TGBitmap &other);
    std::function<void()> OnChange;
    // When set, stored data that is no bitmap, or whose recorded length runs
    // past the bytes it came with, reads as an empty bitmap instead of
    // failing the whole read (a texture the rest of a design can do without).
    void SetEmptyWhenInvalid(bool value) { m_emptyWhenInvalid = value; }

private:
    void ReadPayload(const QByteArray &payload);

    TPicture m_picture;
    bool m_emptyWhenInvalid = false;
};

// A picture as a design stores it. Its one defined entry "Data" holds the
// graphic's class name ("TBitmap", "TMetafile", "TIcon") and the graphic's data.
class TGPicture : public TPicture, public TPersistent
{
public:
    TGPicture() = default;
    TGPicture(const TGPicture &other) = default;
    TGPicture &operator=(const TGPicture &other) = default; // keeps this picture's OnChange
    TGPicture &operator=(const TPicture &other)
    {
        TPicture::operator=(other);
        return *this;
    }

    const TPropertyTable &PropertyTable() const override;
    void WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const override;
    bool ReadDefinedEntry(const QString &name, TStreamReader &reader) override;
    std::vector<std::pair<QString, QString>> DumpDefinedEntries() const override;
};

// Rich text kept as RTF bytes; entry "Data": the RTF followed by four zero bytes.
class TGRichTextData : public TPersistent
{
public:
    const TPropertyTable &PropertyTable() const override;
    void WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const override;
    bool ReadDefinedEntry(const QString &name, TStreamReader &reader) override;
    std::vector<std::pair<QString, QString>> DumpDefinedEntries() const override;

    bool IsEmpty() const { return m_rtf.isEmpty(); }
    const QByteArray &Rtf() const { return m_rtf; }
    void SetRtf(const QByteArray &rtf);
    void Assign(const TGRichTextData &other) { SetRtf(other.m_rtf); }
    std::function<void()> OnChange;

private:
    QByteArray m_rtf;
};
