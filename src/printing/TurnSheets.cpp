#include "printing/TurnSheets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

TTurnSheetsPicture::TTurnSheetsPicture(const TDuplexSettings &duplex, QWidget *parent)
    : QWidget(parent)
    , m_duplex(duplex)
{
    setObjectName(QStringLiteral("TurnSheetsPicture"));
    setMinimumSize(sizeHint());
}

void TTurnSheetsPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());
    // The printer at the top, its tray feeding upwards into it.
    const QRectF printer(30, 8, width() - 60, 34);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(90, 90, 90));
    painter.drawRoundedRect(printer, 6, 6);
    painter.setPen(Qt::white);
    painter.drawText(printer, Qt::AlignCenter, QStringLiteral("Printer"));

    // The sheet, portrait, in the tray below.
    const double sheetHeight = height() - 80.0;
    const double sheetWidth = sheetHeight * 8.5 / 11.0;
    const QRectF sheet((width() - sheetWidth) / 2.0, 70.0, sheetWidth, sheetHeight);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(200, 200, 200));
    painter.drawRect(sheet.adjusted(-8, 4, 8, 6)); // the tray
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);

    // Into the printer: the edge at the top goes in first.
    painter.setPen(QPen(Qt::darkGreen, 3));
    const QPointF tip(sheet.center().x(), printer.bottom() + 4);
    const QPointF tail(sheet.center().x(), sheet.top() - 4);
    painter.drawLine(tail, tip);
    painter.setBrush(Qt::darkGreen);
    painter.drawPolygon(QPolygonF({tip, tip + QPointF(-6, 9), tip + QPointF(6, 9)}));

    // Printed fronts showing (the printer prints the side facing down), or
    // hidden under the sheet. Turned end over end, the fronts' bottom edge
    // leads and they lie upside down.
    const bool showing = !m_duplex.FeedFaceUp;
    const QRectF inner = sheet.adjusted(sheetWidth * 0.09, sheetHeight * 0.05, -sheetWidth * 0.09,
                                        -sheetHeight * 0.05);
    const double cardWidth = inner.width() / 2.0;
    const double cardHeight = inner.height() / 5.0;
    QFont small = font();
    small.setPixelSize(std::max(7, int(cardHeight * 0.4)));
    painter.setFont(small);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 2; ++column) {
            const QRectF card(inner.left() + column * cardWidth, inner.top() + row * cardHeight,
                              cardWidth, cardHeight);
            painter.setBrush(Qt::NoBrush);
            painter.setPen(
                QPen(showing ? Qt::black : Qt::gray, 1, showing ? Qt::SolidLine : Qt::DashLine));
            painter.drawRect(card.adjusted(1, 1, -1, -1));
            if (!showing)
                continue;
            painter.save();
            painter.translate(card.center());
            if (m_duplex.ShortEdge)
                painter.rotate(180);
            painter.setPen(Qt::red);
            painter.drawText(QRectF(-cardWidth / 2, -cardHeight / 2, cardWidth, cardHeight),
                             Qt::AlignCenter, QStringLiteral("FRONT"));
            painter.restore();
        }
    }
    painter.setPen(Qt::black);
    painter.setFont(font());
    const QString leading = m_duplex.ShortEdge ? QStringLiteral("bottom of the fronts")
                                               : QStringLiteral("top of the fronts");
    painter.drawText(QRectF(sheet.center().x() + 10, printer.bottom() + 2,
                            width() - sheet.center().x() - 10, 24),
                     Qt::AlignLeft | Qt::AlignVCenter, leading);
    if (!showing) {
        const QString note = QStringLiteral("printed side\ndown");
        const QRectF box =
            painter.boundingRect(sheet, Qt::AlignCenter, note).adjusted(-3, -2, 3, 2);
        painter.fillRect(box, Qt::white);
        painter.drawText(sheet, Qt::AlignCenter, note);
    }
}

TTurnSheetsDialog::TTurnSheetsDialog(const TDuplexSettings &duplex, int sheets, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TurnSheetsDialog"));
    setWindowTitle(QStringLiteral("Turn the Sheets"));
    Picture = new TTurnSheetsPicture(duplex, this);
    Message = new QLabel(Instruction(duplex, sheets), this);
    Message->setObjectName(QStringLiteral("Message"));
    Message->setWordWrap(true);
    Message->setMinimumWidth(260);
    PrintBacksButton = new QPushButton(QStringLiteral("Print Backs"), this);
    PrintBacksButton->setObjectName(QStringLiteral("PrintBacksButton"));
    PrintBacksButton->setDefault(true);
    Cancelbutton = new QPushButton(QStringLiteral("Cancel"), this);
    Cancelbutton->setObjectName(QStringLiteral("Cancelbutton"));
    connect(PrintBacksButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancelbutton, &QPushButton::clicked, this, &QDialog::reject);

    auto *text = new QVBoxLayout;
    text->addWidget(Message);
    text->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(PrintBacksButton);
    buttons->addWidget(Cancelbutton);
    text->addLayout(buttons);
    auto *main = new QHBoxLayout(this);
    main->addWidget(Picture);
    main->addLayout(text, 1);
}

QString TTurnSheetsDialog::Instruction(const TDuplexSettings &duplex, int sheets)
{
    const QString them = sheets > 1 ? QStringLiteral("the %1 printed sheets").arg(sheets)
                                    : QStringLiteral("the printed sheet");
    return QStringLiteral("The fronts are printed. When the ink is dry, put %1 back in the "
                          "printer's paper tray with the printed fronts facing %2 and the %3 of "
                          "the fronts going into the printer first%4.\n\nThen press \"Print "
                          "Backs\".")
        .arg(them, duplex.FeedFaceUp ? QStringLiteral("down") : QStringLiteral("up"),
             duplex.ShortEdge ? QStringLiteral("bottom edge") : QStringLiteral("top edge"),
             duplex.ShortEdge ? QStringLiteral(" (turned end over end)")
                              : QStringLiteral(" (turned over like a page)"));
}
