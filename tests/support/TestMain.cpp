// Every test executable owns one QApplication and runs its tests inside the event loop.

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // A test's last window closing must not end the application the later tests run in.
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    int result = 1;
    QTimer::singleShot(0, &app, [&] {
        result = RUN_ALL_TESTS();
        app.exit(result);
    });
    app.exec();
    return result;
}
