// The window built in-process on Qt's offscreen platform, each test with a
// fresh TMPDIR of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "panel/application.h"
#include "panel/form1.h"
#include "panel_fixture.h"
#include "runtime/message_box.h"
#include "runtime/ui/qt/qt.h"
#include "runtime/ui/shared.h"

namespace {

using testsupport::Bytes;

class Panel : public testsupport::PanelTest {
protected:
    void opened() override {
        form = rt::qt::widget(program->form());
        ui = {find<QLineEdit>("txtOUT_B110"), find<QLineEdit>("txtOUT_W112"), find<QLineEdit>("txtIN_B115"),
              find<QLineEdit>("txtIN_W117"),  find<PictureBox>("Picture1"),   find<PictureBox>("Picture2"),
              find<QFrame>("Line1"),          find<QTimer>("Timer1")};
    }

    template <class T = QWidget>
    T* find(const char* name) const {
        return form->findChild<T*>(QString::fromUtf8(name));
    }

    using Writes = std::vector<std::vector<int>>;

    // The values of the given ports after each change of the field's text,
    // taken once the field's own handler has run.
    class WriteRecorder {
    public:
        WriteRecorder(Panel* test, QLineEdit* field, std::vector<int> ports) {
            connection_ = QObject::connect(field, &QLineEdit::textChanged, [this, test, ports] {
                std::vector<int> values;
                for (int p : ports) values.push_back(test->port(p));
                writes.push_back(values);
            });
        }
        ~WriteRecorder() { QObject::disconnect(connection_); }
        Writes writes;

    private:
        QMetaObject::Connection connection_;
    };

    using PictureBox = rt::qt::PictureBox;
    QWidget* form = nullptr;
    // The controls as the window system shows them.
    struct {
        QLineEdit *txtOUT_B110, *txtOUT_W112, *txtIN_B115, *txtIN_W117;
        PictureBox *Picture1, *Picture2;
        QFrame* Line1;
        QTimer* Timer1;
    } ui{};
};

// --- Layout --------------------------------------------------------------

struct Place {
    const char* name;
    QRect pixels;
};

// The stored twips divided by 15.
const Place kPlaces[] = {
    {"Label6", {48, 32, 193, 25}},   {"Picture1", {264, 8, 121, 49}},
    {"Label3", {15, 70, 259, 13}},   {"txtOUT_B110", {297, 65, 71, 22}},
    {"Label2", {15, 103, 247, 13}},  {"txtOUT_W112", {297, 97, 71, 22}},
    {"Label7", {200, 128, 184, 15}}, {"Line1", {0, 152, 393, 1}},
    {"Label8", {40, 160, 209, 25}},  {"Picture2", {264, 176, 121, 105}},
    {"Label1", {15, 199, 242, 13}},  {"txtIN_B115", {280, 193, 88, 22}},
    {"Label4", {15, 227, 231, 13}},  {"txtIN_W117", {280, 221, 88, 22}},
    {"Label5", {24, 266, 160, 15}},
};

TEST_F(Panel, WindowHasItsFixedPlaceCaptionAndFrame) {
    EXPECT_EQ(form->objectName(), "Form1");
    EXPECT_EQ(form->geometry(), QRect(103, 36, 393, 290));
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("  TORVA_InOut - TORVA_קלט_פלט"));
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form->palette().color(QPalette::Window), QColor(255, 255, 192));
    ASSERT_FALSE(form->windowIcon().isNull());
    EXPECT_EQ(form->windowIcon().availableSizes().value(0), QSize(32, 32));
}

TEST_F(Panel, ControlsHaveTheirPlaces) {
    for (const auto& [name, pixels] : kPlaces) {
        QWidget* widget = find(name);
        ASSERT_NE(widget, nullptr) << name;
        EXPECT_EQ(widget->geometry(), pixels) << name;
    }
    EXPECT_EQ(ui.Timer1->objectName(), "Timer1");
    EXPECT_EQ(ui.Timer1->interval(), 100);
    EXPECT_TRUE(ui.Timer1->isActive());
}

