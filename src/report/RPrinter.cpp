#include "report/RPrinter.h"

// All device work lives in TCanvasReport; the printer report adds only the
// direct use of OnPrint, which TBaseReport::Execute runs.
TReportPrinter::TReportPrinter() = default;
TReportPrinter::~TReportPrinter() = default;
