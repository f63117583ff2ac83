// The device panel: two fields whose every change is written to the
// output ports, and two fields showing the input ports ten times a second.
#pragma once

#include <QWidget>

#include "io/io.h"

class QFrame;
class QLabel;
class QLineEdit;
class QTimer;

namespace panel {

class PictureBox;

class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);

    // Named as the panel's controls are, for tests and accessibility tools.
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    QLineEdit *txtOUT_B110, *txtOUT_W112, *txtIN_B115, *txtIN_W117;
    PictureBox *Picture1, *Picture2;
    QFrame* Line1;
    QTimer* Timer1;

    void Timer1_Timer();
    void txtOUT_B110_Change();
    void txtOUT_W112_Change();

    // A field whose every change is written to its port(s).
    struct OutputPort {
        QLineEdit* Form1::*field;
        io::Port port;
        void (*write)(const io::Port& port, double number);
    };
    // A field that shows its port(s) on each tick.
    struct InputPort {
        QLineEdit* Form1::*field;
        io::Port port;
        int (*read)(const io::Port& port);
    };

private:
    void createControls();
    void orderTabStops();
    void nameFieldsAfterTheirLabels();
    void connectHandlers();
    void outputChanged(const OutputPort& output);
    template <class T>
    T* control(const char* name) const;
};

}  // namespace panel
