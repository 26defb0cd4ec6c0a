#pragma once

#include "report/RPBase.h"

#include <QByteArray>
#include <QList>
#include <QPainter>
#include <QPicture>

class QIODevice;

// Pages of a recorded job as they come out of a recording stream. Each page
// is a serialised QPicture in device pixels at Resolution pixels per inch,
// pixel (0, 0) being the paper's corner.
struct TRecordedReport
{
    double PageWidth = 0;  // inches
    double PageHeight = 0; // inches
    int Resolution = 0;
    QList<QByteArray> Pages;
};

// Reads a recording; false (and a readable reason) when the data is not one.
bool ReadRecordedReport(QIODevice &stream, TRecordedReport &out, QString *error = nullptr);
bool ReadRecordedReport(const QByteArray &data, TRecordedReport &out, QString *error = nullptr);
// Plays one recorded page onto a painter whose pixels are `pixelsPerInch` on
// the paper (the painter's origin being the paper corner).
bool PlayRecordedPage(QPainter &painter, const TRecordedReport &report, int page,
                      double pixelsPerInchX, double pixelsPerInchY);

// Records the pages of a job into a stream instead of printing them, with the
// same coordinate model at a fixed resolution and no unprintable offsets.
class TReportFiler : public TBaseReport
{
public:
    static constexpr int kRecordResolution = 600;

    TReportFiler();
    ~TReportFiler() override;

    // The stream the recording is written to when the job ends (from its
    // current position). Null: an internal buffer, read with StreamData().
    void SetStream(QIODevice *stream) { m_stream = stream; }
    QIODevice *Stream() const { return m_stream; }
    QByteArray StreamData() const { return m_data; }
    TAccuracyMethod AccuracyMethod() const { return m_accuracy; }
    void SetAccuracyMethod(TAccuracyMethod m) { m_accuracy = m; }
    int PageCount() const { return int(m_pages.size()); }

protected:
    bool BeginJob() override;
    QPainter *BeginPage() override;
    void EndPage() override;
    void EndJob(bool abandon) override;
    void AbortDevice() override;

private:
    QIODevice *m_stream = nullptr;
    QByteArray m_data;
    TAccuracyMethod m_accuracy = amPositioning;
    QList<QByteArray> m_pages;
    QPicture m_picture;
    QPainter m_recorder;
};
