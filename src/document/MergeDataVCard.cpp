// The vCard reader (2.1, 3.0 and 4.0): one record of fixed columns per card.
#include "document/MergeData.h"

#include <algorithm>

namespace {

const char *const kVCardColumns[] = {
    "FullName", "GivenName", "FamilyName", "Organization", "Title",  "Phone",      "Mobile",  "Fax",
    "Email",    "Web",       "Street",     "City",         "Region", "PostalCode", "Country",
};
enum TVCardColumn {
    FullName,
    GivenName,
    FamilyName,
    Organization,
    Title,
    Phone,
    Mobile,
    Fax,
    Email,
    Web,
    Street,
    City,
    Region,
    PostalCode,
    Country,
    ColumnCount
};

// The properties a record is made of; everything else (photos, notes, keys)
// is passed over without being kept.
const char *const kKeptProperties[] = {"FN",    "N",   "ORG", "TITLE",  "TEL",
                                       "EMAIL", "URL", "ADR", "VERSION"};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The property name of a line: before the first ';' or ':', without group.
QByteArray PropertyName(QByteArrayView line)
{
    qsizetype end = 0;
    while (end < line.size() && line.at(end) != ';' && line.at(end) != ':')
        ++end;
    QByteArrayView name = line.first(end);
    const qsizetype dot = name.lastIndexOf('.');
    if (dot >= 0)
        name = name.sliced(dot + 1);
    return name.trimmed().toByteArray().toUpper();
}

bool IsKept(const QByteArray &name)
{
    for (const char *kept : kKeptProperties)
        if (name == kept)
            return true;
    return false;
}

// A line's parameters before its value say it holds base64 data.
bool IsBase64(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    const QByteArray params = (colon >= 0 ? line.first(colon) : line).toByteArray().toUpper();
    return params.contains("ENCODING=B") || params.contains(";BASE64");
}

struct TProperty
{
    QByteArray Name;
    QList<QByteArray> Types; // upper case
    bool Pref = false;
    bool QuotedPrintable = false;
    QByteArray Charset;
    QByteArray Value; // raw, still encoded and escaped
    int Line = 0;
};

// Splits on sep outside double quotes.
QList<QByteArrayView> SplitOutsideQuotes(QByteArrayView text, char sep)
{
    QList<QByteArrayView> parts;
    bool inQuotes = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == '"')
            inQuotes = !inQuotes;
        else if (text.at(i) == sep && !inQuotes) {
            parts.append(text.sliced(start, i - start));
            start = i + 1;
        }
    }
    parts.append(text.sliced(start));
    return parts;
}

QByteArray Unquoted(QByteArrayView v)
{
    v = v.trimmed();
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.sliced(1, v.size() - 2);
    return v.toByteArray();
}

bool ParseProperty(QByteArrayView line, int lineNumber, TProperty *p)
{
    // The value starts at the first ':' outside a quoted parameter value.
    qsizetype colon = -1;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            inQuotes = !inQuotes;
        else if (line.at(i) == ':' && !inQuotes) {
            colon = i;
            break;
        }
    }
    if (colon < 0)
        return false;
    p->Name = PropertyName(line);
    p->Value = line.sliced(colon + 1).toByteArray();
    p->Line = lineNumber;
    const QList<QByteArrayView> params = SplitOutsideQuotes(line.first(colon), ';');
    for (qsizetype i = 1; i < params.size(); ++i) {
        const QByteArrayView param = params.at(i).trimmed();
        const qsizetype eq = param.indexOf('=');
        const QByteArray key =
            (eq >= 0 ? param.first(eq) : QByteArrayView()).trimmed().toByteArray().toUpper();
        const QByteArray value = Unquoted(eq >= 0 ? param.sliced(eq + 1) : param).toUpper();
        if (key == "ENCODING" || (eq < 0 && value == "QUOTED-PRINTABLE")) {
            if (value == "QUOTED-PRINTABLE")
                p->QuotedPrintable = true;
        } else if (key == "CHARSET") {
            p->Charset = value;
        } else if (key == "PREF") {
            p->Pref = true;
        } else if (key == "TYPE" || eq < 0) {
            for (const QByteArrayView t : SplitOutsideQuotes(value, ','))
                if (!t.trimmed().isEmpty())
                    p->Types.append(t.trimmed().toByteArray());
        }
    }
    if (p->Types.contains("PREF"))
        p->Pref = true;
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray DecodeQuotedPrintable(QByteArrayView in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        // "=XX" is a byte; anything else (a cut-off escape) stays as written.
        if (c == '=' && i + 2 < in.size() && HexDigit(in.at(i + 1)) >= 0 &&
            HexDigit(in.at(i + 2)) >= 0) {
            out.append(char(HexDigit(in.at(i + 1)) * 16 + HexDigit(in.at(i + 2))));
            i += 2;
        } else {
            out.append(c);
        }
    }
    return out;
}

