#include "report/RPBase.h"

#include "graphics/Geometry.h"

#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr double kLetterWidth = 8.5, kLetterHeight = 11.0;
constexpr double kA4Width = 210.0 / 25.4, kA4Height = 297.0 / 25.4;

} // namespace

TBaseReport::TBaseReport() = default;
TBaseReport::~TBaseReport() = default;

// ---------------------------------------------------------------- settings

void TBaseReport::SetUnits(TPrintUnits units)
{
    m_units = units;
    switch (units) {
    case unInch:
        m_unitsFactor = 1.0;
        break;
    case unMM:
        m_unitsFactor = 25.4;
        break;
    case unCM:
        m_unitsFactor = 2.54;
        break;
    case unPoint:
        m_unitsFactor = 72.0;
        break;
    case unUser:
        break;
    }
}

void TBaseReport::SetUnitsFactor(double factor)
{
    if (factor > 0 && std::isfinite(factor))
        m_unitsFactor = factor;
}

void TBaseReport::SetScaleX(double percent)
{
    if (percent > 0 && std::isfinite(percent))
        m_scaleX = percent;
}

void TBaseReport::SetScaleY(double percent)
{
    if (percent > 0 && std::isfinite(percent))
        m_scaleY = percent;
}

void TBaseReport::SetLinesPerInch(int n)
{
    if (n > 0)
        m_linesPerInch = n;
}

void TBaseReport::SetUserLineHeight(double inches)
{
    if (inches > 0 && std::isfinite(inches))
        m_userLineHeight = inches;
}

void TBaseReport::SetCopies(int copies)
{
    if (copies >= 1)
        m_copies = copies;
}

bool TBaseReport::SetPaperSize(int code)
{
    if (code != kPaperLetter && code != kPaperA4 && code != kPaperA3)
        return false;
    m_paperCode = code;
    if (!m_inJob) {
        if (code == kPaperA4)
            SetPageSizeInches(kA4Width, kA4Height);
        else if (code == kPaperA3)
            SetPageSizeInches(297.0 / 25.4, 420.0 / 25.4);
        else
            SetPageSizeInches(kLetterWidth, kLetterHeight);
    }
    return true;
}

void TBaseReport::SetPageSizeInches(double w, double h)
{
    if (m_orientation == poLandScape)
        std::swap(w, h);
    m_pageWidth = w;
    m_pageHeight = h;
}

void TBaseReport::SetTabWidth(double inches)
{
    if (inches > 0 && std::isfinite(inches))
        m_tabWidth = inches;
}

// ---------------------------------------------------------------- status

QString TBaseReport::StatusString() const
{
    QString out;
    const QString &f = m_statusFormat;
    for (int i = 0; i < f.size(); ++i) {
        if (f[i] == u'%' && i + 1 < f.size()) {
            const QChar c = f[i + 1];
            if (c == u'p') {
                out += QString::number(m_currentPage);
                ++i;
                continue;
            }
            if (c == u'0' || c == u'1') {
                const int line = c.digitValue();
                if (line < m_statusText.size())
                    out += m_statusText[line];
                ++i;
                continue;
            }
        }
        out += f[i];
    }
    return out;
}

void TBaseReport::UpdateStatus()
{
    if (!m_statusLabel)
        return;
    QString text = StatusString();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    m_statusLabel->setText(text);
}

const char *const NoPrintersDefinedMessage = "No printers are defined, aborting print job.";

// ---------------------------------------------------------------- job control

bool TBaseReport::Execute()
{
    if (m_inJob)
        throw EReportError(QStringLiteral("A print job is already running on this report."));
    m_aborted = false;
    m_currentPage = 0;
    ResetDrawingState();
    if (!BeginJob())
        return false;
    m_inJob = true;
    try {
        if (OnBeforePrint)
            OnBeforePrint(*this);
        if (!m_aborted) {
            m_painter = BeginPage();
            m_currentPage = 1;
            ApplyDrawingState();
            UpdateStatus();
            RunPages();
        }
        Finish(m_aborted);
    } catch (...) {
        // The document is abandoned: nothing half-made reaches the printer or
        // the file, and the job counts as aborted.
        m_aborted = true;
        try {
            Finish(true);
        } catch (...) {
        }
        throw;
    }
    if (OnAfterPrint)
        OnAfterPrint(*this);
    return !m_aborted;
}

void TBaseReport::RunPages()
{
    if (OnPrint)
        OnPrint(*this);
}

