#include "effects/gstpropGetTexture.h"

#include "document/ProgramFolder.h"

#include <QFileInfo>

TSuperTextBrushImageBrowser::TSuperTextBrushImageBrowser(QWidget *mainWindow)
    : TGBrushImageBrowser(mainWindow)
{
    setObjectName(QStringLiteral("SuperTextBrushImageBrowser"));
    // The box shows a text instead of the figure; the figure still loads
    // each texture, and the text takes it from there.
    ExampleSuperText = new TGSuperText(ExampleBox);
    ExampleSuperText->setObjectName(QStringLiteral("ExampleSuperText"));
    ExampleBox->SetObject(ExampleSuperText);
}

void TSuperTextBrushImageBrowser::ShowTexture(const QImage &texture)
{
    TGBrushImageBrowser::ShowTexture(texture);
    if (!ExampleSuperText)
        return; // the base shows its first picture while being built
    ExampleSuperText->SetImage(&ExampleSuperShape->ImageBitmap());
    ExampleBox->FitObject();
}

bool TSuperTextBrushImageBrowser::Browse(TGSuperText &example, QString &lastTexturePath,
                                         QWidget *parent)
{
    TSuperTextBrushImageBrowser browser(parent);
    browser.ExampleSuperText->CopyProperties(example);
    browser.ExampleSuperText->SetBounds(10, 10, example.Width(), example.Height());
    // Opens at the texture chosen last, previewed on the example.
    if (lastTexturePath.isEmpty() || !QFileInfo(lastTexturePath).isFile() ||
        !browser.SelectFile(lastTexturePath))
        browser.SetFolder(ProgramFolder() + QStringLiteral("bmbrush"));
    browser.ExampleBox->FitObject();
    if (browser.exec() != QDialog::Accepted || browser.ExampleSuperText->ImageBitmap().IsEmpty())
        return false;
    example.SetImage(&browser.ExampleSuperText->ImageBitmap());
    lastTexturePath = browser.FileName();
    return true;
}
