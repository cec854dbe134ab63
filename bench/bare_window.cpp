// An empty main window of the program's size, opened the way the program
// opens its own: the yardstick startup.sh measures the program against.
// With --label it shows one line of text, so that it also pays for loading
// the fonts, as every window with a caption does.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QScreen>
#include <cstring>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    if (argc > 1 && std::strcmp(argv[1], "--label") == 0) {
        window.setWindowTitle("Bare - window with a label");
        window.setCentralWidget(new QLabel("Zentrivo", &window));
    } else {
        window.setWindowTitle("Bare - empty window");
    }
    window.resize(837, 573);
    if (const QScreen* s = window.screen()) {
        window.move(s->availableGeometry().center() - window.rect().center());
    }
    window.show();
    return app.exec();
}
