#include "runtime/window.h"

#include <algorithm>
#include <exception>

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
