#pragma once

#include "effects/Gbimageb.h"
#include "effects/gsstext.h"

// The texture picker of the super text: the shape browser's files and
// folders, the selected picture previewed as the fill of an example text.
class TSuperTextBrushImageBrowser : public TGBrushImageBrowser
{
    Q_OBJECT

public:
    explicit TSuperTextBrushImageBrowser(QWidget *mainWindow = nullptr);

    TGSuperText *ExampleSuperText = nullptr;

    // Runs the browser on a copy of the dialog's sample: opens at the texture
    // chosen last (or in the "bmbrush" folder) and, on Ok with a readable
    // picture, leaves it in the example's Image and its file in
    // lastTexturePath. Anything else leaves both as they were.
    static bool Browse(TGSuperText &example, QString &lastTexturePath, QWidget *parent);

protected:
    void ShowTexture(const QImage &texture) override;
};
