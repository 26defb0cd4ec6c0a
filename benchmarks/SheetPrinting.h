#pragma once

#include <QString>

class TGBusinessCardPanel32;

// Prints the card's 2 x 5 Letter sheet into a PDF file as "Print to PDF"
// does, `copies` sheets of it; false when the job failed or wrote nothing.
bool PrintSheetToPdf(TGBusinessCardPanel32 &surface, const QString &pdf, int copies = 1);
