#pragma once

#include "printing/CardExport.h"

#include <QDialog>
#include <QSizeF>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;
class TCardModel;

// "Export for Print Shop": the bleed (typed as "3 mm" or "0.125 in", or
// picked), crop marks and CMYK, with the first page drawn as it will be
// written and redrawn as the choices change. The card's trim shows as a thin
// line on the preview only.
class TPrintShopExportDialog : public QDialog
{
    Q_OBJECT

public:
    TPrintShopExportDialog(const TCardModel &front, const QSizeF &cardInches,
                           const TExportSettings &settings, bool millimetres,
                           QWidget *parent = nullptr);

    // What is chosen; valid only when Accepted (a bleed that is not a
    // length keeps "Export..." disabled).
    TExportSettings Settings() const { return m_settings; }
    bool Millimetres() const { return m_millimetres; }
    // The preview as last drawn.
    QImage Preview() const { return m_preview; }

private:
    void ReadChoices();
    void DrawPreview();

    const TCardModel &m_front;
    QSizeF m_card;
    TExportSettings m_settings;
    bool m_millimetres = false;
    QImage m_preview;
    QComboBox *m_bleed = nullptr;
    QCheckBox *m_cropMarks = nullptr;
    QCheckBox *m_cmyk = nullptr;
    QLabel *m_pageSize = nullptr;
    QLabel *m_problem = nullptr;
    QLabel *m_picture = nullptr;
    QPushButton *m_export = nullptr;
    QTimer *m_redraw = nullptr;
};

// "Export Card as Image": the resolution and whether the bleed is included,
// with the picture's size in pixels shown as they change.
class TCardImageDialog : public QDialog
{
    Q_OBJECT

public:
    // The bleed in inches, and whether to show it in millimetres.
    TCardImageDialog(const QSizeF &cardInches, int dpi, double bleedInches, bool millimetres,
                     bool withBleed, QWidget *parent = nullptr);
    int Dpi() const;
    bool WithBleed() const;

private:
    void ShowSize();

    QSizeF m_card;
    double m_bleed;
    QSpinBox *m_dpi = nullptr;
    QCheckBox *m_withBleed = nullptr;
    QLabel *m_size = nullptr;
};
