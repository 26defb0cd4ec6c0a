#pragma once

#include "report/RPCanvas.h"
#include "report/RPFiler.h"

class QIODevice;

// Prints a recording made by TReportFiler on the printer. When the device
// cannot make copies by itself, the pages are played Copies times.
class TFilePrinter : public TCanvasReport
{
public:
    TFilePrinter() = default;

    // The recording, read from its current position when the job starts.
    void SetStream(QIODevice *stream)
    {
        m_stream = stream;
        m_data.clear();
    }
    void SetStreamData(const QByteArray &data)
    {
        m_data = data;
        m_stream = nullptr;
    }
    const TRecordedReport &Recording() const { return m_recording; }

    // Reads the recording (EReportError when it cannot be read), then prints it.
    bool Execute() override;

protected:
    void RunPages() override;
    // Reads the stream into Recording(); throws EReportError.
    void LoadRecording();

    QIODevice *m_stream = nullptr;
    QByteArray m_data;
    TRecordedReport m_recording;
};
