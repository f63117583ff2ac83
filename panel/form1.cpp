#include "panel/form1.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

#include <algorithm>
#include <exception>
#include <limits>

#include "panel/layout.h"
#include "panel/picture_box.h"
#include "runtime/errors.h"
#include "runtime/message_box.h"
#include "runtime/number.h"

// The images are compiled into the panel's library; make sure they are linked in.
static void load_images() { Q_INIT_RESOURCE(resources); }

namespace panel {
namespace {

// A pasted page would make a message box larger than the screen.
constexpr int kMessageTextLimit = 1000;
// Narrowest letter width a substitute face may be set to so that a caption fits its box.
constexpr int kNarrowestStretch = 80;

constexpr Qt::WindowFlags kWindowFlags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowCloseButtonHint;

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

QRect pixels(int left, int top, int width, int height) {
    return {twips_to_pixels(left), twips_to_pixels(top), twips_to_pixels(width), twips_to_pixels(height)};
}

// "&&" shows as "&"; a single "&" marks a mnemonic and doesn't show.
QString shown_caption(const char* stored) {
    const QString text = QString::fromUtf8(stored);
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    return shown;
}

QColor resolve(const Colour& colour) {
    const QPalette system = QApplication::palette();
    switch (colour.role) {
    case Colour::Role::ButtonFace: return system.color(QPalette::Button);
    case Colour::Role::ButtonText: return system.color(QPalette::ButtonText);
    case Colour::Role::WindowBackground: return system.color(QPalette::Base);
    case Colour::Role::WindowText: return system.color(QPalette::Text);
    case Colour::Role::Rgb: break;
    }
    return QColor(colour.rgb);
}

QFont resolve(const Font& wanted) {
    const Font& font = wanted.face ? wanted : kPanelFont;
    QStringList faces{QString::fromUtf8(font.face)};
    for (const char* substitute : kSubstituteFaces) faces << QString::fromUtf8(substitute);
    QFont result;
    result.setFamilies(faces);
    result.setPointSizeF(font.points);
    result.setBold(font.bold);
    result.setUnderline(font.underline);
    return result;
}

void colour(QWidget* widget, QPalette::ColorRole text, QPalette::ColorRole back, const Control& c) {
    QPalette palette = widget->palette();
    palette.setColor(text, resolve(c.foreground));
    palette.setColor(back, resolve(c.background));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

// A substitute face may be wider than the one the box was made for:
// narrow its letters until the caption fits rather than clip it.
void fit_caption(QLabel* label) {
    const qreal room = label->contentsRect().width();
    QFont font = label->font();
    for (int stretch = 99; stretch >= kNarrowestStretch &&
                           QFontMetricsF(font).horizontalAdvance(label->text()) > room;
         --stretch)
        font.setStretch(stretch);
    label->setFont(font);
}

QWidget* make_label(const Control& c, QWidget* parent) {
    auto* label = new QLabel(shown_caption(c.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment((c.align == Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setIndent(0);
    if (c.border) {
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
    }
    label->setFont(resolve(c.font));
    label->setGeometry(pixels(c.left, c.top, c.width, c.height));
    colour(label, QPalette::WindowText, QPalette::Window, c);
    fit_caption(label);
    return label;
}

QWidget* make_text_box(const Control& c, QWidget* parent) {
    auto* field = new QLineEdit(QString::fromUtf8(c.text), parent);
    field->setMaxLength(std::numeric_limits<int>::max());
    field->setFont(resolve(c.font));
    field->setEnabled(c.enabled);
    field->setFocusPolicy(c.enabled ? Qt::StrongFocus : Qt::NoFocus);
    field->setGeometry(pixels(c.left, c.top, c.width, c.height));
    colour(field, QPalette::Text, QPalette::Base, c);
    return field;
}

QWidget* make_picture_box(const Control& c, QWidget* parent) {
    auto* picture = new PictureBox(QString::fromUtf8(c.text), resolve(c.background), parent);
    picture->setGeometry(pixels(c.left, c.top, c.width, c.height));
    return picture;
}

// A one-pixel line between two points on the window's background.
QWidget* make_line(const Control& c, QWidget* parent) {
    auto* line = new QFrame(parent);
    const QPoint from(twips_to_pixels(c.left), twips_to_pixels(c.top));
    const QPoint to(twips_to_pixels(c.width), twips_to_pixels(c.height));
    line->setGeometry(QRect(from, to));
    colour(line, QPalette::WindowText, QPalette::Window, c);
    return line;
}

QWidget* make_control(const Control& c, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (c.kind) {
    case Kind::Label: widget = make_label(c, parent); break;
    case Kind::TextBox: widget = make_text_box(c, parent); break;
    case Kind::PictureBox: widget = make_picture_box(c, parent); break;
    case Kind::Line: widget = make_line(c, parent); break;
    }
    widget->setObjectName(QString::fromUtf8(c.name));
    return widget;
}

QString rejection_message(const std::string& description, const QString& text) {
    QString shown = text;
    if (shown.size() > kMessageTextLimit) {
        qsizetype cut = kMessageTextLimit;
        if (shown[cut - 1].isHighSurrogate()) --cut;
        shown = shown.left(cut) + QChar(0x2026);
    }
    return QString::fromStdString(description) + QStringLiteral(": ") + shown;
}

// No exception may cross Qt's event loop: whatever leaves a handler is
// reported here, and the program goes on.
template <class Handler>
auto guarded(Form1* form, Handler handler) {
    return [form, handler] {
        try {
            (form->*handler)();
        } catch (const std::exception& error) {
            rt::message_box(error.what());
        } catch (...) {
            rt::message_box("Unexpected error");
        }
    };
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent, kWindowFlags) {
    load_images();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QString::fromUtf8(kForm1.caption));
    setWindowIcon(QIcon(QString::fromUtf8(kForm1.icon)));
    setFont(resolve(kPanelFont));
    const QRect client = pixels(kForm1.left, kForm1.top, kForm1.width, kForm1.height);
    setGeometry(client);
    setFixedSize(client.size());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, resolve(kForm1.background));
    setPalette(palette);
    setAutoFillBackground(true);

    createControls();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1IntervalMs);
    orderTabStops();
    nameFieldsAfterTheirLabels();
    connectHandlers();
    Timer1->start();
    txtOUT_W112->setFocus();
}

template <class T>
T* Form1::control(const char* name) const {
    return findChild<T*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

void Form1::createControls() {
    for (const Control& c : kControls) make_control(c, this);
    // Fields stay in front of the pictures they lie on.
    for (QLineEdit* field : findChildren<QLineEdit*>()) field->raise();
    Label1 = control<QLabel>("Label1");
    Label2 = control<QLabel>("Label2");
    Label3 = control<QLabel>("Label3");
    Label4 = control<QLabel>("Label4");
    Label5 = control<QLabel>("Label5");
    Label6 = control<QLabel>("Label6");
    Label7 = control<QLabel>("Label7");
    Label8 = control<QLabel>("Label8");
    txtOUT_B110 = control<QLineEdit>("txtOUT_B110");
    txtOUT_W112 = control<QLineEdit>("txtOUT_W112");
    txtIN_B115 = control<QLineEdit>("txtIN_B115");
    txtIN_W117 = control<QLineEdit>("txtIN_W117");
    Picture1 = control<PictureBox>("Picture1");
    Picture2 = control<PictureBox>("Picture2");
    Line1 = control<QFrame>("Line1");
}

// Tab visits the controls that can take focus in rising tab position.
void Form1::orderTabStops() {
    std::vector<const Control*> order;
    for (const Control& c : kControls)
        if (c.tab != kNoTab) order.push_back(&c);
    std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->tab < b->tab; });
    QWidget* previous = nullptr;
    for (const Control* c : order) {
        QWidget* widget = control<QWidget>(c->name);
        if (widget->focusPolicy() == Qt::NoFocus || qobject_cast<QLabel*>(widget)) continue;
        if (previous) QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

void Form1::nameFieldsAfterTheirLabels() {
    for (const Row& row : kRows)
        control<QWidget>(row.field)->setAccessibleName(control<QLabel>(row.label)->text().trimmed());
}

void Form1::connectHandlers() {
    connect(Timer1, &QTimer::timeout, this, guarded(this, &Form1::Timer1_Timer));
    connect(txtOUT_B110, &QLineEdit::textChanged, this, guarded(this, &Form1::txtOUT_B110_Change));
    connect(txtOUT_W112, &QLineEdit::textChanged, this, guarded(this, &Form1::txtOUT_W112_Change));
}

void Form1::Timer1_Timer() {
    for (const InputPort& input : kInputPorts)
        (this->*input.field)->setText(QString::fromStdString(rt::to_decimal(input.read(input.port))));
}

void Form1::txtOUT_B110_Change() { outputChanged(kOutputPorts[0]); }

void Form1::txtOUT_W112_Change() { outputChanged(kOutputPorts[1]); }

// Writes what the field's text reads as; a number out of range is
// reported, and emptying the field runs this again, writing 0.
void Form1::outputChanged(const OutputPort& output) {
    QLineEdit* field = this->*output.field;
    try {
        output.write(output.port, rt::text_to_number(field->text().toStdString()));
    } catch (const rt::Error& error) {
        rt::message_box(rejection_message(error.description(), field->text()).toStdString());
        field->setText(QString());
    }
}

}  // namespace panel