void TBaseReport::Finish(bool abandon)
{
    const bool hadPainter = m_painter != nullptr;
    m_painter = nullptr;
    ForgetPlacement();
    m_pathOpen = false;
    m_clipStack.clear();
    try {
        if (hadPainter && !abandon)
            EndPage();
        EndJob(abandon);
    } catch (...) {
        m_inJob = false;
        throw;
    }
    m_inJob = false;
}

void TBaseReport::NewPage()
{
    if (!m_painter || m_aborted)
        return;
    TurnDevicePage();
    ++m_currentPage;
    UpdateStatus();
}

void TBaseReport::RepeatPages(int count, int times)
{
    if (!CanRepeatPages() || count < 1 || times < 1)
        return;
    ForgetPlacement();
    RepeatDevicePages(count, times);
    m_currentPage += count * times;
    UpdateStatus();
}

void TBaseReport::NewPagePart()
{
    if (!m_painter || m_aborted || !JoinsPageParts())
        return;
    m_startingPagePart = true;
    try {
        TurnDevicePage();
    } catch (...) {
        m_startingPagePart = false;
        throw;
    }
    m_startingPagePart = false;
}

void TBaseReport::TurnDevicePage()
{
    // What the last placed object changed goes with its page.
    ForgetPlacement();
    m_clipSelected = false;
    EndPage();
    m_painter = nullptr;
    m_painter = BeginPage();
    m_pathOpen = false;
    m_path = QPainterPath();
    ApplyDrawingState();
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
}

void TBaseReport::Abort()
{
    if (m_aborted)
        return;
    m_aborted = true;
    if (m_inJob) {
        AbortDevice();
        m_painter = nullptr;
    }
}

void TBaseReport::SetMetrics(double leftOff, double topOff, double bottomOff, double pageW,
                             double pageH, int xdpi, int ydpi)
{
    m_leftOffset = leftOff;
    m_topOffset = topOff;
    m_bottomOffset = bottomOff;
    m_pageWidth = pageW;
    m_pageHeight = pageH;
    m_xdpi = std::max(1, xdpi);
    m_ydpi = std::max(1, ydpi);
}

void TBaseReport::ResetDrawingState()
{
    m_penColor = 0;
    m_penStyle = psSolid;
    m_penMode = pmCopy;
    m_penWidth = 1;
    m_brushColor = 0xFFFFFF;
    m_brushStyle = bsSolid;
    m_brushPattern = QImage();
    m_cursorX = m_cursorY = 0;
    m_penX = m_penY = 0;
    m_pathOpen = false;
    m_path = QPainterPath();
    m_clipStack.clear();
    m_hasBaseClip = false;
    m_baseClip = QPainterPath();
    m_baseClipRect = QRectF();
    ForgetPlacement();
    m_clipSelected = false;
}

void TBaseReport::ApplyDrawingState()
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    if (!m_painter)
        return;
    m_painter->setRenderHint(QPainter::TextAntialiasing, true);
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->setFont(DeviceFont());
    ApplyPenMode(m_painter, m_penMode);
}

// ---------------------------------------------------------------- coordinates

int TBaseReport::XI2D(double x) const
{
    return RoundEven((x / m_unitsFactor * m_scaleX * ZoomPercent() / 10000.0 - m_leftOffset) *
                     m_xdpi);
}

int TBaseReport::YI2D(double y) const
{
    return RoundEven((y / m_unitsFactor * m_scaleY * ZoomPercent() / 10000.0 - m_topOffset) *
                     m_ydpi);
}

double TBaseReport::XD2I(double px) const
{
    return (px / m_xdpi + m_leftOffset) * 10000.0 / (m_scaleX * ZoomPercent()) * m_unitsFactor;
}

double TBaseReport::YD2I(double py) const
{
    return (py / m_ydpi + m_topOffset) * 10000.0 / (m_scaleY * ZoomPercent()) * m_unitsFactor;
}

QRect TBaseReport::InchRect(double x1, double y1, double x2, double y2) const
{
    const int l = XI2D(x1), t = YI2D(y1), r = XI2D(x2), b = YI2D(y2);
    return QRect(QPoint(std::min(l, r), std::min(t, b)),
                 QPoint(std::max(l, r) - 1, std::max(t, b) - 1));
}

int TBaseReport::HundredthsToPixels(int hundredths) const
{
    return std::max(1, RoundEven(hundredths * double(m_xdpi) * m_scaleX * ZoomPercent() * 1e-6));
}