QString DecodeCharset(QByteArrayView bytes, const QByteArray &charset)
{
    if (charset == "ISO-8859-1" || charset == "LATIN1" || charset == "ISO8859-1" ||
        charset == "WINDOWS-1252" || charset == "CP1252")
        return DecodeWindows1252(bytes); // Latin-1 labels usually mean the Windows code page
    return DecodeMergeText(bytes);
}

// One component of a value: decoded and, in 3.0 and 4.0, unescaped.
QString DecodeValue(QByteArrayView raw, const TProperty &p, bool escapes)
{
    const QByteArray bytes = p.QuotedPrintable ? DecodeQuotedPrintable(raw) : raw.toByteArray();
    QString text = DecodeCharset(bytes, p.Charset);
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            const QChar e = text.at(i + 1);
            if (escapes && (e == u'n' || e == u'N')) {
                out += u'\n';
                ++i;
                continue;
            }
            if (e == u';' || (escapes && (e == u',' || e == u'\\'))) {
                out += e;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out.trimmed();
}

// The components of a structured value (N, ADR, ORG), split at ';' that is
// not escaped.
QStringList Components(const TProperty &p, bool escapes)
{
    QStringList parts;
    const QByteArrayView v(p.Value);
    qsizetype start = 0;
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v.at(i) == '\\') {
            ++i;
        } else if (v.at(i) == ';') {
            parts.append(DecodeValue(v.sliced(start, i - start), p, escapes));
            start = i + 1;
        }
    }
    parts.append(DecodeValue(v.sliced(start), p, escapes));
    return parts;
}

// Of the properties, the one with TYPE WORK, else (when preferPref) the
// preferred one, else the first; nullptr when there is none.
const TProperty *Choose(const QList<const TProperty *> &list, bool preferPref)
{
    for (const TProperty *p : list)
        if (p->Types.contains("WORK"))
            return p;
    if (preferPref)
        for (const TProperty *p : list)
            if (p->Pref)
                return p;
    return list.isEmpty() ? nullptr : list.first();
}

QStringList CardRecord(const QList<TProperty> &props)
{
    QStringList r(ColumnCount);
    bool escapes = true;
    for (const TProperty &p : props)
        if (p.Name == "VERSION")
            escapes = !p.Value.trimmed().startsWith("2.");
    QList<const TProperty *> phones, mobiles, faxes, emails, addresses;
    bool haveFullName = false;
    for (const TProperty &p : props) {
        if (p.Name == "FN" && !haveFullName) {
            r[FullName] = DecodeValue(p.Value, p, escapes);
            haveFullName = true;
        } else if (p.Name == "N" && r[FamilyName].isEmpty() && r[GivenName].isEmpty()) {
            const QStringList n = Components(p, escapes);
            r[FamilyName] = n.value(0);
            r[GivenName] = n.value(1);
        } else if (p.Name == "ORG" && r[Organization].isEmpty()) {
            QStringList units = Components(p, escapes);
            units.removeAll(QString());
            r[Organization] = units.join(QLatin1String(", "));
        } else if (p.Name == "TITLE" && r[Title].isEmpty()) {
            r[Title] = DecodeValue(p.Value, p, escapes);
        } else if (p.Name == "URL" && r[Web].isEmpty()) {
            r[Web] = DecodeValue(p.Value, p, escapes);
        } else if (p.Name == "TEL") {
            if (p.Types.contains("CELL"))
                mobiles.append(&p);
            else if (p.Types.contains("FAX"))
                faxes.append(&p);
            else
                phones.append(&p);
        } else if (p.Name == "EMAIL") {
            emails.append(&p);
        } else if (p.Name == "ADR") {
            addresses.append(&p);
        }
    }
    const auto phone = [&](const QList<const TProperty *> &list) {
        const TProperty *p = Choose(list, false);
        if (!p)
            return QString();
        QString number = DecodeValue(p->Value, *p, escapes);
        if (number.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive))
            number = number.mid(4).trimmed();
        return number;
    };
    r[Phone] = phone(phones);
    r[Mobile] = phone(mobiles);
    r[Fax] = phone(faxes);
    if (const TProperty *p = Choose(emails, true)) {
        r[Email] = DecodeValue(p->Value, *p, escapes);
        if (r[Email].startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive))
            r[Email] = r[Email].mid(7);
    }
    if (const TProperty *p = Choose(addresses, false)) {
        const QStringList a = Components(*p, escapes);
        r[Street] = a.value(2);
        r[City] = a.value(3);
        r[Region] = a.value(4);
        r[PostalCode] = a.value(5);
        r[Country] = a.value(6);
    }
    if (!haveFullName)
        r[FullName] = (r[GivenName] + u' ' + r[FamilyName]).trimmed();
    return r;
}

// Reads the cards line by line. Lines of properties that are not kept
// (photos above all) are passed over as they come, never joined up.
class TVCardReader
{
public:
    explicit TVCardReader(QByteArrayView bytes)
        : m_bytes(bytes)
    {
    }

