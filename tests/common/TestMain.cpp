// Test entry point: gives every test binary a QApplication on the offscreen
// platform and a private, empty data folder.
#include "common/TestSupport.h"
#include "shell/Application.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
// A dialog answer armed by a test that no dialog took must not answer the
// next test's dialog with the finished test's (gone) variables.
class TForgetModalActions : public ::testing::EmptyTestEventListener
{
    void OnTestEnd(const ::testing::TestInfo &) override { ForgetPendingModalActions(); }
};
} // namespace

int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new TForgetModalActions);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toUtf8());
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaro"));
    return RUN_ALL_TESTS();
}
