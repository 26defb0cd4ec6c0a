#pragma once

#include "document/ProgramFolder.h"
#include "shell/Main.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A test that runs the main window as on a first start without a printer:
// an empty program folder, and a temporary folder of its own.
class TMainWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        TMainScreen::PrinterCheck = [](bool) { return false; };
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
    }
    void TearDown() override { window.reset(); }

    // Shows the window and lets its first activation run.
    void Start()
    {
        window = std::make_unique<TMainScreen>();
        window->show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    std::unique_ptr<TMainScreen> window;
};
