#include "ui/TForm1.h"

#include "ui/Logo.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

namespace kadenzo {
namespace {

QFont pixelFont(int px, bool bold) {
    QFont f("MS Sans Serif");
    f.setPixelSize(px);
    f.setBold(bold);
    return f;
}

QLabel* label(QWidget* parent, const char* text, int l, int t, int w, int h, int px = 0) {
    auto* lb = place(new QLabel(text, parent), l, t, w, h);
    if (px)
        lb->setFont(pixelFont(px, true));
    return lb;
}

QPushButton* button(QWidget* parent, const char* text, int l, int t, int w, int h) {
    return place(new QPushButton(text, parent), l, t, w, h);
}

QLabel* readout(QWidget* parent, const char* text, int l, int t) {
    auto* p = place(new QLabel(text, parent), l, t, 153, 65);
    p->setAlignment(Qt::AlignCenter);
    p->setAutoFillBackground(true);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(255, 0, 0));
    p->setPalette(pal);
    return p;
}

} // namespace

QString TForm1::readoutFamily() {
    const QStringList families = QFontDatabase::families();
    for (const char* face : {"Digital Readout Thick Upright", "DSEG7 Classic"}) {
        if (families.contains(face))
            return face;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    // The layout is measured in the classic 8-point sans serif; where it is missing,
    // a face with the same metrics keeps the captions inside their boxes.
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arial", "DejaVu Sans"});
    setWindowTitle("Kadenzo");
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    auto* c = new QWidget(this);
    c->setFixedSize(477, 277);
    c->setFont(pixelFont(11, true));
    setCentralWidget(c);

    on_led = place(new Shape(c), 376, 56, 17, 25);
    on_led->setPenWidth(2);
    lim_led = place(new Shape(c), 376, 32, 17, 17);
    lim_led->setPenWidth(2);
    Label1 = label(c, "Step", 0, 216, 33, 16, 13);
    Label2 = label(c, "Auto DC ON", 400, 90, 70, 13);
    Label3 = label(c, "ms", 216, 120, 21, 24, 13);
    Image1 = place(new QLabel(c), 392, 0, 65, 25);
    Image1->setPixmap(kadenzoLogo());
    Image1->setScaledContents(true);
    Label4 = label(c, "Auto DC OFF", 400, 106, 75, 13);
    Label5 = label(c, "Manual", 120, 98, 42, 13);
    Label6 = label(c, "Auto", 120, 122, 27, 13);
    Label7 = label(c, "Loop", 120, 160, 29, 13);
    Panel1 = readout(c, " . . . ", 24, 16);
    Panel2 = readout(c, ". . .", 200, 16);
    Panel4 = label(c, "I LIM", 400, 28, 41, 25);
    Panel4->setAlignment(Qt::AlignCenter);

    Edit1 = place(new QLineEdit("0", c), 136, 16, 41, 66);
    Edit2 = place(new QLineEdit("0", c), 320, 16, 33, 66);
    for (QLineEdit* e : {Edit1, Edit2}) {
        e->setMaxLength(2);
        e->setFont(pixelFont(48, true));
        e->hide();
    }
    UpDown1 = place(new UpDown(c), 177, 16, 16, 66);
    UpDown2 = place(new UpDown(c), 353, 16, 16, 66);
    UpDown1->setBuddy(Edit1);
    UpDown2->setBuddy(Edit2);
    for (UpDown* u : {UpDown1, UpDown2}) {
        u->setRange(-1, 1);
        u->setPosition(0);
        u->setEnabled(false);
    }

    Button2 = button(c, "ON/OFF", 400, 56, 57, 25);
    ProgressBar1 = place(new QProgressBar(c), 48, 184, 377, 17);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    StatusBar1 = place(new QStatusBar(c), 0, 252, 477, 25);
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->showMessage("Waiting");
    Edit4 = place(new QLineEdit("0", c), 32, 214, 33, 21);
    Edit4->setEnabled(false);
    Edit4->setFont(pixelFont(11, true));
    Button3 = button(c, "+", 424, 184, 25, 17);
    Button4 = button(c, "-", 24, 184, 25, 17);
    for (QPushButton* b : {Button3, Button4}) {
        b->setFont(pixelFont(24, true));
        b->setEnabled(false);
    }
    Button5 = button(c, "Stop", 16, 136, 57, 25);
    Button5->setEnabled(false);
    Button6 = button(c, "Manual Step", 272, 0, 81, 33);
    Button6->hide();
    CheckBox3 = place(new QCheckBox(c), 378, 88, 17, 17);
    Button7 = button(c, "Auto Step", 184, 0, 81, 33);
    Button7->hide();
    Edit7 = place(new QLineEdit("100", c), 152, 120, 49, 21);
    Edit7->setEnabled(false);
    UpDown3 = place(new UpDown(c), 201, 120, 16, 21);
    UpDown3->setBuddy(Edit7);
    UpDown3->setRange(100, 30000);
    UpDown3->setPosition(100);
    UpDown3->setEnabled(false);
    CheckBox4 = place(new QCheckBox(c), 378, 104, 17, 17);
    RadioButton1 = place(new QRadioButton(c), 104, 96, 17, 17);
    RadioButton1->setChecked(true);
    RadioButton2 = place(new QRadioButton(c), 104, 120, 17, 17);
    Button8 = button(c, "Start", 16, 96, 57, 25);
    Edit8 = place(new QLineEdit("1", c), 152, 160, 49, 21);
    UpDown4 = place(new UpDown(c), 201, 160, 16, 21);
    UpDown4->setBuddy(Edit8);
    UpDown4->setRange(1, 32767);
    UpDown4->setPosition(1);
    CheckBox5 = place(new QCheckBox(c), 104, 160, 17, 17);
    Edit9 = place(new QLineEdit(c), 72, 214, 361, 21);
    Edit9->setReadOnly(true);
    Button9 = button(c, "I Set", 328, 152, 49, 25);
    Button1 = button(c, "V Set", 264, 152, 49, 25);

    Timer1 = new WindowTimer(333, this);
    Timer2 = new WindowTimer(20, this, Qt::PreciseTimer);
    Timer3 = new WindowTimer(1000, this);

    QMenuBar* mb = menuBar();
    mb->setFont(pixelFont(11, false));
    File1 = mb->addMenu("File");
    New1 = File1->addAction("New");
    Load1 = File1->addAction("Load");
    Import1 = File1->addAction("Import csv");
    Save1 = File1->addAction("Save");
    Quit1 = File1->addAction("Quit");
    Sequence1 = mb->addMenu("Sequence");
    Editor1 = Sequence1->addAction("Show Editor");
    instrument1 = mb->addMenu("Instrument");
    KM417R1 = instrument1->addAction("KM 417R");
    Vd826R1 = instrument1->addAction("VD 826R");
    Zn826R1 = instrument1->addAction("ZN 826R");
    for (QAction* a : {KM417R1, Vd826R1, Zn826R1})
        a->setCheckable(true);
    KM417R1->setChecked(true);
    Zn826R1->setVisible(false);
    Comms1 = mb->addMenu("Comms");
    Configure1 = Comms1->addAction("Configure");
    About1 = mb->addMenu("About");
    About2 = About1->addAction("About");

    OpenDialog1 = {"Kadenzo Files|*.seq", "*.seq", {}, {}, false};
    SaveDialog1 = {"Kadenzo Files|*.seq", "*.seq", {}, {}, true};
    importdialog = {"Comma Separated Values|*.csv", "*.csv", {}, {}, false};

    setFixedSize(477, 277 + mb->sizeHint().height());
}

void TForm1::setStatus(const QString& text) {
    StatusBar1->showMessage(text);
}

QString TForm1::status() const {
    return StatusBar1->currentMessage();
}

void TForm1::closeEvent(QCloseEvent* e) {
    if (onCloseQuery && !onCloseQuery()) {
        e->ignore();
        return;
    }
    if (onClose)
        onClose();
    e->accept();
}

} // namespace kadenzo
