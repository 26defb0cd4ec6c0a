#include "objects/Gbarcode.h"

#include "document/CardModel.h"
#include "document/MergeData.h"
#include "document/StreamIO.h"
#include "objects/Gbarcodep.h"
#include "report/RPBase.h"
#include "surface/ScreenInfo.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <zint.h>

namespace {

// The longest text handed to the encoder: far beyond what any of the
// symbologies holds, so longer text is refused before it is encoded.
constexpr int MaxEncodedBytes = 8192;

QString VCardEscaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(',') || c == QLatin1Char(';')) {
            out += QLatin1Char('\\');
            out += c;
        } else if (c == QLatin1Char('\r')) {
            if (i + 1 < value.size() && value.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QStringLiteral("\\n");
        } else if (c == QLatin1Char('\n')) {
            out += QStringLiteral("\\n");
        } else {
            out += c;
        }
    }
    return out;
}

int ZintSymbology(TGBarcode::TSymbology symbology)
{
    switch (symbology) {
    case TGBarcode::bsQRCode:
        return BARCODE_QRCODE;
    case TGBarcode::bsDataMatrix:
        return BARCODE_DATAMATRIX;
    case TGBarcode::bsCode128:
        return BARCODE_CODE128;
    case TGBarcode::bsEAN13:
        return BARCODE_EANX;
    case TGBarcode::bsUPCA:
        return BARCODE_UPCA;
    case TGBarcode::bsPDF417:
        return BARCODE_PDF417;
    }
    return BARCODE_QRCODE;
}

// EAN-13 and UPC-A take their digits with or without the check digit; a
// given check digit must be the right one (the encoder would otherwise
// accept a wrong one with a warning, or replace it).
QString CheckRetailDigits(const QString &text, int digits)
{
    for (const QChar c : text)
        if (!c.isDigit() || c.unicode() > 0x7F)
            return QObject::tr("Only the digits 0 to 9 are allowed");
    if (text.size() != digits - 1 && text.size() != digits)
        return QObject::tr("Needs %1 or %2 digits").arg(digits - 1).arg(digits);
    if (text.size() == digits) {
        // Weights 3 and 1 from the right, the check digit left out.
        int sum = 0;
        for (int i = digits - 2, weight = 3; i >= 0; --i, weight = 4 - weight)
            sum += (text.at(i).unicode() - '0') * weight;
        const int check = (10 - sum % 10) % 10;
        if (text.at(digits - 1).unicode() - '0' != check)
            return QObject::tr("Wrong check digit: it should be %1").arg(check);
    }
    return QString();
}

} // namespace

TGBarcode::TGBarcode(QObject *owner)
    : TGGraphicControl(owner)
{
    // One inch square: room for a contact code at a size phones read.
    SetCreationBounds(ScreenPixelsPerInch(), ScreenPixelsPerInch());
}

const QStringList &TGBarcode::SymbologyIdentifiers()
{
    static const QStringList names{
        QStringLiteral("bsQRCode"), QStringLiteral("bsDataMatrix"), QStringLiteral("bsCode128"),
        QStringLiteral("bsEAN13"),  QStringLiteral("bsUPCA"),       QStringLiteral("bsPDF417"),
    };
    return names;
}

const QStringList &TGBarcode::SourceIdentifiers()
{
    static const QStringList names{QStringLiteral("dsText"), QStringLiteral("dsContact")};
    return names;
}

const QStringList &TGBarcode::ErrorLevelIdentifiers()
{
    static const QStringList names{QStringLiteral("elLow"), QStringLiteral("elMedium"),
                                   QStringLiteral("elQuartile"), QStringLiteral("elHigh")};
    return names;
}

QStringList TGBarcode::SymbologyNames()
{
    return {tr("QR Code"), tr("Data Matrix"), tr("Code 128"),
            tr("EAN-13"),  tr("UPC-A"),       tr("PDF417")};
}

bool TGBarcode::IsLinear(TSymbology symbology)
{
    return symbology == bsCode128 || symbology == bsEAN13 || symbology == bsUPCA;
}

void TGBarcode::SetSymbology(TSymbology value)
{
    if (value >= bsQRCode && value <= bsPDF417)
        StoreDesignValue(m_symbology, value);
}

void TGBarcode::SetSource(TDataSource value)
{
    if (value == dsText || value == dsContact)
        StoreDesignValue(m_source, value);
}

