#pragma once

#include <QString>
#include <benchmark/benchmark.h>

class TGBusinessCardPanel32;

// Prints the card's 2 x 5 Letter sheet into a PDF file as "Print to PDF"
// does, `copies` sheets of it; false when the job failed or wrote nothing.
bool PrintSheetToPdf(TGBusinessCardPanel32 &surface, const QString &pdf, int copies = 1);

// The benchmark's loop over a full repaint of the card at 150 %, after one
// untimed paint that builds what later paints keep (fill pictures, codes).
void RepaintCardAt150(benchmark::State &state, TGBusinessCardPanel32 &surface);
// The benchmark's loop over printing the card's sheet into a PDF file, with
// the file's size as the counter "pdf_bytes".
void PrintCardSheets(benchmark::State &state, TGBusinessCardPanel32 &surface);

// A line of /proc/self/status in kilobytes ("VmHWM", "VmRSS"); 0 when unknown.
double StatusKb(const char *field);
