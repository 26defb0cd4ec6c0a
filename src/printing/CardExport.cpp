#include "printing/CardExport.h"

#include "document/CardModel.h"
#include "graphics/RegularFile.h"
#include "printing/MergePrint.h"
#include "printing/SheetRenderer.h"
#include "report/RPImage.h"
#include "report/RPrinter.h"
#include "richtext/RichTextEngine.h"
#include "surface/GGraphc.h"
#include "surface/ScreenInfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

namespace {

constexpr double PointsPerInch = 72.0;
constexpr double MillimetresPerInch = 25.4;

} // namespace

// ---- the page --------------------------------------------------------------

TCardPage TCardPage::For(const QSizeF &card, const TExportSettings &settings)
{
    TCardPage page;
    page.Card = card;
    page.Bleed = settings.Bleed;
    // The marks, and as much again beyond them, so that a cutter's margin
    // does not take them.
    page.MarkRoom = settings.CropMarks
                        ? TSheetRenderer::CropMarkGap + TSheetRenderer::CropMarkLength + 1.0 / 24.0
                        : 0.0;
    return page;
}

QSizeF TCardPage::Size() const
{
    const double around = 2 * (Bleed + MarkRoom);
    return QSizeF(Card.width() + around, Card.height() + around);
}

QRectF TCardPage::Trim() const
{
    return QRectF(QPointF(Bleed + MarkRoom, Bleed + MarkRoom), Card);
}

QRectF TCardPage::BleedArea() const
{
    return Trim().adjusted(-Bleed, -Bleed, Bleed, Bleed);
}

