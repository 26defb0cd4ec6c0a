#include "objects/Gprichl.h"

#include "document/MergeData.h"
#include "objects/Gprichle.h"
#include "objects/RichTextEdit.h"
#include "richtext/RichText.h"
#include "richtext/RichTextEngine.h"
#include "richtext/RtfWriter.h"
#include "surface/DesignSurface.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QPainter>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

TGPRichBaseLabel::TGPRichBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(190, 33);
    m_rtfText.OnChange = [this] {
        m_content.reset(); // parsed again at the next paint
        DesignChanged();
    };
}

TGPRichBaseLabel::~TGPRichBaseLabel() = default;

void TGPRichBaseLabel::SetRTFText(const QByteArray &rtf)
{
    // Equal text is no change; other text reports itself, once.
    m_rtfText.SetRtf(rtf);
}

void TGPRichBaseLabel::SetBorderStyle(TBorderStyle style)
{
    if (style == bsNone || style == bsSingle)
        StoreDesignValue(m_borderStyle, style);
}

void TGPRichBaseLabel::SetTransparent(bool value)
{
    StoreDesignValue(m_transparent, value);
}

TRichText &TGPRichBaseLabel::Content() const
{
    if (!m_content) {
        m_content = std::make_unique<TRichText>();
        m_readResult = m_content->LoadRtf(m_rtfText.Rtf());
    }
    return *m_content;
}

TRtfReadResult TGPRichBaseLabel::ReadResult() const
{
    Content();
    return m_readResult;
}

QString TGPRichBaseLabel::ToolTipText() const
{
    QStringList said;
    if (Content().TextCut())
        said.append(tr("This text is longer than %1 characters; only those are drawn.")
                        .arg(TRtfLimits::MaxLaidOutCharacters));
    if (Content().FormatsLimited())
        said.append(tr("This text changes its format more than %1 times; from there on it is "
                       "drawn in one format.")
                        .arg(TRtfLimits::MaxFormatRuns));
    return said.join(QLatin1Char('\n'));
}

namespace {

// The first window up the owner chain of object (the top of the chain when
// none is a window): the form whose components hold the rich text master.
const QObject *FormOf(const QObject *object)
{
    const QObject *form = nullptr;
    for (const QObject *o = object ? object->parent() : nullptr; o; o = o->parent()) {
        form = o;
        if (o->isWidgetType() && static_cast<const QWidget *>(o)->isWindow())
            break;
    }
    return form;
}

// Twips of a length in zoomed pixels, at 100 %.
int TwipsAtFullSize(int pixels, float zoomScale)
{
    const double s = zoomScale > 0 ? double(zoomScale) : 1.0;
    return int(std::trunc(pixels / s / ScreenPixelsPerInch() * 1440.0));
}

} // namespace

QStringList TGPRichBaseLabel::MergeTexts() const
{
    return {Content().PlainText()};
}

void TGPRichBaseLabel::FillMergeFields(const TMergeValues &values)
{
    static const QRegularExpression field(QStringLiteral("\\$\\$\\{|\\$\\{([^}]*)\\}"));
    const QString plain = Content().Document()->toPlainText();
    QList<QRegularExpressionMatch> matches;
    for (auto it = field.globalMatch(plain); it.hasNext();)
        matches.append(it.next());
    if (matches.isEmpty())
        return;
    TRichText filled;
    filled.Assign(Content());
    QTextCursor cursor(filled.Document());
    // From the last field back, so the places of those before stay put.
    for (qsizetype i = matches.size() - 1; i >= 0; --i) {
        const QRegularExpressionMatch &m = matches.at(i);
        cursor.setPosition(int(m.capturedStart()) + 1);
        const QTextCharFormat format = cursor.charFormat();
        cursor.setPosition(int(m.capturedStart()));
        cursor.setPosition(int(m.capturedEnd()), QTextCursor::KeepAnchor);
        cursor.insertText(ExpandMergeFields(m.captured(0), values), format);
    }
    SetRTFText(filled.SaveRtf());
}

int TGPRichBaseLabel::PageWidthTwips() const
{
    return TwipsAtFullSize(Width(), ZoomScale());
}

int TGPRichBaseLabel::PageHeightTwips() const
{
    return TwipsAtFullSize(Height(), ZoomScale());
}

