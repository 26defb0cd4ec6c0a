#pragma once

#include "report/RPCanvas.h"

// The report that prints straight to the printer (a queue or a PDF file):
// OnPrint draws every page through the report's operations.
class TReportPrinter : public TCanvasReport
{
public:
    TReportPrinter();
    ~TReportPrinter() override;
};
