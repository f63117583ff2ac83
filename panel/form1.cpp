// Form1's behaviour: its port tables and its three handlers.
#include "panel/form1.h"

#include "panel/layout.h"
#include "runtime/errors.h"
#include "runtime/message_box.h"
#include "runtime/number.h"
#include "runtime/text.h"

namespace panel {
namespace {

// A pasted page would make a message box larger than the screen.
constexpr std::size_t kMessageTextLimit = 1000;

void write_byte(const io::Port& port, double number) { io::WRITE_IO_BYTE(port, rt::to_byte(number)); }
void write_word(const io::Port& port, double number) { io::WRITE_IO_WORD(port, rt::to_int16(number)); }
int read_byte(const io::Port& port) { return io::READ_IO_BYTE(port); }
int read_word(const io::Port& port) { return io::READ_IO_WORD(port); }

// The emulated program's input ports, in the upper half ("Input Port"):
// every change of a field's text is written to its port(s) by its change
// handler, one of a family; each row names its field, its handler and
// what sets it apart, and the handler names its row.
struct InputPort {
    Form1::Field field;
    void (Form1::*change)();
    io::Port port;
    void (*write)(const io::Port& port, double number);
};

const InputPort kPort110{&Form1::txtOUT_B110, &Form1::txtOUT_B110_Change, 110, write_byte};
const InputPort kPort112{&Form1::txtOUT_W112, &Form1::txtOUT_W112_Change, 112, write_word};
const InputPort* const kInputPorts[] = {&kPort110, &kPort112};

// Writes what the field's text reads as; a number out of range is
// reported, and emptying the field runs the handler again, writing 0.
void entered(Form1& form, const InputPort& input) {
    TextBox& box = form.*input.field;
    try {
        input.write(input.port, rt::text_to_number(box.Text()));
    } catch (const rt::Error& error) {
        rt::message_box(error.description() + ": " + rt::shortened(box.Text(), kMessageTextLimit));
        box.setText("");
    }
}

// The emulated program's output ports, in the lower half ("Output
// Port"): what each tick shows, in this order.
struct OutputPort {
    Form1::Field field;
    io::Port port;
    int (*read)(const io::Port& port);
};

const OutputPort kOutputPorts[] = {
    {&Form1::txtIN_B115, 115, read_byte},
    {&Form1::txtIN_W117, 117, read_word},
};

}  // namespace

Form1::Form1()
    : FormOwner(rt::ui::create_form(kForm1, kControls)),
      txtOUT_B110(*form_, control("txtOUT_B110")),
      txtOUT_W112(*form_, control("txtOUT_W112")),
      txtIN_B115(*form_, control("txtIN_B115")),
      txtIN_W117(*form_, control("txtIN_W117")) {
    for (const Row& row : kRows) {
        form_->name_after(row.field, row.label);
        if (row.hint != kNoHint) form_->describe_with(row.field, row.hint);
    }
    for (const InputPort* input : kInputPorts)
        (this->*input->field).onChange([this, input] { (this->*input->change)(); });
    form_->start_timer(kTimer1, kTimer1IntervalMs, [this] { Timer1_Timer(); });
}

void Form1::Timer1_Timer() {
    for (const OutputPort& output : kOutputPorts)
        (this->*output.field).setText(rt::to_decimal(output.read(output.port)));
}

void Form1::txtOUT_B110_Change() { entered(*this, kPort110); }

void Form1::txtOUT_W112_Change() { entered(*this, kPort112); }

}  // namespace panel
