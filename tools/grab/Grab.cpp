// vokra-grab OUT.png: saves the whole screen of the X display as a picture, for the README's
// screenshots taken under Xvfb.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: vokra-grab OUT.png\n", stderr);
        return 2;
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr || !screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "vokra-grab: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
