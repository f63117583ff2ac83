// The device panel: two fields whose every change is written to the ports
// that the emulated program reads (its input ports), and two fields that
// show, ten times a second, the ports it writes (its output ports).
// Written once for every window system, over the runtime's window layer.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <utility>

#include "io/io.h"
#include "runtime/ui/window.h"

namespace panel {

// A text box of the form, named by its place in the layout table.
class TextBox {
public:
    TextBox(rt::ui::Form& form, std::size_t control) : form_(&form), control_(control) {}
    std::string Text() const { return form_->text(control_); }
    void setText(const std::string& text) { form_->set_text(control_, text); }
    // Runs the handler after every change of the text.
    void onChange(rt::ui::Handler handler) { form_->on_change(control_, std::move(handler)); }

private:
    rt::ui::Form* form_;
    std::size_t control_;
};

// Owns the window. A base is built before every member, whatever the
// order of the members, so the fields below can always name the window.
class FormOwner {
protected:
    explicit FormOwner(std::unique_ptr<rt::ui::Form> form) : form_(std::move(form)) {}
    std::unique_ptr<rt::ui::Form> form_;
};

class Form1 : private FormOwner, public rt::ui::Program {
public:
    Form1();

    rt::ui::Form& form() override { return *form_; }

    void Timer1_Timer();
    void txtOUT_B110_Change();
    void txtOUT_W112_Change();

    // The controls that code uses.
    TextBox txtOUT_B110, txtOUT_W112, txtIN_B115, txtIN_W117;

    // One of the fields above, as the port tables name it.
    using Field = TextBox Form1::*;
};

}  // namespace panel
