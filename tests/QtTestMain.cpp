// Entry point of the test programs that need Qt: GoogleTest runs inside a
// QApplication, so widgets, timers and QTest's input events work. The tests
// run on Qt's offscreen platform unless a platform is chosen outside.
#include <gmock/gmock.h>

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
