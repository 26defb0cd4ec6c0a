#include "report/RPFPrint.h"

#include <QIODevice>
#include <QPageSize>
#include <QPrinter>

void TFilePrinter::LoadRecording()
{
    QString why;
    bool ok = false;
    if (m_stream)
        ok = ReadRecordedReport(*m_stream, m_recording, &why);
    else
        ok = ReadRecordedReport(m_data, m_recording, &why);
    if (!ok)
        throw EReportError(why);
}

bool TFilePrinter::Execute()
{
    LoadRecording();
    // The paper the pages were recorded on.
    SetPaperOverride(QSizeF(m_recording.PageWidth, m_recording.PageHeight));
    return TCanvasReport::Execute();
}

void TFilePrinter::RunPages()
{
    // Without copies made by the device the recording is played Copies times.
    const int rounds = MaxCopies() > 1 ? 1 : Copies();
    bool first = true;
    for (int round = 0; round < rounds; ++round) {
        for (int i = 0; i < m_recording.Pages.size(); ++i) {
            if (Aborted())
                return;
            if (!first)
                NewPage();
            first = false;
            QPainter *painter = Canvas();
            if (!painter)
                return;
            painter->save();
            painter->translate(-OffsetPixels()); // recorded pixel 0 is the paper corner
            PlayRecordedPage(*painter, m_recording, i, XDPI(), YDPI());
            painter->restore();
        }
    }
}