std::optional<double> ParseBleed(const QString &text, QString *why)
{
    static const QRegularExpression form(
        QStringLiteral("^\\s*([0-9]*\\.?[0-9]+)\\s*(mm|in|\"|)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = form.match(text);
    auto refuse = [&](const QString &reason) -> std::optional<double> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (!m.hasMatch())
        return refuse(QStringLiteral("\"%1\" is not a bleed such as 3mm, 0.125in or 0").arg(text));
    bool ok = false;
    const double value = m.captured(1).toDouble(&ok);
    const bool millimetres = m.captured(2).compare(QLatin1String("mm"), Qt::CaseInsensitive) == 0;
    const double inches = millimetres ? value / MillimetresPerInch : value;
    if (!ok || !std::isfinite(inches))
        return refuse(QStringLiteral("\"%1\" is not a number").arg(text));
    if (inches > MaxBleedInches)
        return refuse(QStringLiteral("a bleed of %1 is more than the 1 inch (25.4 mm) a page takes")
                          .arg(text.trimmed()));
    return inches;
}

QString BleedText(double inches, bool millimetres)
{
    return millimetres ? QStringLiteral("%1 mm").arg(inches * MillimetresPerInch, 0, 'g', 6)
                       : QStringLiteral("%1 in").arg(inches, 0, 'g', 6);
}

// ---- the export --------------------------------------------------------------

TCardExport::TCardExport(const QSizeF &cardInches, const TExportSettings &settings)
    : m_card(cardInches)
    , m_settings(settings)
    , m_page(TCardPage::For(cardInches, settings))
{
}

TCardExport::~TCardExport() = default;

void TCardExport::AddSide(const TCardModel &side)
{
    m_sides.append(CopyForPrint(side));
}

std::unique_ptr<TCardModel> TCardExport::CopyForPrint(const TCardModel &side) const
{
    auto copy = std::make_unique<TCardModel>();
    // Rich text draws through one engine that the objects' owner carries.
    TRichTextEngine::EnsureMaster(copy->Owner());
    copy->CopyDesignOf(side);
    ExtendEdgeFills(*copy);
    return copy;
}

void TCardExport::SetMergeCards(TMergeCards *cards)
{
    m_merge = cards;
    if (!cards)
        return;
    m_sides.clear();
    cards->AdjustCopies([this](TCardModel &copy) { ExtendEdgeFills(copy); });
    // The cards own their copies.
    const auto borrowed = [](TCardModel *side) {
        return std::shared_ptr<TCardModel>(side, [](TCardModel *) {});
    };
    m_sides.append(borrowed(&cards->ShownFront()));
    if (cards->ShownBack())
        m_sides.append(borrowed(cards->ShownBack()));
}

void TCardExport::ExtendEdgeFills(TCardModel &copy) const
{
    if (m_settings.Bleed <= 0.0)
        return;
    // Bounds are pixels at 100 %, the card's edges where the surface has them.
    const int ppi = ScreenPixelsPerInch();
    const int right = RoundEven(ppi * m_card.width());
    const int bottom = RoundEven(ppi * m_card.height());
    const int grow = int(std::ceil(m_settings.Bleed * ppi)) + 1;
    for (TGGraphicControl *object : CardObjects(copy.Objects())) {
        if (!object->FillsToItsEdges())
            continue;
        TRect r = object->BoundsRect();
        if (r.Left <= 0)
            r.Left -= grow;
        if (r.Top <= 0)
            r.Top -= grow;
        if (r.Right >= right)
            r.Right += grow;
        if (r.Bottom >= bottom)
            r.Bottom += grow;
        object->SetBounds(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    }
}

namespace {

// Draws each side on a page of its own, the card on the page's trim; with
// merge cards, the sides of every card in turn.
void RenderSides(TBaseReport &report, const QList<std::shared_ptr<TCardModel>> &sides,
                 const TCardPage &page, bool cropMarks, TMergeCards *merge = nullptr)
{
    QList<std::shared_ptr<TSheetRenderer>> renderers;
    for (const std::shared_ptr<TCardModel> &side : sides) {
        auto sheet = std::make_shared<TSheetRenderer>();
        sheet->Objects = CardObjects(side->Objects());
        sheet->Across = 1;
        sheet->Down = 1;
        sheet->CardWidth = page.Card.width();
        sheet->CardHeight = page.Card.height();
        sheet->HPitch = page.Card.width();
        sheet->VPitch = page.Card.height();
        sheet->LeftMargin = page.Trim().left();
        sheet->TopMargin = page.Trim().top();
        sheet->Bleed = page.Bleed;
        sheet->CropMarks = cropMarks;
        sheet->BackgroundFile = side->BackgroundArtFile();
        sheet->LoadBackGround();
        renderers.append(sheet);
    }
    report.OnBeforePrint = [&](TBaseReport &r) {
        if (!renderers.isEmpty())
            renderers.first()->BeforePrintLabels(r);
    };
    report.OnPrint = [&](TBaseReport &r) {
        const int cards = merge ? merge->Count() : 1;
        for (int card = 0; card < cards && !r.Aborted(); ++card) {
            if (merge)
                merge->Show(card);
            for (qsizetype i = 0; i < renderers.size(); ++i) {
                if (card > 0 || i > 0)
                    r.NewPage();
                renderers.at(i)->PrintLabels(r);
            }
        }
    };
    report.OnAfterPrint = nullptr;
    struct TUnhook
    {
        TBaseReport &report;
        ~TUnhook()
        {
            report.OnBeforePrint = nullptr;
            report.OnPrint = nullptr;
        }
    } unhook{report};
    if (!report.Execute())
        throw EReportError(QStringLiteral("The export was cancelled."));
}

QRectF PdfBox(const QRectF &inches, double pageTop)
{
    // PDF boxes run up from the page's lower left; the page is laid out
    // from its top, which is where Qt's page of whole points puts it.
    return QRectF(inches.left() * PointsPerInch, pageTop - inches.bottom() * PointsPerInch,
                  inches.width() * PointsPerInch, inches.height() * PointsPerInch);
}

} // namespace

QImage TCardExport::RenderSide(int side, int dpi) const
{
    if (side < 0 || side >= m_sides.size())
        return QImage();
    TImageReport report(m_page.Size(), dpi);
    RenderSides(report, {m_sides.at(side)}, m_page, m_settings.CropMarks);
    return report.Pages().value(0);
}

void TCardExport::WritePdf(const QString &path) const
{
    const QString shown = QDir::toNativeSeparators(path);
    QString rgbPath = QFileInfo(path).absoluteFilePath();
    // Only a CMYK file is made in steps, in a folder of its own beside the file.
    std::optional<QTemporaryDir> work;
    if (m_settings.Cmyk) {
        // The converter is checked before anything is drawn.
        if (QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty())
            throw EReportError(QStringLiteral("A CMYK file needs Ghostscript (the program \"gs\"), "
                                              "which is not installed; nothing was written."));
        if (CmykProfilePath().isEmpty())
            throw EReportError(QStringLiteral("A CMYK file needs Ghostscript's CMYK colour "
                                              "profile (default_cmyk.icc), which is not "
                                              "installed; nothing was written."));
        work.emplace(QFileInfo(rgbPath).dir().filePath(QStringLiteral(".tessaro-XXXXXX")));
        if (!work->isValid())
            throw EReportError(
                QStringLiteral("The file \"%1\" could not be written; nothing was written.")
                    .arg(shown));
        rgbPath = work->filePath(QStringLiteral("rgb.pdf"));
    }

    const QSizeF page = m_page.Size();
    // Qt lays pages out in whole points; the boxes give the exact size.
    const QSize points(int(std::ceil(page.width() * PointsPerInch - 1e-6)),
                       int(std::ceil(page.height() * PointsPerInch - 1e-6)));
    const double top = points.height();
    TReportPrinter report;
    report.SetTitle(QFileInfo(path).completeBaseName());
    report.SetOutputFile(rgbPath);
    report.SetPagePoints(points);
    report.SetPageBoxes({PdfBox(QRectF(QPointF(0, 0), page), top), PdfBox(m_page.Trim(), top),
                         PdfBox(m_page.BleedArea(), top)});
    RenderSides(report, m_sides, m_page, m_settings.CropMarks, m_merge);
    if (!m_settings.Cmyk)
        return;
    // Written beside the file, then moved over it, so that nothing half made
    // takes its name.
    const QString converted = work->filePath(QStringLiteral("cmyk.pdf"));
    const QString why = ConvertToPdfX(rgbPath, converted, report.Title());
    if (!why.isEmpty())
        throw EReportError(
            QStringLiteral("The CMYK file \"%1\" could not be made (%2); nothing was written.")
                .arg(shown, why));
    // Same folder, so the move replaces an older file at once.
    if (std::rename(QFile::encodeName(converted).constData(),
                    QFile::encodeName(QFileInfo(path).absoluteFilePath()).constData()) != 0)
        throw EReportError(
            QStringLiteral("The file \"%1\" could not be written; nothing was written.")
                .arg(shown));
}

QString WriteImageFile(const QImage &image, const QString &path)
{
    // A FIFO would block for ever and a device would be written over.
    if (IsSpecialFile(path))
        return QStringLiteral("it is not a regular file");
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool jpeg = suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, jpeg ? "JPEG" : "PNG");
    if (jpeg)
        writer.setQuality(95);
    if (!writer.write(image)) {
        file.cancelWriting();
        return writer.errorString();
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

// ---- CMYK by Ghostscript -------------------------------------------------------

QString CmykProfilePath()
{
    const QStringList candidates = {QStringLiteral("/usr/share/color/icc/ghostscript"),
                                    QStringLiteral("/usr/share/ghostscript/iccprofiles")};
    for (const QString &folder : candidates)
        if (QFileInfo::exists(folder + QStringLiteral("/default_cmyk.icc")))
            return folder + QStringLiteral("/default_cmyk.icc");
    // Ghostscript keeps its profiles in a folder named after its version.
    const QDir shared(QStringLiteral("/usr/share/ghostscript"));
    for (const QString &version :
         shared.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed)) {
        const QString profile =
            shared.filePath(version + QStringLiteral("/iccprofiles/default_cmyk.icc"));
        if (QFileInfo::exists(profile))
            return profile;
    }
    return QString();
}

namespace {

// A PostScript string literal of any text.
QByteArray PsString(const QString &text)
{
    QByteArray out = "(";
    for (const char c : text.toLatin1()) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ')';
}

// The document information and output intent a PDF/X-3 file carries, as
// pdfmark operators for Ghostscript's PDF writer.
QByteArray PdfXDefinitions(const QString &profile, const QString &title)
{
    return "%!\n"
           "[ /GTS_PDFXVersion (PDF/X-3:2002) /Title " +
           PsString(title) +
           " /Trapped /False /DOCINFO pdfmark\n"
           "[ /_objdef {tessaro_icc} /type /stream /OBJ pdfmark\n"
           "[ {tessaro_icc} << /N 4 >> /PUT pdfmark\n"
           "[ {tessaro_icc} " +
           PsString(profile) +
           " (r) file /PUT pdfmark\n"
           "[ /_objdef {tessaro_intent} /type /dict /OBJ pdfmark\n"
           "[ {tessaro_intent} << /Type /OutputIntent /S /GTS_PDFX\n"
           "  /OutputCondition (Commercial and specialty printing)\n"
           "  /OutputConditionIdentifier (Custom) /RegistryName (http://www.color.org)\n"
           "  /Info (Ghostscript default CMYK) /DestOutputProfile {tessaro_icc} >> /PUT pdfmark\n"
           "[ {Catalog} << /OutputIntents [ {tessaro_intent} ] >> /PUT pdfmark\n";
}

} // namespace

QString ConvertToPdfX(const QString &rgbPdf, const QString &outPdf, const QString &title)
{
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty())
        return QStringLiteral("Ghostscript, the program \"gs\", is not installed");
    const QString profile = CmykProfilePath();
    if (profile.isEmpty())
        return QStringLiteral("Ghostscript's CMYK profile default_cmyk.icc is not installed");
    const QString definitions = QFileInfo(outPdf).dir().filePath(QStringLiteral("pdfx.ps"));
    {
        QSaveFile file(definitions);
        if (!file.open(QIODevice::WriteOnly) || file.write(PdfXDefinitions(profile, title)) < 0 ||
            !file.commit())
            return file.errorString();
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(gs, {QStringLiteral("-q"), QStringLiteral("-dBATCH"), QStringLiteral("-dNOPAUSE"),
                       QStringLiteral("-dSAFER"), QStringLiteral("--permit-file-read=") + profile,
                       QStringLiteral("-sDEVICE=pdfwrite"), QStringLiteral("-dPDFX=true"),
                       QStringLiteral("-dCompatibilityLevel=1.4"),
                       QStringLiteral("-sColorConversionStrategy=CMYK"),
                       QStringLiteral("-sProcessColorModel=DeviceCMYK"),
                       QStringLiteral("-sOutputICCProfile=") + profile,
                       QStringLiteral("-dEmbedAllFonts=true"),
                       QStringLiteral("-sOutputFile=") + outPdf, definitions, rgbPdf});
    // A card's page converts in a second or two; a stuck converter is stopped.
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("Ghostscript did not finish");
    }
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("Ghostscript stopped: %1").arg(output.left(500));
    // What was asked for is checked, not assumed.
    QFile result(outPdf);
    if (!result.open(QIODevice::ReadOnly))
        return QStringLiteral("Ghostscript wrote nothing");
    const QByteArray bytes = result.read(qint64(64) << 20);
    if (!bytes.contains("/GTS_PDFX") || !bytes.contains("/OutputIntents"))
        return QStringLiteral("the converted file has no PDF/X output intent");
    if (!bytes.contains("/TrimBox"))
        return QStringLiteral("the converted file lost the card's trim box");
    return QString();
}
