// What the window layer's realisations share: the application served,
// fonts, focus order, captions, fitting, field checks and the event guard.
#include "runtime/ui/shared.h"

#include <algorithm>
#include <exception>
#include <stdexcept>

#include "runtime/message_box.h"

namespace rt::ui {
namespace {

Application& current_application() {
    static Application current{"", "", "", "", ""};
    return current;
}

}  // namespace

const Application& application() { return current_application(); }

void set_application(const Application& application) { current_application() = application; }

const Font& font_of(const Control& control, const Window& window) {
    return control.font.face ? control.font : window.font;
}

bool takes_focus(const Control& control) {
    return control.kind == Kind::TextBox && control.enabled && control.tab != kNoTab;
}

std::vector<std::size_t> tab_order(std::span<const Control> controls) {
    std::vector<std::size_t> order(controls.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return unsigned(controls[a].tab) < unsigned(controls[b].tab);  // kNoTab last
    });
    return order;
}

std::string shown_caption(const char* stored) {
    std::string shown;
    for (const char* c = stored; *c != '\0'; ++c) {
        if (*c == '&' && c[1] != '\0') ++c;
        shown += *c;
    }
    return shown;
}

int fitting_stretch(double room, const std::function<double(int stretch)>& width_at) {
    const double natural = width_at(100);
    if (natural <= room) return 100;
    int stretch = std::clamp(static_cast<int>(100 * room / natural), kNarrowestStretch, 99);
    while (stretch < 99 && width_at(stretch + 1) <= room) ++stretch;
    while (stretch > kNarrowestStretch && width_at(stretch) > room) --stretch;
    return stretch;
}

void check_field(std::span<const Control> controls, std::size_t control) {
    if (control >= controls.size())
        throw std::invalid_argument("no control " + std::to_string(control) + " in the form");
    if (controls[control].kind != Kind::TextBox)
        throw std::invalid_argument(std::string(controls[control].name) + " is not a text box");
}

void invoke(const Handler& handler) noexcept {
    try {
        try {
            handler();
        } catch (const std::exception& error) {
            message_box(error.what());
        } catch (...) {
            message_box("Unexpected error");
        }
    } catch (...) {
        // The report itself failed; there is nobody left to tell.
    }
}

}  // namespace rt::ui
