#include "ui/Forms.h"

#include "ui/Logo.h"
#include "ui/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>

namespace kadenzo {
namespace {

QFont sansSerif(int points, bool bold) {
    QFont f("MS Sans Serif");
    f.setPointSize(points);
    f.setBold(bold);
    return f;
}

Qt::WindowFlags fixedWindow(bool minimise) {
    Qt::WindowFlags f = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    if (minimise)
        f |= Qt::WindowMinimizeButtonHint;
    return f;
}

} // namespace

void centreOnScreen(QWidget* w) {
    if (QScreen* s = w->screen()) {
        QRect avail = s->availableGeometry();
        w->move(avail.center() - QPoint(w->width() / 2, w->height() / 2));
    }
}

TForm2::TForm2(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Sequence Editor");
    setWindowFlags(fixedWindow(true));
    auto* c = new QWidget(this);
    c->setFixedSize(661, 398);
    c->setFont(sansSerif(8, false));
    setCentralWidget(c);

    StringGrid1 = place(new QTableView(c), 16, 8, 577, 377);
    StringGrid1->setFont(sansSerif(8, true));
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    StringGrid1->setShowGrid(true);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(16);
    StringGrid1->verticalHeader()->setMinimumSectionSize(16);

    Button1 = place(new QPushButton("Add", c), 608, 8, 41, 33);
    Button2 = place(new QPushButton("Delete", c), 608, 56, 41, 33);
    Button2->setEnabled(false);
    Button3 = place(new QPushButton("Insert", c), 608, 104, 41, 33);
    Button4 = place(new QPushButton("Copy", c), 608, 152, 41, 33);
    Button6 = place(new QPushButton("Close", c), 608, 398 - 10 - 33, 41, 33);
    connect(Button6, &QPushButton::clicked, this, &QWidget::close);

    QMenuBar* mb = menuBar();
    File1 = mb->addMenu("File");
    New1 = File1->addAction("New");
    Load1 = File1->addAction("Load");
    Importcsv1 = File1->addAction("Import csv");
    Save1 = File1->addAction("Save");
    I1 = mb->addMenu("Instrument");
    KM417R1 = I1->addAction("KM 417R");
    Vd826R1 = I1->addAction("VD 826R");
    ZN826R1 = I1->addAction("ZN 826R");
    for (QAction* a : {KM417R1, Vd826R1, ZN826R1})
        a->setCheckable(true);
    ZN826R1->setVisible(false);

    setFixedSize(661, 398 + mb->sizeHint().height());
    move(10, 10);
}

void TForm2::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (onShow)
        onShow();
}

void TForm2::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && onDeactivate)
        onDeactivate();
}

TForm3::TForm3(QWidget* parent) : QWidget(parent) {
    setWindowTitle("Communication Configuration");
    setWindowFlags(fixedWindow(true));
    setFixedSize(359, 120);
    setFont(sansSerif(8, false));
    Panel2 = place(new QLabel("Comport", this), 32, 8, 60, 16);
    comport_combo = place(new QComboBox(this), 8, 24, 137, 21);
    comport_combo->setEditable(true);
    comport_combo->setInsertPolicy(QComboBox::NoInsert);
    Panel3 = place(new QLabel("Baud", this), 128, 8, 40, 16);
    baud_combo = place(new QComboBox(this), 160, 24, 89, 21);
    baud_combo->addItem("9600");
    baud_combo->setEnabled(false);
    Button2 = place(new QPushButton("Suspend", this), 272, 16, 57, 33);
    Button1 = place(new QPushButton("Test", this), 32, 56, 73, 25);
    Button1->setFont(sansSerif(8, true));
    Edit1 = place(new QLineEdit(this), 120, 56, 233, 21);
    CheckBox1 = place(new QCheckBox("PSU Firmware : v1.12 or later", this), 32, 88, 300, 17);
    CheckBox1->setFont(sansSerif(8, true));
    centreOnScreen(this);
}

void TForm3::closeEvent(QCloseEvent* e) {
    if (onClose)
        onClose();
    QWidget::closeEvent(e);
}

TForm5::TForm5(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About");
    setFixedSize(375, 158);
    setFont(sansSerif(8, true));
    Image1 = place(new QLabel(this), 16, 16, 105, 33);
    Image1->setPixmap(kadenzoLogo());
    Image1->setScaledContents(true);
    Label1 = place(new QLabel("Brennik  Kadenzo", this), 136, 16, 225, 20);
    Label1->setFont(sansSerif(12, true));
    Label2 = place(new QLabel("Version 2.00", this), 136, 40, 225, 16);
    Label3 =
        place(new QLabel("Copyright (c) Brennik. All rights reserved.", this), 16, 100, 343, 16);
    Label4 =
        place(new QLabel("Provided as is, without warranty of any kind.", this), 16, 118, 343, 16);
    Button1 = place(new QPushButton("OK", this), 150, 64, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    centreOnScreen(this);
}

PresetForm::PresetForm(const QString& caption, QWidget* parent) : QWidget(parent) {
    setWindowTitle(caption);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(174, 44);
    setFont(sansSerif(8, true));
    Edit1 = place(new QLineEdit(this), 24, 8, 65, 21);
    Button1 = place(new QPushButton("Send", this), 104, 8, 49, 25);
    centreOnScreen(this);
}

} // namespace kadenzo
