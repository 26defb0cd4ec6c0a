#pragma once

#include "common/TestSupport.h"
#include "document/Groups.h"
#include "document/KindRegistry.h"
#include "document/Groups.h"
#include "objects/gbclabel32.h"
#include "surface/GGraphc.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <stdexcept>

// Readable failure messages for byte arrays and string lists (the common
// test support prints QString).
inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '[' << bytes.toHex(' ').toStdString() << ']';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '{' << list.join(QStringLiteral(" | ")).toStdString() << '}';
}

// Bytes from hex pairs separated by blanks ("01 54 50 46 30").
inline QByteArray Hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A short name as the format writes it: length byte, then the characters.
inline QByteArray ShortName(const QByteArray &name)
{
    return char(name.size()) + name;
}

inline QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

inline void WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

// The design file of the text label of the format's worked example, byte by
// byte from the format rules (257 bytes).
inline QByteArray WorkedExampleBytes()
{
    return Hex("01"
               "54 50 46 30"
               "13 54 47 42 75 73 69 6E 65 73 73 43 61 72 64 4C 61 62 65 6C"
               "0A 43 6F 6D 70 6F 6E 65 6E 74 30"
               "04 4C 65 66 74 02 18"
               "03 54 6F 70 02 10"
               "05 57 69 64 74 68 03 96 00"
               "06 48 65 69 67 68 74 02 16"
               "06 4C 6F 63 6B 65 64 08"
               "0C 55 6E 73 65 6C 65 63 74 61 62 6C 65 08"
               "09 41 6C 69 67 6E 6D 65 6E 74 07 08 74 61 43 65 6E 74 65 72"
               "07 43 61 70 74 69 6F 6E 06 0D 53 61 6C 65 73 20 4D 61 6E 61 67 65 72"
               "0A 46 6F 6E 74 2E 43 6F 6C 6F 72 07 06 63 6C 4E 61 76 79"
               "0B 46 6F 6E 74 2E 48 65 69 67 68 74 02 F0"
               "09 46 6F 6E 74 2E 4E 61 6D 65 06 05 41 72 69 61 6C"
               "0A 46 6F 6E 74 2E 53 74 79 6C 65 0B 06 66 73 42 6F 6C 64 00"
               "0B 54 72 61 6E 73 70 61 72 65 6E 74 09"
               "09 42 61 63 6B 43 6F 6C 6F 72 07 07 63 6C 57 68 69 74 65"
               "0B 42 6F 72 64 65 72 53 74 79 6C 65 07 06 62 73 4E 6F 6E 65"
               "00"
               "00"
               "00");
}

// The label of the worked example, built through its setters.
inline TGBusinessCardLabel *MakeWorkedExampleLabel(QObject *owner)
{
    auto *label = new TGBusinessCardLabel(owner);
    label->SetName(QStringLiteral("Component0"));
    label->SetBounds(24, 16, 150, 22);
    label->SetLocked(false);
    label->SetUnselectable(false);
    label->SetAlignment(taCenter);
    label->SetCaption(QStringLiteral("Sales Manager"));
    label->Font()->SetName(QStringLiteral("Arial"));
    label->Font()->SetStyle(fsBold);
    label->Font()->SetHeight(-16);
    label->Font()->SetColor(0x800000); // navy
    label->SetTransparent(true);
    label->SetBackColor(0xFFFFFF);
    label->SetBorderStyle(bsNone);
    return label;
}

// A kind that owns every sort of nested group and a float, for the tests of
// the generic writer and reader.
class TTestGroupsObject : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    explicit TTestGroupsObject(QObject *owner = nullptr)
        : TGGraphicControl(owner)
    {
    }

    const TPropertyTable &PropertyTable() const override
    {
        using T = TTestGroupsObject;
        using namespace props;
        static const TPropertyTable table = [] {
            TPropertyTable t = BaseProperties();
            t.push_back(Float<T>(QStringLiteral("Ratio"), &T::Ratio, &T::SetRatio));
            t.push_back(Object<T>(QStringLiteral("Items"), &T::Items));
            t.push_back(Object<T>(QStringLiteral("Pen"), &T::Pen));
            t.push_back(Object<T>(QStringLiteral("Brush"), &T::Brush));
            t.push_back(Object<T>(QStringLiteral("Picture"), &T::Picture));
            t.push_back(Object<T>(QStringLiteral("Image"), &T::Image));
            t.push_back(Object<T>(QStringLiteral("RTFText"), &T::RTFText));
            t.push_back(Object<T>(QStringLiteral("Missing"), &T::Missing));
            TPropertyDescriptor fixed =
                Integer<T>(QStringLiteral("Fixed"), &T::Fixed, &T::SetFixed, 0);
            fixed.writable = false;
            t.push_back(fixed);
            return t;
        }();
        return table;
    }

    double Ratio() const { return m_ratio; }
    void SetRatio(double v) { m_ratio = v; }
    int Fixed() const { return 7; }
    void SetFixed(int) {}
    TGStrings *Items() { return &m_items; }
    TGPen *Pen() { return &m_pen; }
    TGBrush *Brush() { return &m_brush; }
    TGPicture *Picture() { return &m_picture; }
    TGBitmap *Image() { return &m_image; }
    TGRichTextData *RTFText() { return &m_rtf; }
    TPersistent *Missing() { return nullptr; } // an object property that is nil

private:
    double m_ratio = 0;
    TGStrings m_items;
    TGPen m_pen;
    TGBrush m_brush;
    TGPicture m_picture;
    TGBitmap m_image;
    TGRichTextData m_rtf;
};

// A kind whose property fails while it is written, as a broken kind would.
class TTestFailingObject : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    explicit TTestFailingObject(QObject *owner = nullptr)
        : TGGraphicControl(owner)
    {
    }

    const TPropertyTable &PropertyTable() const override
    {
        using T = TTestFailingObject;
        static const TPropertyTable table = [] {
            TPropertyTable t = BaseProperties();
            t.push_back(props::Integer<T>(QStringLiteral("Boom"), &T::Boom, &T::SetBoom));
            return t;
        }();
        return table;
    }
    int Boom() const { throw std::runtime_error("broken getter"); }
    void SetBoom(int) {}
};

// A 2 x 2 24-bit BMP file written by hand: blue, green / red, white (top row first).
inline QByteArray SmallBmp()
{
    return Hex("42 4D"       // "BM"
               "46 00 00 00" // file size 70
               "00 00 00 00" // reserved
               "36 00 00 00" // pixel bits at 54
               "28 00 00 00" // information header of 40 bytes
               "02 00 00 00" // width 2
               "02 00 00 00" // height 2 (bottom row first)
               "01 00"       // planes
               "18 00"       // 24 bits per pixel
               "00 00 00 00" // no compression
               "10 00 00 00" // 16 bytes of pixels
               "00 00 00 00 00 00 00 00"
               "00 00 00 00 00 00 00 00"
               // bottom row: red, white, 2 bytes padding (B G R order)
               "00 00 FF FF FF FF 00 00"
               // top row: blue, green, padding
               "FF 00 00 00 FF 00 00 00");
}

inline void RegisterTestKinds()
{
    TObjectKindRegistry::Instance().Register<TTestGroupsObject>();
    TObjectKindRegistry::Instance().Register<TTestFailingObject>();
}