struct Caption {
    const char* label;
    const char* shown;
    double points;
    bool bold;
    bool underline;
    QColor colour;
    Qt::Alignment align;
};

TEST_F(Panel, LabelsShowTheirCaptionsInTheirFontsAndColours) {
    const QColor face = QApplication::palette().color(QPalette::Button);
    const Caption captions[] = {
        {"Label6", "Input Port - שער קלט", 13.5, true, true, QColor(0, 64, 0), Qt::AlignHCenter},
        {"Label8", "Output Port - שער פלט", 13.5, true, true, QColor(128, 0, 0), Qt::AlignHCenter},
        {"Label3", "Read UNSIGNED BYTE from port 110 (6EH): ", 8.25, true, false, QColor(0, 128, 0),
         Qt::AlignLeft},
        {"Label2", "Read SIGNED WORD from port 112 (70H): ", 8.25, true, false, QColor(0, 128, 0),
         Qt::AlignLeft},
        {"Label1", "Write UNSIGNED BYTE to Port 115 (73H):", 8.25, true, false, QColor(128, 0, 0),
         Qt::AlignLeft},
        {"Label4", "Write SIGNED WORD to Port 117 (75H):", 8.25, true, false, QColor(128, 0, 0),
         Qt::AlignLeft},
        {"Label7", "To enter HEX digits, use  [ &H ] prefix.", 8.25, false, false,
         QApplication::palette().color(QPalette::ButtonText), Qt::AlignLeft},
        {"Label5", " Updating every 100 milliseconds ", 8.25, false, false,
         QApplication::palette().color(QPalette::Text), Qt::AlignLeft},
    };
    for (const Caption& c : captions) {
        auto* label = find<QLabel>(c.label);
        ASSERT_NE(label, nullptr) << c.label;
        EXPECT_EQ(label->text(), QString::fromUtf8(c.shown)) << c.label;
        EXPECT_DOUBLE_EQ(label->font().pointSizeF(), c.points) << c.label;
        EXPECT_EQ(label->font().bold(), c.bold) << c.label;
        EXPECT_EQ(label->font().underline(), c.underline) << c.label;
        EXPECT_TRUE(QStringList({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"})
                        .contains(QFontInfo(label->font()).family()))
            << c.label << ": " << QFontInfo(label->font()).family().toStdString();
        EXPECT_EQ(label->palette().color(QPalette::WindowText), c.colour) << c.label;
        EXPECT_TRUE(label->alignment() & c.align) << c.label;
    }
    for (const char* row : {"Label1", "Label2", "Label3", "Label4"})
        EXPECT_EQ(find<QLabel>(row)->palette().color(QPalette::Window), face) << row;
    for (const char* yellow : {"Label6", "Label7", "Label8"})
        EXPECT_EQ(find<QLabel>(yellow)->palette().color(QPalette::Window), QColor(255, 255, 192));
    EXPECT_EQ(find<QLabel>("Label5")->frameShape(), QFrame::Box);
    EXPECT_EQ(find<QLabel>("Label5")->lineWidth(), 1);
}

TEST_F(Panel, EveryCaptionFitsItsBox) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const QFontMetricsF metrics(label->font());
        const QRect room = label->contentsRect();
        EXPECT_LE(metrics.horizontalAdvance(label->text()), room.width())
            << label->objectName().toStdString();
        EXPECT_LE(metrics.height(), room.height()) << label->objectName().toStdString();
    }
}

