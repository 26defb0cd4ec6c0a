#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>

class QPainter;

// What a decoded picture may take: 256 MB, that is 64 M pixels at the four
// bytes a pixel takes once decoded (an 8192 x 8192 picture; a card scanned at
// 1200 dpi needs about 13 M). Twice that with the file's own bytes, which are
// kept for saving, is still well within a desktop's memory; a larger picture
// is refused rather than risking the program.
inline constexpr int64_t kMaxDecodedImageBytes = int64_t(256) * 1024 * 1024;
inline constexpr int64_t kMaxBitmapPixels = kMaxDecodedImageBytes / 4;
// No picture file is read with a side longer than this.
inline constexpr int kMaxPictureSide = 20000;

// BMP files as designs store them: "BM", a 40- or 12-byte information header,
// and sizes that fit the data: every row of an uncompressed bitmap must be in
// the file. Pixel counts of compressed bitmaps are bounded by the data size,
// so a damaged header cannot ask for a huge image, and no bitmap may have
// more than kMaxBitmapPixels.
bool IsValidBmpFile(const QByteArray &file);
// Decodes a BMP file that passes IsValidBmpFile; a null image otherwise.
QImage DecodeBitmapFile(const QByteArray &file);
// A 24-bit BMP file with a 40-byte information header, rows bottom-up, each
// padded to 4 bytes. An empty image gives an empty array.
QByteArray EncodeBmp24(const QImage &image);

// A picture as the card keeps it: empty, or one graphic (a bitmap, a Windows
// metafile or an icon) drawn stretched into a rectangle. The graphic's file
// bytes are kept as they came, so a design writes them back unchanged.
class TPicture
{
public:
    enum class Kind { None, Bitmap, Metafile, Icon };

    TPicture() = default;
    TPicture(const TPicture &other);
    TPicture &operator=(const TPicture &other); // keeps this picture's OnChange
    virtual ~TPicture() = default;

    bool IsEmpty() const { return m_kind == Kind::None; }
    bool IsBitmap() const { return m_kind == Kind::Bitmap; }
    Kind GraphicKind() const { return m_kind; }
    // "TBitmap", "TMetafile", "TIcon", or empty.
    QString GraphicClassName() const;
    // The decoded bitmap or icon (null for a metafile).
    const QImage &Image() const { return m_image; }
    // The graphic as a file: BMP, WMF (placeable or plain) or EMF, ICO.
    const QByteArray &GraphicData() const { return m_data; }

    // Becomes a bitmap holding the image as a 24-bit BMP.
    void SetImage(const QImage &image);
    // Takes a BMP file; false (and nothing changed) when it is not a valid one.
    bool SetBitmapData(const QByteArray &bmp);
    // Takes metafile bytes as they are (drawn by the metafile painter).
    void SetMetafileData(const QByteArray &metafile);
    // Takes an icon file; false (and nothing changed) when it cannot be read.
    bool SetIconData(const QByteArray &ico);
    // Keeps icon bytes that cannot be decoded, so that saving does not lose
    // them; such an icon draws nothing.
    void SetUndecodedIcon(const QByteArray &ico);
    void Clear();

    // Loads a picture file by its extension: BMP (also DIB, RLE) and ICO as
    // they are, WMF and EMF as raw metafile bytes, anything else that the image
    // readers know as a bitmap. False (and the picture unchanged) when it
    // cannot be read, is not a regular file or is larger than
    // kMaxPictureFileBytes.
    bool LoadFromFile(const QString &path);
    // Pixels at 96 dpi and 100 %: the bitmap's or icon's size, a metafile's
    // frame; invalid for an empty picture or a metafile that gives no size.
    QSize NaturalSize() const;
    // Draws the whole graphic stretched onto the target rectangle.
    void Draw(QPainter &painter, const QRect &target) const;

    // Draws metafile bytes; the metafile player unless replaced.
    using MetafilePainter =
        std::function<void(QPainter &painter, const QRect &target, const QByteArray &metafile)>;
    static void SetMetafilePainter(MetafilePainter painter);

    std::function<void()> OnChange;

private:
    void Changed();
    Kind m_kind = Kind::None;
    QByteArray m_data;
    QImage m_image;
};

// A picture file as a bitmap, for the pickers' previews and textures: BMP
// (also DIB and RLE), JPG and JIF, GIF, TGA, PCX, ICO and PNG by their
// extension, anything else by its content. A null image when the file cannot
// be read, is not a regular file, is larger than kMaxPictureFileBytes, is
// damaged, or has a side over kMaxPictureSide.
QImage LoadPictureFile(const QString &path);
