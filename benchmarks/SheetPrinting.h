#pragma once

#include <QString>

class TGBusinessCardPanel32;

// Prints the card's 2 x 5 Letter sheet into a PDF file as "Print to PDF"
// does, `copies` sheets of it; false when the job failed or wrote nothing.
bool PrintSheetToPdf(TGBusinessCardPanel32 &surface, const QString &pdf, int copies = 1);

// A line of /proc/self/status in kilobytes ("VmHWM", "VmRSS"); 0 when unknown.
double StatusKb(const char *field);