TEST_F(Panel, FieldsStartEmptyWithTheirFontsAndStates) {
    struct Field {
        const char* name;
        bool bold;
        bool enabled;
    };
    for (const auto& [name, bold, enabled] :
         {Field{"txtOUT_B110", false, true}, Field{"txtOUT_W112", false, true},
          Field{"txtIN_B115", true, false}, Field{"txtIN_W117", true, false}}) {
        auto* field = find<QLineEdit>(name);
        ASSERT_NE(field, nullptr) << name;
        EXPECT_EQ(field->text(), "") << name;
        EXPECT_EQ(field->placeholderText(), "") << name;
        EXPECT_EQ(field->isReadOnly(), !enabled) << name;
        EXPECT_EQ(field->font().bold(), bold) << name;
        EXPECT_DOUBLE_EQ(field->font().pointSizeF(), 9) << name;
        EXPECT_TRUE(QStringList({"Arial", "Liberation Sans", "DejaVu Sans"})
                        .contains(QFontInfo(field->font()).family()));
        EXPECT_GT(field->maxLength(), 1'000'000) << name;
    }
    EXPECT_EQ(ui.txtIN_B115->palette().color(QPalette::Text), QColor(64, 0, 0));
    EXPECT_EQ(ui.txtIN_W117->focusPolicy(), Qt::NoFocus);
}

TEST_F(Panel, PicturesHoldTheirImagesBehindTheFields) {
    EXPECT_TRUE(ui.Picture1->hasPicture());
    EXPECT_TRUE(ui.Picture2->hasPicture());
    const QObjectList& stack = form->children();
    for (QWidget* field : {ui.txtIN_B115, ui.txtIN_W117}) {
        EXPECT_TRUE(ui.Picture2->geometry().contains(field->geometry()));
        EXPECT_GT(stack.indexOf(field), stack.indexOf(ui.Picture2));
    }
    EXPECT_EQ(ui.Line1->palette().color(QPalette::Window), QColor(0, 0, 255));
}

TEST_F(Panel, ScreenReadersFindTheWindowAndFieldsNamedAndTheOutputsReadOnly) {
    const QString hint = "To enter HEX digits, use  [ &H ] prefix.";
    struct Field {
        QLineEdit* field;
        const char* name;
        QString description;
        bool read_only;
    };
    for (const Field& f : {Field{ui.txtOUT_B110, "Read UNSIGNED BYTE from port 110 (6EH):", hint, false},
                           Field{ui.txtOUT_W112, "Read SIGNED WORD from port 112 (70H):", hint, false},
                           Field{ui.txtIN_B115, "Write UNSIGNED BYTE to Port 115 (73H):", "", true},
                           Field{ui.txtIN_W117, "Write SIGNED WORD to Port 117 (75H):", "", true}}) {
        EXPECT_EQ(f.field->accessibleName(), f.name);
        EXPECT_EQ(f.field->accessibleDescription(), f.description) << f.name;
        EXPECT_EQ(f.field->isReadOnly(), f.read_only) << f.name;
        EXPECT_TRUE(f.field->isEnabled()) << f.name;
    }
    EXPECT_EQ(form->accessibleName(), "TORVA_InOut - TORVA_קלט_פלט");
}

// A desktop whose palette is dark (qt6ct's "darker"): the window's named
// colours come from the light set, so every text reads on what is behind it.
class DarkDesktop : public Panel {
protected:
    void SetUp() override {
        saved_ = QApplication::palette();
        QPalette dark = saved_;
        const std::pair<QPalette::ColorRole, QRgb> darker[] = {
            {QPalette::Button, 0x424245}, {QPalette::ButtonText, 0xFFFFFF}, {QPalette::Base, 0x3D3D3D},
            {QPalette::Text, 0xFFFFFF},   {QPalette::Window, 0x222020},     {QPalette::WindowText, 0xFFFFFF},
        };
        for (const auto& [role, rgb] : darker) dark.setColor(role, QColor(QRgb(rgb)));
        QApplication::setPalette(dark);
        Panel::SetUp();
    }
    void TearDown() override {
        Panel::TearDown();
        QApplication::setPalette(saved_);
    }

private:
    QPalette saved_;
};