    TMergeTable Read()
    {
        for (const char *c : kVCardColumns)
            m_table.Columns.append(QLatin1String(c));
        qsizetype pos = 0;
        const qsizetype n = m_bytes.size();
        int lineNumber = 0;
        while (pos < n) {
            qsizetype end = pos;
            while (end < n && m_bytes.at(end) != '\n' && m_bytes.at(end) != '\r')
                ++end;
            const QByteArrayView line(m_bytes.constData() + pos, end - pos);
            ++lineNumber;
            pos = end;
            if (pos < n && m_bytes.at(pos) == '\r' && pos + 1 < n && m_bytes.at(pos + 1) == '\n')
                ++pos;
            if (pos < n)
                ++pos;
            Line(line, lineNumber);
        }
        FinishProperty();
        if (m_depth > 0)
            throw EMergeDataError(m_cardLine, QStringLiteral("a BEGIN:VCARD is never ended."));
        if (m_table.Records.isEmpty())
            throw EMergeDataError(0, QStringLiteral("The file holds no vCard."));
        return m_table;
    }

private:
    void Line(QByteArrayView line, int lineNumber)
    {
        // A quoted-printable value whose line ends in '=' goes on in the next.
        if (m_inProperty && m_qpSoftBreak) {
            if (m_keep) {
                m_logical.chop(1);
                Append(line);
            }
            m_qpSoftBreak = m_keep ? m_logical.endsWith('=') : line.endsWith("=");
            return;
        }
        if (!line.isEmpty() && IsBlank(line.front()) && m_inProperty) {
            if (m_keep)
                Append(line.sliced(1));
            return;
        }
        // Base64 data of vCard 2.1 may follow unindented, up to a blank line.
        if (m_inProperty && m_base64 && !line.isEmpty() && !line.contains(':'))
            return;
        FinishProperty();
        const QByteArrayView trimmed = line.trimmed();
        if (trimmed.isEmpty())
            return;
        if (trimmed.compare("BEGIN:VCARD", Qt::CaseInsensitive) == 0) {
            // A card inside a card (a 2.1 AGENT) is read over, not recorded.
            if (m_depth++ == 0) {
                m_cardLine = lineNumber;
                m_props.clear();
                m_propertyCount = 0;
            }
            return;
        }
        if (trimmed.compare("END:VCARD", Qt::CaseInsensitive) == 0) {
            if (m_depth > 0 && --m_depth == 0) {
                if (m_table.Records.size() >= kMaxVCards)
                    throw EMergeDataError(m_cardLine, QStringLiteral("the file holds more than "
                                                                     "%1 cards.")
                                                          .arg(kMaxVCards));
                m_table.Records.append(CardRecord(m_props));
                m_props.clear();
            }
            return;
        }
        if (m_depth == 0)
            return; // outside any card
        if (++m_propertyCount > kMaxVCardProperties)
            throw EMergeDataError(lineNumber, QStringLiteral("the card has more than %1 "
                                                             "properties.")
                                                  .arg(kMaxVCardProperties));
        const QByteArray name = PropertyName(line);
        m_inProperty = true;
        m_propertyLine = lineNumber;
        m_base64 =
            IsBase64(line) || name == "PHOTO" || name == "LOGO" || name == "SOUND" || name == "KEY";
        m_keep = m_depth == 1 && !m_base64 && IsKept(name);
        const QByteArray upper =
            line.first(std::min<qsizetype>(line.size(), 200)).toByteArray().toUpper();
        const qsizetype colon = upper.indexOf(':');
        m_qp = upper.first(colon >= 0 ? colon : upper.size()).contains("QUOTED-PRINTABLE");
        m_logical.clear();
        if (m_keep)
            Append(line);
        m_qpSoftBreak = m_qp && line.endsWith("=");
    }

    void Append(QByteArrayView part)
    {
        // The name and parameters take a little more than the value.
        if (m_logical.size() + part.size() > kMaxMergeValueLength + 1024)
            throw EMergeDataError(
                m_propertyLine,
                QStringLiteral("a value is longer than %1 KB.").arg(kMaxMergeValueLength / 1024));
        m_logical.append(part.data(), part.size());
    }

    void FinishProperty()
    {
        if (!m_inProperty)
            return;
        m_inProperty = false;
        m_qpSoftBreak = false;
        m_base64 = false;
        if (!m_keep)
            return;
        TProperty p;
        if (ParseProperty(m_logical, m_propertyLine, &p))
            m_props.append(p);
        m_logical.clear();
    }

    QByteArrayView m_bytes;
    TMergeTable m_table;
    QList<TProperty> m_props;
    QByteArray m_logical; // the property being joined up, when kept
    int m_depth = 0;
    int m_cardLine = 0;
    int m_propertyLine = 0;
    int m_propertyCount = 0;
    bool m_inProperty = false;
    bool m_keep = false;
    bool m_base64 = false;
    bool m_qp = false;
    bool m_qpSoftBreak = false;
};

} // namespace

TMergeTable ReadVCards(const QByteArray &bytes)
{
    CheckMergeBytes(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return TVCardReader(QByteArrayView(bytes).sliced(3)).Read();
    return TVCardReader(bytes).Read();
}
