// Runs the window tests on Qt's offscreen platform, recording messages instead of showing them.
#include "tests/app/app_test_support.h"

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>

namespace vorticel::testing {

std::vector<RecordedMessage>& Messages() {
    static std::vector<RecordedMessage> messages;
    return messages;
}

} // namespace vorticel::testing

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    // Settings (the recent files) go to a folder of this process, never the user's own nor
    // another test process's (CTest runs them side by side).
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("vorticel-tests"));
    const QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    vorticel::SetMessageSink(
        [](vorticel::MessageKind kind, const QString& caption, const QString& text) {
            vorticel::testing::Messages().push_back({kind, caption, text});
        });
    return RUN_ALL_TESTS();
}
