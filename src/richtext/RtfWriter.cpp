#include "richtext/RtfWriter.h"

#include "richtext/RtfCodePage.h"

#include <QColor>
#include <QList>
#include <QStringList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextFragment>
#include <cmath>

namespace {

// Text of the content, escaped; runs of plain ASCII stay readable.
void AppendText(QByteArray &out, const QString &text)
{
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        switch (c) {
        case u'\\':
            out += "\\\\";
            continue;
        case u'{':
            out += "\\{";
            continue;
        case u'}':
            out += "\\}";
            continue;
        case u'\t':
            out += "\\tab ";
            continue;
        case 0x2028:
        case u'\n':
            out += "\\line ";
            continue;
        case 0x00A0:
            out += "\\~";
            continue;
        case 0x2011:
            out += "\\_";
            continue;
        case 0xFFFC: // an object placeholder has no RTF form here
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue;
        if (c < 0x80) {
            out += char(c);
            continue;
        }
        const int b = EncodeWindows1252(c);
        if (b >= 0) {
            out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
        } else {
            // \u takes a signed 16-bit number; "?" stands in for old readers.
            out += "\\u" + QByteArray::number(int(qint16(c))) + '?';
        }
    }
}

class TTables
{
public:
    int Font(const QString &family)
    {
        const QString name = family.isEmpty() ? QStringLiteral("Arial") : family;
        qsizetype i = fonts.indexOf(name);
        if (i < 0) {
            fonts.append(name);
            i = fonts.size() - 1;
        }
        return int(i);
    }
    int Color(const QColor &color)
    {
        const QRgb rgb = color.rgb() & 0xFFFFFF;
        qsizetype i = colors.indexOf(rgb);
        if (i < 0) {
            colors.append(rgb);
            i = colors.size() - 1;
        }
        return int(i) + 1; // index 0 is "auto"
    }

    QStringList fonts;
    QList<QRgb> colors;
};

QString FamilyOf(const QTextCharFormat &format, const QTextDocument *document)
{
    const QStringList families = format.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return document->defaultFont().family();
}

int HalfPointsOf(const QTextCharFormat &format, const QTextDocument *document)
{
    double points = format.fontPointSize();
    if (points <= 0)
        points = document->defaultFont().pointSizeF();
    if (points <= 0)
        points = 12;
    return std::max(2, int(std::lround(points * 2)));
}

QByteArray RunControls(const QTextCharFormat &format, const QTextDocument *document,
                       TTables &tables)
{
    QByteArray c = "\\f" + QByteArray::number(tables.Font(FamilyOf(format, document))) + "\\fs" +
                   QByteArray::number(HalfPointsOf(format, document));
    if (format.fontWeight() >= QFont::DemiBold)
        c += "\\b";
    if (format.fontItalic())
        c += "\\i";
    if (format.fontUnderline())
        c += "\\ul";
    if (format.fontStrikeOut())
        c += "\\strike";
    if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
        c += "\\super";
    else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
        c += "\\sub";
    if (format.hasProperty(QTextFormat::ForegroundBrush) &&
        format.foreground().style() != Qt::NoBrush)
        c += "\\cf" + QByteArray::number(tables.Color(format.foreground().color()));
    if (format.hasProperty(QTextFormat::BackgroundBrush) &&
        format.background().style() != Qt::NoBrush) {
        const QByteArray n = QByteArray::number(tables.Color(format.background().color()));
        // \cb for readers of the 1.x form, \chcbpat for word processors that ignore it.
        c += "\\cb" + n + "\\chcbpat" + n;
    }
    return c;
}

const char *AlignmentWord(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignHCenter)
        return "\\qc";
    if (alignment & Qt::AlignJustify)
        return "\\qj";
    if (alignment & Qt::AlignRight)
        return "\\qr";
    return "\\ql";
}

} // namespace

QByteArray WriteRtf(const QTextDocument *document)
{
    TTables tables;
    QByteArray body;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        body += "\\pard";
        body += AlignmentWord(block.blockFormat().alignment());
        // The paragraph mark's size, so that empty lines keep their height.
        body += ' ';
        bool empty = true;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            empty = false;
            body += '{' + RunControls(fragment.charFormat(), document, tables) + ' ';
            AppendText(body, fragment.text());
            body += '}';
        }
        if (empty)
            body += '{' + RunControls(block.charFormat(), document, tables) + ' ' + '}';
        if (block.next().isValid())
            body += "\\par\n";
        else
            body += '\n';
    }

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
    if (tables.fonts.isEmpty())
        tables.Font(document->defaultFont().family());
    for (qsizetype i = 0; i < tables.fonts.size(); ++i) {
        QString name = tables.fonts.at(i);
        name.remove(QLatin1Char(';')); // the entry's terminator cannot be escaped
        out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
        AppendText(out, name);
        out += ";}";
    }
    out += "}\n";
    if (!tables.colors.isEmpty()) {
        out += "{\\colortbl ;";
        for (const QRgb rgb : tables.colors)
            out += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                   QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) +
                   ';';
        out += "}\n";
    }
    out += body;
    out += "}";
    return out;
}