const TPropertyTable &TGPRichBaseLabel::PropertyTable() const
{
    using T = TGPRichBaseLabel;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(props::Object<T>(QStringLiteral("RTFText"), &T::RTFText));
        t.push_back(props::Enum<T, TBorderStyle>(QStringLiteral("BorderStyle"),
                                                 BorderStyleIdentifiers(), &T::BorderStyle,
                                                 &T::SetBorderStyle));
        t.push_back(
            props::Boolean<T>(QStringLiteral("Transparent"), &T::Transparent, &T::SetTransparent));
        t.push_back(props::Color<T>(QStringLiteral("BGColor"), &T::BGColor, &T::SetBGColor));
        return t;
    }();
    return table;
}

void TGPRichBaseLabel::MakeReady()
{
    Inherited::MakeReady();
    m_master = TRichTextEngine::MasterAmong(FormOf(this));
    if (!m_master)
        throw ENoMasterWPRich();
    DoubleClickAction = [this] { Edit(); };
}

void TGPRichBaseLabel::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    m_transparentItem = AddMenuItem(tr("Transparent"), [this] { ToggleTransparent(); });
    m_transparentItem->setCheckable(true);
    AddMenuItem(tr("Background Color"), [this] { ChooseBackgroundColor(); });
    m_borderItem = AddMenuItem(tr("Border"), [this] { ToggleBorder(); });
    m_borderItem->setCheckable(true);
    AddMenuItem(tr("Edit"), [this] { Edit(); });
    RefreshMenu();
}

void TGPRichBaseLabel::RefreshMenu()
{
    Inherited::RefreshMenu();
    if (m_transparentItem)
        m_transparentItem->setChecked(m_transparent);
    if (m_borderItem)
        m_borderItem->setChecked(m_borderStyle == bsSingle);
}

bool TGPRichBaseLabel::Edit()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TRichTextLabelEditor editor(DialogParent());
    editor.RichEdit->SetContent(Content());
    // A new text starts in the card's default font, as the other text kinds do.
    if (Content().IsEmpty() && Parent())
        editor.RichEdit->SetStartFont(Parent()->SurfaceFont());
    if (!m_transparent)
        editor.SetEditAreaColor(ColorFromTColor(m_bgColor));
    editor.SetEditAreaSize(Width() + 1, Height() + 1);
    editor.RichEdit->SetPageSize(PageWidthTwips(), PageHeightTwips());
    editor.RichEdit->SetZoom(int(std::nearbyint(double(ZoomScale()) * 100)));
    QApplication::restoreOverrideCursor();
    if (editor.exec() != QDialog::Accepted)
        return false;
    // Content the user did not touch keeps its bytes as they are, so RTF
    // from another program, or RTF this program cannot read, is not rewritten.
    const QTextDocument *edited = editor.RichEdit->Document();
    if (edited->isModified())
        SetRTFText(edited->isEmpty() ? QByteArray() : WriteRtf(edited));
    Repaint();
    return true;
}

void TGPRichBaseLabel::ChooseBackgroundColor()
{
    const QColor chosen =
        QColorDialog::getColor(ColorFromTColor(m_bgColor), DialogParent(), tr("Background Color"));
    if (chosen.isValid())
        TakeBackgroundColor(TColorFromColor(chosen));
}

void TGPRichBaseLabel::TakeBackgroundColor(TColor color)
{
    SetBGColor(color);
    ReportChange();
    m_transparent = false; // directly: the tick follows at the next menu refresh
    Repaint();
}

void TGPRichBaseLabel::Draw(QPainter &painter)
{
    if (!m_master)
        return;
    const int w = Width();
    const int h = Height();
    if (m_transparent) {
        m_master->SetColor(Qt::white);
    } else {
        const QColor background = ColorFromTColor(m_bgColor);
        m_master->SetColor(background);
        painter.fillRect(QRect(0, 0, w, h), background);
    }
    m_master->SetContent(&Content());
    // Trunc of the percentage, with room for the float's last bit (0.7 is 70 %).
    m_master->SetZoom(int(std::trunc(double(ZoomScale()) * 100 + 1e-4)));
    m_master->SetPageSize(PageWidthTwips(), PageHeightTwips());
    m_master->SetWordWrap(true);
    m_master->Render(painter, QRect(0, 0, w, h));
    m_master->SetContent(nullptr);
    if (m_borderStyle == bsSingle) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(0, 0, w - 1, h - 1));
        painter.restore();
    }
}

void TGPRichBaseLabel::Paint(QPainter &painter)
{
    Draw(painter);
}

void TGPRichBaseLabel::PrintTo(TBaseReport *report, double x, double y)
{
    PrintRecordedPicture(report, x, y, [this](QPainter &painter) { Draw(painter); });
}