void TGBarcode::SetErrorLevel(TErrorLevel value)
{
    if (value >= elLow && value <= elHigh)
        StoreDesignValue(m_errorLevel, value);
}

QString TGBarcode::TextToStoredData(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        bool lossless = true;
        EncodeWindows1252(QString(c), &lossless);
        if (c == QLatin1Char('\\'))
            out += QStringLiteral("\\\\");
        else if (lossless)
            out += c;
        else
            out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

QString TGBarcode::StoredDataToText(const QString &stored)
{
    QString out;
    out.reserve(stored.size());
    for (int i = 0; i < stored.size(); ++i) {
        const QChar c = stored.at(i);
        if (c != QLatin1Char('\\') || i + 1 >= stored.size()) {
            out += c;
        } else if (stored.at(i + 1) == QLatin1Char('\\')) {
            out += c;
            ++i;
        } else if (stored.at(i + 1) == QLatin1Char('u') && i + 5 < stored.size()) {
            bool ok = false;
            const ushort unit = stored.mid(i + 2, 4).toUShort(&ok, 16);
            if (ok) {
                out += QChar(unit);
                i += 5;
            } else {
                out += c; // not written by this program: kept as it is
            }
        } else {
            out += c;
        }
    }
    return out;
}

QString TGBarcode::ContactCard(const QStringList &info)
{
    auto field = [&](int i) { return info.value(i).trimmed(); };
    bool any = false;
    for (int i = 0; i < TCardModel::PersonalInfoCount; ++i)
        any = any || !field(i).isEmpty();
    if (!any)
        return QString();
    QStringList lines{QStringLiteral("BEGIN:VCARD"), QStringLiteral("VERSION:3.0")};
    // vCard 3.0 requires FN and N; a card without a name keeps them empty.
    const QString name = field(0);
    lines << QStringLiteral("FN:") + VCardEscaped(name);
    // N is family;given: the last word is taken as the family name.
    const QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString family = words.isEmpty() ? QString() : words.last();
    const QString given = words.mid(0, words.size() - 1).join(QLatin1Char(' '));
    lines << QStringLiteral("N:%1;%2;;;").arg(VCardEscaped(family), VCardEscaped(given));
    if (!field(1).isEmpty())
        lines << QStringLiteral("ORG:") + VCardEscaped(field(1));
    if (!field(2).isEmpty())
        lines << QStringLiteral("TITLE:") + VCardEscaped(field(2));
    QStringList address;
    for (int i = 3; i <= 5; ++i)
        if (!field(i).isEmpty())
            address << field(i);
    // The three lines are the street part as written, line breaks kept.
    if (!address.isEmpty())
        lines << QStringLiteral("ADR;TYPE=WORK:;;%1;;;;")
                     .arg(VCardEscaped(address.join(QLatin1Char('\n'))));
    if (!field(6).isEmpty())
        lines << QStringLiteral("TEL;TYPE=WORK,VOICE:") + VCardEscaped(field(6));
    if (!field(7).isEmpty())
        lines << QStringLiteral("TEL;TYPE=CELL:") + VCardEscaped(field(7));
    if (!field(9).isEmpty())
        lines << QStringLiteral("TEL;TYPE=FAX:") + VCardEscaped(field(9));
    if (!field(8).isEmpty())
        lines << QStringLiteral("EMAIL;TYPE=INTERNET:") + VCardEscaped(field(8));
    lines << QStringLiteral("END:VCARD");
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

void TGBarcode::FillMergeFields(const TMergeValues &values)
{
    if (m_source == dsText)
        SetData(ExpandMergeFields(m_data, values));
}

QString TGBarcode::EncodedText(const QStringList &info) const
{
    return m_source == dsContact ? ContactCard(info) : m_data;
}

QString TGBarcode::EncodedText() const
{
    return EncodedText(Model() ? Model()->PersonalInfo() : QStringList());
}

TBarcodeSymbol TGBarcode::Encode(TSymbology symbology, const QString &text, TErrorLevel level,
                                 bool showText)
{
    TBarcodeSymbol result;
    if (text.isEmpty()) {
        result.Reason = tr("No data to encode");
        return result;
    }
    if (symbology == bsEAN13 || symbology == bsUPCA) {
        result.Reason = CheckRetailDigits(text, symbology == bsEAN13 ? 13 : 12);
        if (!result.Reason.isEmpty())
            return result;
    }
    const QByteArray bytes = text.toUtf8();
    if (bytes.size() > MaxEncodedBytes) {
        result.Reason = tr("Too much data for this code");
        return result;
    }
    std::unique_ptr<zint_symbol, void (*)(zint_symbol *)> symbol(ZBarcode_Create(),
                                                                 &ZBarcode_Delete);
    if (!symbol) {
        result.Reason = tr("Out of memory");
        return result;
    }
    symbol->symbology = ZintSymbology(symbology);
    symbol->input_mode = UNICODE_MODE;
    symbol->output_options |= BARCODE_QUIET_ZONES;
    symbol->show_hrt = IsLinear(symbology) && showText ? 1 : 0;
    // A warning (a symbol that does not follow the standard) is refused too.
    symbol->warn_level = WARN_FAIL_ALL;
    if (symbology == bsQRCode)
        symbol->option_1 = int(level) + 1;
    const bool ascii = std::all_of(bytes.cbegin(), bytes.cend(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // Text beyond ASCII in a 2-D code says it is UTF-8, so readers take it back as written.
    if (!ascii && !IsLinear(symbology))
        symbol->eci = 26;
    const int error = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char *>(bytes.constData()), int(bytes.size()),
        0);
    if (error != 0 || !symbol->vector) {
        QString reason = QString::fromLatin1(symbol->errtxt);
        // The encoder's messages start with a number ("Error 773: ...").
        if (const int colon = reason.indexOf(QStringLiteral(": ")); colon >= 0 && colon < 12)
            reason = reason.mid(colon + 2);
        result.Reason = reason.isEmpty() ? tr("The data cannot be encoded") : reason;
        return result;
    }
    const zint_vector *vector = symbol->vector;
    result.Size = QSizeF(vector->width, vector->height);
    result.Modules.setFillRule(Qt::WindingFill);
    for (const zint_vector_rect *r = vector->rectangles; r; r = r->next) {
        result.Modules.addRect(QRectF(r->x, r->y, r->width, r->height));
        if (r->width > 0 && (result.ModuleSize == 0 || r->width < result.ModuleSize))
            result.ModuleSize = r->width;
    }
    for (const zint_vector_string *s = vector->strings; s; s = s->next)
        result.Texts.append({QPointF(s->x, s->y), s->fsize, s->halign,
                             QString::fromUtf8(reinterpret_cast<const char *>(s->text))});
    result.Valid = result.Size.width() > 0 && result.Size.height() > 0;
    if (!result.Valid)
        result.Reason = tr("The data cannot be encoded");
    return result;
}

const TBarcodeSymbol &TGBarcode::Symbol() const
{
    const QString text = EncodedText();
    const QString key = QStringLiteral("%1 %2 %3 ")
                            .arg(int(m_symbology))
                            .arg(int(m_errorLevel))
                            .arg(m_showText ? 1 : 0) +
                        text;
    if (key != m_symbolKey) {
        m_symbol = Encode(m_symbology, text, m_errorLevel, m_showText);
        m_symbolKey = key;
    }
    return m_symbol;
}

void TGBarcode::DrawSymbol(QPainter &painter, const QRectF &area, const TBarcodeSymbol &symbol,
                           const QColor &fore, const QColor &back, bool transparent)
{
    if (area.width() <= 0 || area.height() <= 0)
        return;
    painter.save();
    if (!symbol.Valid) {
        // Never a wrong code: a crossed box that says why.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.fillRect(area, Qt::white);
        const double line = std::max(1.0, std::min(area.width(), area.height()) / 60);
        painter.setPen(QPen(QColor(0xC0, 0, 0), line));
        painter.setBrush(Qt::NoBrush);
        const QRectF box = area.adjusted(line / 2, line / 2, -line / 2, -line / 2);
        painter.drawRect(box);
        painter.drawLine(box.topLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomLeft());
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(std::max(6, int(std::min(area.height() / 8, area.width() / 12))));
        painter.setFont(font);
        const QRectF textBox = area.adjusted(area.width() / 10, 0, -area.width() / 10, 0);
        const QRectF bounds =
            painter.boundingRect(textBox, Qt::AlignCenter | Qt::TextWordWrap, symbol.Reason);
        painter.fillRect(bounds.intersected(area), Qt::white);
        painter.setPen(QColor(0xC0, 0, 0));
        painter.drawText(textBox, Qt::AlignCenter | Qt::TextWordWrap, symbol.Reason);
        painter.restore();
        return;
    }
    if (!transparent)
        painter.fillRect(area, back);
    // Square modules: the same scale both ways, the symbol centred.
    const double scale =
        std::min(area.width() / symbol.Size.width(), area.height() / symbol.Size.height());
    const QPointF origin(area.left() + (area.width() - symbol.Size.width() * scale) / 2,
                         area.top() + (area.height() - symbol.Size.height() * scale) / 2);
    painter.translate(origin);
    painter.scale(scale, scale);
    // Module edges meet exactly: no smoothing seams between neighbours.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillPath(symbol.Modules, fore);
    if (!symbol.Texts.isEmpty()) {
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setPen(fore);
        for (const TBarcodeSymbol::Text &t : symbol.Texts) {
            QFont font(QStringLiteral("Liberation Sans"));
            font.setPixelSize(std::max(1, int(std::lround(t.Size))));
            painter.setFont(font);
            const double width = QFontMetricsF(font).horizontalAdvance(t.Text);
            double x = t.Position.x();
            if (t.Align == 0)
                x -= width / 2;
            else if (t.Align == 2)
                x -= width;
            painter.drawText(QPointF(x, t.Position.y()), t.Text);
        }
    }
    painter.restore();
}

const TPropertyTable &TGBarcode::PropertyTable() const
{
    using T = TGBarcode;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(props::Enum<T, TSymbology>(QStringLiteral("Symbology"), SymbologyIdentifiers(),
                                               &T::Symbology, &T::SetSymbology, bsQRCode));
        t.push_back(props::String<T>(QStringLiteral("Data"), &T::StoredData, &T::SetStoredData));
        t.push_back(props::Enum<T, TDataSource>(QStringLiteral("Source"), SourceIdentifiers(),
                                                &T::Source, &T::SetSource, dsText));
        t.push_back(props::Enum<T, TErrorLevel>(QStringLiteral("ErrorLevel"),
                                                ErrorLevelIdentifiers(), &T::ErrorLevel,
                                                &T::SetErrorLevel, elMedium));
        t.push_back(props::Color<T>(QStringLiteral("ForeColor"), &T::ForeColor, &T::SetForeColor,
                                    0x000000));
        t.push_back(props::Color<T>(QStringLiteral("BackColor"), &T::BackColor, &T::SetBackColor,
                                    0xFFFFFF));
        t.push_back(props::Boolean<T>(QStringLiteral("Transparent"), &T::Transparent,
                                      &T::SetTransparent, 0));
        t.push_back(
            props::Boolean<T>(QStringLiteral("ShowText"), &T::ShowText, &T::SetShowText, 1));
        return t;
    }();
    return table;
}

void TGBarcode::Paint(QPainter &painter)
{
    DrawSymbol(painter, QRectF(0, 0, Width(), Height()), Symbol(), ColorFromTColor(m_foreColor),
               ColorFromTColor(m_backColor), m_transparent);
}

void TGBarcode::PrintTo(TBaseReport *report, double x, double y)
{
    if (!report)
        return;
    QPainter *canvas = report->Canvas();
    if (!canvas)
        return;
    const double ppi = ScreenPixelsPerInch();
    const int x1 = report->XI2D(x + Left() / ppi);
    const int y1 = report->YI2D(y + Top() / ppi);
    const int x2 = report->XI2D(x + (Left() + Width()) / ppi);
    const int y2 = report->YI2D(y + (Top() + Height()) / ppi);
    // Paths on the device: a PDF gets vectors, never a picture of the code.
    DrawSymbol(*canvas, QRectF(x1, y1, x2 - x1, y2 - y1), Symbol(), ColorFromTColor(m_foreColor),
               ColorFromTColor(m_backColor), m_transparent);
}

void TGBarcode::PersonalInfoChanged()
{
    if (m_source == dsContact)
        Repaint();
}

void TGBarcode::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    AddMenuItem(tr("Properties"), [this] { EditProperties(); });
}

void TGBarcode::FitPlacedSize()
{
    const double inch = ScreenPixelsPerInch() * double(ZoomScale());
    if (Height() >= inch / 2)
        return;
    const int side = int(std::lround(std::max(double(Width()), inch)));
    SetBounds(Left(), Top(), side, side);
}

bool TGBarcode::EditProperties()
{
    TBarcodeProperties dialog(DialogParent());
    dialog.SetPersonalInfo(Model() ? Model()->PersonalInfo() : QStringList());
    dialog.SetSampleSize(QSize(Width(), Height()) / std::max(0.01f, ZoomScale()));
    dialog.TakeFrom(*this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.GiveTo(*this);
    ReportChange();
    return true;
}
