#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

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
// Decoded pictures are a cache over the file bytes a design keeps: all the
// pictures of the program hold at most this many decoded bytes at once (the
// least recently drawn give theirs back first), so that a design full of
// large pictures opens, shows and prints one picture's worth at a time.
inline constexpr int64_t kDecodedPicturesBudget = 2 * kMaxDecodedImageBytes;
// A bitmap larger than this is shown on screen from a copy reduced to the
// size it is drawn at; printing still decodes it whole.
inline constexpr int64_t kFullOnScreenPixels = int64_t(4) * 1024 * 1024;
// The decoded bytes all pictures hold now.
int64_t DecodedPictureBytes();

// BMP files as designs store them: "BM", a 40- or 12-byte information header,
// and sizes that fit the data: every row of an uncompressed bitmap must be in
// the file. Pixel counts of compressed bitmaps are bounded by the data size,
// so a damaged header cannot ask for a huge image, and no bitmap may have
// more than kMaxBitmapPixels nor a side over kMaxPictureSide.
bool IsValidBmpFile(const QByteArray &file);
// The pixel size a valid BMP file gives in its header; invalid otherwise.
QSize BmpFileSize(const QByteArray &file);
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
    // The decoded bitmap or icon at full size (null for a metafile, or when
    // it cannot be decoded). Decoded when first asked for and kept within
    // kDecodedPicturesBudget.
    QImage Image() const;
    // The bitmap or icon at no fewer pixels than given: a bitmap over
    // kFullOnScreenPixels reduced by the largest power of two that keeps
    // that many, any other at full size; null as Image() is.
    QImage ImageAtLeast(QSize pixels) const;
    // Why the last decoding of this bitmap or icon gave no image.
    enum class DecodeFailure { None, Memory, Damaged };
    DecodeFailure LastDecodeFailure() const;
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
    // Draws the whole graphic stretched onto the target rectangle. On a
    // raster device a bitmap over kFullOnScreenPixels is drawn from a copy
    // reduced to no less than the device pixels it covers.
    void Draw(QPainter &painter, const QRect &target) const;

    // Draws metafile bytes; the metafile player unless replaced.
    using MetafilePainter =
        std::function<void(QPainter &painter, const QRect &target, const QByteArray &metafile)>;
    static void SetMetafilePainter(MetafilePainter painter);

    std::function<void()> OnChange;

private:
    struct TDecodeSlot;
    void Changed();
    // New graphic bytes: a new slot for their decoded images.
    void TakeGraphic(Kind kind, const QByteArray &data, QSize size);
    QImage DecodeWhole() const;

    Kind m_kind = Kind::None;
    QByteArray m_data;
    // A bitmap's or icon's size, known without decoding it.
    QSize m_size;
    // Shared by the copies of a picture; the decoded images of these bytes
    // go when the last copy does.
    std::shared_ptr<TDecodeSlot> m_slot;
};

// A picture file as a bitmap, for the pickers' previews and textures: BMP
// (also DIB and RLE), JPG and JIF, GIF, TGA, PCX, ICO and PNG by their
// extension, anything else by its content. A null image when the file cannot
// be read, is not a regular file, is larger than kMaxPictureFileBytes, is
// damaged, or has a side over kMaxPictureSide.
QImage LoadPictureFile(const QString &path);
