#include "objects/Ggetsym.h"

#include "document/Desktop.h"
#include "graphics/Colors.h"
#include "graphics/SymbolFonts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TSymbolGrid::TSymbolGrid(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A multi-column list: entries run down each column, columns scroll sideways.
    setViewMode(QListView::ListMode);
    setFlow(QListView::TopToBottom);
    setWrapping(true);
    setResizeMode(QListView::Adjust);
    setUniformItemSizes(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int i = 0; i < CharacterCount; ++i) {
        auto *entry = new QListWidgetItem(this);
        entry->setTextAlignment(Qt::AlignCenter);
        entry->setData(Qt::UserRole, FirstCode + i);
    }
}

void TSymbolGrid::ShowFont(const QFont &font, const QColor &color)
{
    m_font = font;
    for (int i = 0; i < CharacterCount; ++i) {
        QListWidgetItem *entry = item(i);
        // The grid draws each character as the card will.
        const TDrawnText drawn = SymbolDrawnText(font, QString(SymbolCodeChar(FirstCode + i)));
        entry->setFont(drawn.font);
        entry->setText(drawn.text);
        entry->setForeground(color);
    }
}

void TSymbolGrid::SetColumns(int columns, int rowHeight)
{
    m_columns = std::max(1, columns);
    m_rowHeight = std::max(1, rowHeight);
    ArrangeColumns();
}

QString TSymbolGrid::CodeText(const QListWidgetItem *entry)
{
    if (!entry)
        return QString();
    return QString(SymbolCodeChar(uint(entry->data(Qt::UserRole).toInt())));
}

void TSymbolGrid::ArrangeColumns()
{
    const int width = std::max(1, viewport()->width() / m_columns);
    setGridSize(QSize(width, m_rowHeight));
}

void TSymbolGrid::resizeEvent(QResizeEvent *event)
{
    QListWidget::resizeEvent(event);
    ArrangeColumns();
}

TGetSymbol::TGetSymbol(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("GetSymbol"));
    setWindowTitle(tr("Symbol Selector"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setFixedSize(474, 327);

    m_gridFont.SetName(QStringLiteral("Wingdings"));
    m_gridFont.SetSize(GridPointSize);
    m_gridFont.SetColor(0);
    m_heldFont.Assign(m_gridFont);

    FontLabel = new QLabel(tr("&Font"), this);
    FontLabel->setObjectName(QStringLiteral("FontLabel"));
    FontButton = new QPushButton(this);
    FontButton->setObjectName(QStringLiteral("FontButton"));
    FontButton->setFixedWidth(217);
    FontButton->setAutoDefault(false);
    FontLabel->setBuddy(FontButton);

    SymbolGrid = new TSymbolGrid(this);
    SymbolGrid->setObjectName(QStringLiteral("SymbolGrid"));

    // Carries the font OK returns; never shown.
    FontHolder = new QLabel(this);
    FontHolder->setObjectName(QStringLiteral("FontHolder"));
    FontHolder->setVisible(false);

    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(tr("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    HelpButton = new QPushButton(tr("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);

    auto *top = new QHBoxLayout;
    top->addWidget(FontLabel);
    top->addWidget(FontButton);
    top->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(OKButton);
    bottom->addWidget(CancelButton);
    bottom->addWidget(HelpButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(SymbolGrid, 1);
    layout->addLayout(bottom);

    connect(FontButton, &QPushButton::clicked, this, &TGetSymbol::FontButtonClick);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    SetHelpTopic(this, HelpTopic);

    FillGrid();
    FormActivate();
    // Centred on the screen.
    const QRect screen = AvailableScreenRect(this);
    if (screen.isValid())
        move(screen.center() - QPoint(width() / 2, height() / 2));
}

int TGetSymbol::ColumnsForPointSize(int points)
{
    if (points >= 6 && points <= 10)
        return 14;
    if (points >= 11 && points <= 20)
        return 10;
    if (points >= 21 && points <= 30)
        return 8;
    if (points >= 31 && points <= 40)
        return 6;
    if (points >= 41 && points <= 50)
        return 4;
    if (points >= 51 && points <= 60)
        return 3;
    if (points >= 61 && points <= 72)
        return 2;
    return 1;
}

QString TGetSymbol::FontDescription(const QString &name, int points, bool bold, bool italic)
{
    QString text = name + QStringLiteral(", ") + QString::number(points) + QStringLiteral("pt ");
    if (italic)
        text += QStringLiteral("Italic ");
    else if (bold)
        text += QStringLiteral("Bold ");
    return text;
}

void TGetSymbol::SetHeldFont(const TGFont &font)
{
    m_heldFont.Assign(font);
    FontHolder->setFont(m_heldFont.ToQFont());
}

void TGetSymbol::SetGridFont(const TGFont &font)
{
    m_gridFont.SetName(font.Name());
    m_gridFont.SetColor(font.Color());
    m_gridFont.SetStyle(font.Style());
    m_gridFont.SetSize(GridPointSize);
    FillGrid();
    RefreshFontButton();
}

int TGetSymbol::SelectedIndex() const
{
    const QList<QListWidgetItem *> chosen = SymbolGrid->selectedItems();
    return chosen.isEmpty() ? -1 : SymbolGrid->row(chosen.first());
}

void TGetSymbol::SetSelectedIndex(int index)
{
    if (index < 0 || index >= CharacterCount) {
        SymbolGrid->clearSelection();
        return;
    }
    SymbolGrid->setCurrentRow(index);
    SymbolGrid->scrollToItem(SymbolGrid->item(index));
}

void TGetSymbol::FontButtonClick()
{
    TColor color = m_heldFont.Color();
    const std::optional<QFont> chosen = ChooseFont(m_heldFont.ToQFont(), this, tr("Font"), &color);
    if (!chosen)
        return;
    TGFont held;
    held.Assign(m_heldFont);
    held.Assign(*chosen);
    held.SetColor(color);
    SetHeldFont(held);
    SetGridFont(held);
}

void TGetSymbol::FillGrid()
{
    SymbolGrid->ShowFont(m_gridFont.ToQFont(), ColorFromTColor(m_gridFont.Color()));
}

void TGetSymbol::FormActivate()
{
    SymbolGrid->SetColumns(ColumnsForPointSize(m_gridFont.Size()), RowHeight);
    RefreshFontButton();
}

void TGetSymbol::RefreshFontButton()
{
    FontButton->setText(FontDescription(m_gridFont.Name(), m_gridFont.Size(),
                                        m_gridFont.Style() & fsBold,
                                        m_gridFont.Style() & fsItalic));
}

void TGetSymbol::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
    if (QListWidgetItem *current = SymbolGrid->currentItem())
        SymbolGrid->scrollToItem(current);
}
