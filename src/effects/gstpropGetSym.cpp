#include "effects/gstpropGetSym.h"

#include "document/Desktop.h"
#include "graphics/SymbolFonts.h"
#include "objects/Ggetsym.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>

QStringList TSuperTextGetSymbol::InstalledSymbolFonts()
{
    const QStringList installed = QFontDatabase::families();
    const auto isInstalled = [&](const QString &family) {
        return installed.contains(family, Qt::CaseInsensitive);
    };
    bool picturesInstalled = false;
    for (const QString &family : SymbolPictureFamilies())
        picturesInstalled = picturesInstalled || isInstalled(family);
    QStringList fonts;
    for (const QString &family :
         {QStringLiteral("Symbol"), QStringLiteral("Webdings"), QStringLiteral("Wingdings")})
        if (picturesInstalled || isInstalled(family))
            fonts.append(family);
    fonts.sort(Qt::CaseInsensitive);
    return fonts;
}

TSuperTextGetSymbol::TSuperTextGetSymbol(QWidget *parent)
    : TSuperTextGetSymbol(InstalledSymbolFonts(), parent)
{
}

TSuperTextGetSymbol::TSuperTextGetSymbol(const QStringList &fonts, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SuperTextGetSymbol"));
    setWindowTitle(tr("Symbol Selector"));
    setFixedSize(530, 371);

    FontLabel = new QLabel(tr("&Font"), this);
    FontLabel->setObjectName(QStringLiteral("FontLabel"));
    FontLabel->setGeometry(10, 12, 40, 22);
    SymbolSets = new QComboBox(this);
    SymbolSets->setObjectName(QStringLiteral("SymbolSets"));
    SymbolSets->setToolTip(tr("Select a symbol font set"));
    SymbolSets->setGeometry(52, 10, 220, 26);
    FontLabel->setBuddy(SymbolSets);

    SymbolList = new TSymbolGrid(this);
    SymbolList->setObjectName(QStringLiteral("SymbolList"));
    SymbolList->setGeometry(10, 44, 510, 280);

    CopyCharButton = new QPushButton(tr("Ok"), this);
    CopyCharButton->setObjectName(QStringLiteral("CopyCharButton"));
    CopyCharButton->setToolTip(tr("Copy the selected symbol to the label"));
    CopyCharButton->setDefault(true);
    CopyCharButton->setGeometry(340, 334, 85, 27);
    OKButton = new QPushButton(tr("Cancel"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setAutoDefault(false);
    OKButton->setGeometry(435, 334, 85, 27);

    connect(SymbolSets, &QComboBox::activated, this, [this] { SymbolSetsClick(); });
    connect(SymbolList, &QListWidget::itemClicked, this, [this] { SymbolListClick(); });
    connect(SymbolList, &QListWidget::currentItemChanged, this, [this] { SymbolListClick(); });
    connect(SymbolList, &QListWidget::itemDoubleClicked, this, [this] { CopyCharButtonClick(); });
    connect(CopyCharButton, &QPushButton::clicked, this, [this] { CopyCharButtonClick(); });
    connect(OKButton, &QPushButton::clicked, this, &QDialog::reject);

    QApplication::setOverrideCursor(Qt::WaitCursor);
    LoadFontsList(fonts);
    QApplication::restoreOverrideCursor();
    PlaceDialog(this);
}

void TSuperTextGetSymbol::LoadFontsList(const QStringList &fonts)
{
    SymbolSets->clear();
    QStringList sorted = fonts;
    sorted.removeDuplicates();
    sorted.sort(Qt::CaseInsensitive);
    SymbolSets->addItems(sorted);
    if (SymbolSets->count() == 0)
        return;
    int wingdings = 0;
    for (int i = 0; i < SymbolSets->count(); ++i)
        if (SymbolSets->itemText(i).toUpper().contains(QLatin1String("WINGDING"))) {
            wingdings = i;
            break;
        }
    SymbolSets->setCurrentIndex(wingdings);
    ShowGridFont(SymbolSets->currentText());
    SymbolList->setCurrentRow(0);
}

int TSuperTextGetSymbol::exec()
{
    if (SymbolSets->count() == 0) {
        ShowInformation(tr("No Symbol fonts installed"));
        return Rejected;
    }
    return QDialog::exec();
}

QString TSuperTextGetSymbol::GridFontName() const
{
    return SymbolSets->currentText();
}

void TSuperTextGetSymbol::ShowGridFont(const QString &name)
{
    QFont font(name);
    font.setPixelSize(GridPixelSize);
    SymbolList->ShowFont(font, Qt::black);
    SymbolList->SetColumns(GridColumns, GridRowHeight);
}

void TSuperTextGetSymbol::SymbolSetsClick()
{
    ShowGridFont(SymbolSets->currentText());
    m_chosenFont = SymbolSets->currentText();
}

void TSuperTextGetSymbol::SymbolListClick()
{
    m_chosenCharacter = TSymbolGrid::CodeText(SymbolList->currentItem());
}

void TSuperTextGetSymbol::CopyCharButtonClick()
{
    if (!m_chosenFont.isEmpty() || !m_chosenCharacter.isEmpty())
        accept();
}

void TSuperTextGetSymbol::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    SymbolListClick();
}
