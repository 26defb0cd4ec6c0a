// An error raised by a command reaches the user as a message box and the
// program goes on.
#include "common/TestSupport.h"
#include "surface/Gbcpanel32.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <gtest/gtest.h>

TEST(ApplicationTest, ADamagedClipboardFileIsReportedAndNothingIsPasted)
{
    TGBusinessCardPanel32 surface;
    surface.setFixedSize(336, 192);
    QFile clipboard(surface.ClipboardFile());
    ASSERT_TRUE(clipboard.open(QIODevice::WriteOnly));
    clipboard.write(QByteArray("\x01" "TPF1", 5));
    clipboard.close();

    TDialogAnswer shown;
    AnswerNextMessageBox(QMessageBox::Ok, &shown);
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(&surface, &paste);
    EXPECT_TRUE(shown.seen);
    EXPECT_EQ(shown.title, "Tessaro");
    EXPECT_EQ(shown.text, "Invalid stream format");
    EXPECT_EQ(surface.ObjectCount(), 0);

    // The surface still works afterwards.
    QFile::remove(surface.ClipboardFile());
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(&surface, &again);
    EXPECT_EQ(surface.ObjectCount(), 0);
}
