// main() of the window tests: a QApplication on the offscreen platform, so the tests need no
// display, in the classic style the program itself uses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStyleFactory>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (QStyle* style = QStyleFactory::create("Windows")) {
        QApplication::setStyle(style);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
