// vokra-grab OUT.png [X Y WIDTH HEIGHT]: saves the whole screen of the X display, or the given
// part of it, as a picture, for the README's screenshots taken under Xvfb.
#include <QGuiApplication>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 2 && argc != 6) {
        std::fputs("usage: vokra-grab OUT.png [X Y WIDTH HEIGHT]\n", stderr);
        return 2;
    }
    int area[4] = {0, 0, -1, -1};  // the whole screen
    for (int i = 0; argc == 6 && i < 4; ++i) {
        area[i] = std::atoi(argv[2 + i]);
    }
    QGuiApplication app(argc, argv);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        std::fputs("vokra-grab: no screen\n", stderr);
        return 1;
    }
    // A window larger than the screen is cut to what the screen shows of it.
    QRect part = screen->geometry();
    if (area[2] >= 0) {
        part = part.intersected(QRect(area[0], area[1], area[2], area[3]));
    }
    if (!screen->grabWindow(0, part.x(), part.y(), part.width(), part.height())
             .save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "vokra-grab: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
