#include "panel/form1.h"

#include <iterator>

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

// The two change handlers are one family; this is what sets them apart.
const Form1::OutputPort kOutputPorts[] = {
    {&Form1::txtOUT_B110, 110, write_byte},
    {&Form1::txtOUT_W112, 112, write_word},
};

// What each tick shows, in this order.
const Form1::InputPort kInputPorts[] = {
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
    for (const Row& row : kRows) form_->name_after(row.field, row.label);
    form_->on_change(control("txtOUT_B110"), [this] { txtOUT_B110_Change(); });
    form_->on_change(control("txtOUT_W112"), [this] { txtOUT_W112_Change(); });
    form_->start_timer(kTimer1, kTimer1IntervalMs, [this] { Timer1_Timer(); });
}

void Form1::Timer1_Timer() {
    for (const InputPort& input : kInputPorts)
        (this->*input.field).setText(rt::to_decimal(input.read(input.port)));
}

void Form1::txtOUT_B110_Change() { outputChanged(kOutputPorts[0]); }

void Form1::txtOUT_W112_Change() { outputChanged(kOutputPorts[1]); }

// Writes what the field's text reads as; a number out of range is
// reported, and emptying the field runs this again, writing 0.
void Form1::outputChanged(const OutputPort& output) {
    TextBox& field = this->*output.field;
    try {
        output.write(output.port, rt::text_to_number(field.Text()));
    } catch (const rt::Error& error) {
        rt::message_box(error.description() + ": " + rt::shortened(field.Text(), kMessageTextLimit));
        field.setText("");
    }
}

}  // namespace panel
