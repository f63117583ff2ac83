// What every realisation of the window layer promises the form, checked
// on Form1: on Qt's offscreen platform and, under Wine, on Win32. Each
// test has a fresh TMPDIR of its own.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "form_driver.h"
#include "panel/application.h"
#include "panel/form1.h"
#include "panel/layout.h"
#include "panel_fixture.h"
#include "runtime/message_box.h"
#include "runtime/ui/shared.h"

namespace {

using panel::control;

constexpr std::size_t kByteField = control("txtOUT_B110"), kWordField = control("txtOUT_W112");
constexpr std::size_t kShownByte = control("txtIN_B115");

class FormContract : public testsupport::PanelTest {
protected:
    rt::ui::Form& form() { return program->form(); }
};

TEST_F(FormContract, SettingADifferentTextRunsTheChangeHandlerBeforeItReturns) {
    const std::pair<const char*, std::pair<int, int>> cases[] = {
        {"-1", {255, 255}},   {"32767", {255, 127}},  {"-32768", {0, 128}}, {"256", {0, 1}},
        {"&H8000", {0, 128}}, {"&HFFFF", {255, 255}}, {"-2.5", {254, 255}}, {"4660", {52, 18}},
    };
    for (const auto& [text, bytes] : cases) {
        form().set_text(kWordField, text);
        EXPECT_EQ(port(112), bytes.first) << text;
        EXPECT_EQ(port(113), bytes.second) << text;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(FormContract, AHandlerThatEmptiesItsFieldRunsAgainNestedAndWritesZero) {
    struct Seen {
        std::string message, text;
        int port;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    const auto see = [&](const std::string& message) {
        seen.push_back({message, form().text(kByteField), port(110)});
    };
    rt::set_message_box_handler(see);
    // Typed: "2", "25", then "256", rejected while port 110 holds 25.
    driver::type(form(), kByteField, "256");
    EXPECT_EQ(seen, (std::vector<Seen>{{"Overflow: 256", "256", 25}}));
    EXPECT_EQ(form().text(kByteField), "");
    EXPECT_EQ(port(110), 0);
    // Set: no event is served between the setter and these checks.
    form().set_text(kByteField, "12");
    form().set_text(kByteField, "300");
    EXPECT_EQ(seen.size(), 2u);
    EXPECT_EQ(form().text(kByteField), "");
    EXPECT_EQ(port(110), 0);
}

// A field has one change handler: the later replaces the earlier. The
// field functions take text boxes alone, and refuse a label unchanged.
TEST_F(FormContract, AFieldHasOneChangeHandlerAndOnlyFieldsHaveOne) {
    std::vector<std::string> ran;
    form().on_change(kByteField, [&] { ran.push_back("first"); });
    form().on_change(kByteField, [&] { ran.push_back("second"); });
    form().set_text(kByteField, "1");
    EXPECT_EQ(ran, std::vector<std::string>{"second"});

    constexpr std::size_t kLabel = control("Label3");
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"text", [&] { form().text(kLabel); }},
        {"set_text", [&] { form().set_text(kLabel, "x"); }},
        {"on_change", [&] { form().on_change(kLabel, [] {}); }},
        {"set_text past the table", [&] { form().set_text(std::size(panel::kControls), "x"); }},
    };
    for (const auto& [name, call] : calls) EXPECT_THROW(call(), std::invalid_argument) << name;
}

TEST_F(FormContract, TicksGoOnWhileAMessageBoxWaits) {
    bool shown_during_box = false;
    rt::set_message_box_handler([&](const std::string& text) {
        driver::show_message_box(form(), text, [&](const std::function<void()>& close) {
            put_ports(16, {{115, 77}});
            shown_during_box = driver::serve_until([&] { return form().text(kShownByte) == "77"; });
            close();
        });
    });
    form().set_text(kByteField, "256");
    EXPECT_TRUE(shown_during_box);
    EXPECT_EQ(form().text(kByteField), "");
    EXPECT_EQ(port(110), 0);
}

TEST_F(FormContract, FocusStartsInTheWordFieldAndTabCyclesTheTwoEntries) {
    ASSERT_TRUE(driver::activate(form()));
    EXPECT_TRUE(driver::has_focus(form(), kWordField));
    for (std::size_t next : {kByteField, kWordField}) {
        driver::press_tab(form());
        EXPECT_TRUE(driver::has_focus(form(), next)) << panel::kControls[next].name;
    }
    driver::click(form(), kShownByte);
    EXPECT_TRUE(driver::has_focus(form(), kWordField));
}

}  // namespace

int main(int argc, char** argv) {
    return driver::run(argc, argv, [&] {
        rt::ui::set_application(panel::kApplication);  // as the start routine does
        ::testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    });
}