TEST_F(DarkDesktop, EveryTextReadsOnWhatIsBehindIt) {
    const auto legible = [](QWidget* widget, QPalette::ColorRole text, QPalette::ColorRole back) {
        const double least = widget->font().pointSizeF() >= 13.5 ? 3.0 : 4.5;
        const QPalette p = widget->palette();
        EXPECT_GE(rt::ui::contrast(p.color(text).rgba(), p.color(back).rgba()), least)
            << widget->objectName().toStdString();
    };
    for (QLabel* label : form->findChildren<QLabel*>())
        legible(label, QPalette::WindowText, QPalette::Window);
    for (QLineEdit* field : form->findChildren<QLineEdit*>()) legible(field, QPalette::Text, QPalette::Base);
}

// --- Polling -------------------------------------------------------------

TEST_F(Panel, TicksShowTheEmulatedProgramsOutputPorts) {
    struct Shown {
        int b115, w117_low, w117_high;
        const char *byte, *word;
    };
    for (const auto& s : {Shown{255, 255, 255, "255", "-1"}, Shown{0, 0, 128, "0", "-32768"},
                          Shown{7, 255, 127, "7", "32767"}, Shown{1, 0, 1, "1", "256"}}) {
        put_ports(19, {{115, s.b115}, {117, s.w117_low}, {118, s.w117_high}});
        EXPECT_TRUE(QTest::qWaitFor([&] { return ui.txtIN_W117->text() == s.word; }, 5000)) << s.word;
        EXPECT_EQ(ui.txtIN_B115->text(), s.byte);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(Panel, AnUnreadablePortFileShowsZeroWithoutAMessage) {
    put_ports(19, {{115, 9}, {117, 9}});
    program->Timer1_Timer();
    EXPECT_EQ(ui.txtIN_B115->text(), "9");
    std::filesystem::remove(port_file());
    std::filesystem::create_directory(port_file());
    ui.txtIN_W117->setText("stale");
    EXPECT_TRUE(QTest::qWaitFor([&] { return ui.txtIN_W117->text() == "0"; }, 5000));
    EXPECT_EQ(ui.txtIN_B115->text(), "0");
    EXPECT_TRUE(messages.empty());
}

TEST_F(Panel, NothingIsWrittenBeforeTheFirstEditNorAtClose) {
    QTest::qWait(250);  // a few ticks: reading creates the file empty
    form->close();
    EXPECT_TRUE(std::filesystem::exists(port_file()));
    EXPECT_EQ(std::filesystem::file_size(port_file()), 0u);
}

// --- Entry ---------------------------------------------------------------

TEST_F(Panel, TypingWritesEachIntermediateValue) {
    const std::pair<const char*, Writes> cases[] = {
        {"123", {{1}, {12}, {123}}},
        {"&HFF", {{0}, {0}, {15}, {255}}},
        {"12abc", {{1}, {12}, {12}, {12}, {12}}},
        {"2.5", {{2}, {2}, {2}}},
        {"2.6", {{2}, {2}, {3}}},
        {"255.4", {{2}, {25}, {255}, {255}, {255}}},
        {"-0.4", {{0}, {0}, {0}, {0}}},
    };
    for (const auto& [text, expected] : cases) {
        ui.txtOUT_B110->clear();
        WriteRecorder recorder(this, ui.txtOUT_B110, {110});
        QTest::keyClicks(ui.txtOUT_B110, QString::fromUtf8(text));
        EXPECT_EQ(recorder.writes, expected) << text;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(Panel, DeletingTheTextWritesZero) {
    QTest::keyClicks(ui.txtOUT_B110, "77");
    EXPECT_EQ(port(110), 77);
    QTest::keyClick(ui.txtOUT_B110, Qt::Key_Backspace);
    EXPECT_EQ(port(110), 7);
    QTest::keyClick(ui.txtOUT_B110, Qt::Key_Backspace);
    EXPECT_EQ(port(110), 0);
    EXPECT_EQ(bytes().size(), 11u);
}

TEST_F(Panel, TypingMinusFiveInTheWordField) {
    WriteRecorder recorder(this, ui.txtOUT_W112, {112, 113});
    QTest::keyClicks(ui.txtOUT_W112, "-5");
    EXPECT_EQ(recorder.writes, (Writes{{0, 0}, {251, 255}}));
}

struct Rejection {
    const char* field;
    const char* text;
    std::vector<int> ports;
};

void PrintTo(const Rejection& r, std::ostream* os) { *os << r.field << " \"" << r.text << '"'; }

class PanelRejects : public Panel, public ::testing::WithParamInterface<Rejection> {};

TEST_P(PanelRejects, OneMessageAnEmptyFieldAndZeroInThePorts) {
    const Rejection& r = GetParam();
    auto* field = find<QLineEdit>(r.field);
    field->setText("12");  // a non-zero value first, so the nested write of 0 shows
    ASSERT_TRUE(messages.empty());
    field->setText(QString::fromUtf8(r.text));
    EXPECT_EQ(messages, std::vector<std::string>{std::string("Overflow: ") + r.text});
    EXPECT_EQ(field->text(), "");
    for (int p : r.ports) EXPECT_EQ(port(p), 0) << p;
}

INSTANTIATE_TEST_SUITE_P(
    OutOfRange, PanelRejects,
    ::testing::Values(Rejection{"txtOUT_B110", "256", {110}}, Rejection{"txtOUT_B110", "-1", {110}},
                      Rejection{"txtOUT_B110", "255.6", {110}}, Rejection{"txtOUT_B110", "255.5", {110}},
                      Rejection{"txtOUT_B110", "-0.6", {110}}, Rejection{"txtOUT_B110", "&H100", {110}},
                      Rejection{"txtOUT_B110", "1E400", {110}}, Rejection{"txtOUT_W112", "32768", {112, 113}},
                      Rejection{"txtOUT_W112", "-32769", {112, 113}},
                      Rejection{"txtOUT_W112", "&H10000", {112, 113}}));

TEST_F(Panel, APastedPageIsShownCutToAThousandCharacters) {
    const QString page(5000, u'9');
    ui.txtOUT_B110->setText(page);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(QString::fromStdString(messages[0]), "Overflow: " + page.left(1000) + QChar(0x2026));
    EXPECT_EQ(ui.txtOUT_B110->text(), "");
    EXPECT_EQ(port(110), 0);
}

TEST_F(Panel, TheCursorStaysSteadyOverALongTextSoTheIdleWindowRests) {
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    const int blinking = QGuiApplication::styleHints()->cursorFlashTime();
    ASSERT_GT(blinking, 0);
    ui.txtOUT_W112->setText(QString(1'000'000, u'a'));
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), 0);
    ui.txtOUT_B110->setFocus();
    EXPECT_EQ(QGuiApplication::styleHints()->cursorFlashTime(), blinking);
}

TEST_F(Panel, AFailedWriteKeepsTheTextWithoutAMessage) {
    std::filesystem::create_directory(port_file());
    ui.txtOUT_B110->setText("42");
    EXPECT_EQ(ui.txtOUT_B110->text(), "42");
    EXPECT_TRUE(messages.empty());
    std::filesystem::remove(port_file());
    ui.txtOUT_B110->setText("43");
    EXPECT_EQ(port(110), 43);
}

TEST_F(Panel, AnErrorLeavingAHandlerIsReportedAndTheProgramGoesOn) {
    bool first = true;
    rt::set_message_box_handler([&](const std::string& text) {
        messages.push_back(text);
        if (std::exchange(first, false)) throw std::runtime_error("box failed");
    });
    ui.txtOUT_B110->setText("300");  // the error path's message box throws
    EXPECT_EQ(messages, (std::vector<std::string>{"Overflow: 300", "box failed"}));
    ui.txtOUT_B110->setText("5");
    EXPECT_EQ(port(110), 5);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    rt::ui::set_application(panel::kApplication);  // as the start routine does
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
