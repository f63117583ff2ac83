// What the form's contract tests do as a user and as the window system
// would, on each realisation of the window layer: form_driver_qt.cpp on
// Qt's offscreen platform, form_driver_win32.cpp under Wine.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

#include "runtime/ui/window.h"

namespace driver {

// Runs the tests with the window system started, from main.
int run(int& argc, char** argv, const std::function<int()>& tests);

// Serves the window system's events until done() holds or `ms` have
// passed; returns done().
bool serve_until(const std::function<bool()>& done, int ms = 5000);

// Makes the form's window the active one; false when it does not become so.
bool activate(rt::ui::Form& form);

bool has_focus(rt::ui::Form& form, std::size_t control);

// Presses and releases Tab where the keyboard focus is.
void press_tab(rt::ui::Form& form);

// Clicks the middle of the control with the first mouse button.
void click(rt::ui::Form& form, std::size_t control);

// Types the keys into the control, one at a time.
void type(rt::ui::Form& form, std::size_t control, const std::string& keys);

// Shows the realisation's own message box over the form. Once it waits
// for the user, `while_open` runs and is handed what closes the box.
using WhileOpen = std::function<void(const std::function<void()>& close)>;
void show_message_box(rt::ui::Form& form, const std::string& text, const WhileOpen& while_open);

}  // namespace driver
