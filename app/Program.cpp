#include <QApplication>

int QuillaneMain(int argc, char** argv) {
    QApplication app(argc, argv);
    return 0;
}
