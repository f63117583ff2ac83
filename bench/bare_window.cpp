// The floor for the panel's start-up: a bare Qt 6 window of the panel's
// fixed size with eight labels, four fields and a 100 ms timer that reads
// one byte of the port file, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QWidget>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.setFixedSize(393, 290);
    for (int i = 0; i < 8; ++i) {
        auto* label = new QLabel(QStringLiteral("Label %1").arg(i), &window);
        label->setGeometry(15, 10 + 34 * i, 240, 20);
    }
    QLineEdit* fields[4];
    for (int i = 0; i < 4; ++i) {
        fields[i] = new QLineEdit(&window);
        fields[i]->setGeometry(280, 65 + 32 * i, 88, 22);
    }
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/emu_port.dat";
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        unsigned char byte = 0;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0) {
            if (::pread(fd, &byte, 1, 15) != 1) byte = 0;
            ::close(fd);
        }
        fields[2]->setText(QString::number(byte));
    });
    timer.start(100);
    window.show();
    return QApplication::exec();
}
