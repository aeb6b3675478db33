#pragma once
// The main window: layout only. Behaviour is wired to these controls by the application.
#include "app/Prompts.h"
#include "ui/Widgets.h"

#include <QMainWindow>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace kadenzo {

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);

    // Lamps.
    Shape* on_led;
    Shape* lim_led;
    // Captions.
    QLabel* Label1; // "Step"
    QLabel* Label2; // "Auto DC ON"
    QLabel* Label3; // "ms"
    QLabel* Label4; // "Auto DC OFF"
    QLabel* Label5; // "Manual"
    QLabel* Label6; // "Auto"
    QLabel* Label7; // "Loop"
    QLabel* Image1;
    QLabel* Panel4; // "I LIM"
    // Readouts.
    QLabel* Panel1; // volts
    QLabel* Panel2; // amps
    // Fine adjustment.
    QLineEdit* Edit1;
    QLineEdit* Edit2;
    UpDown* UpDown1;
    UpDown* UpDown2;
    // Buttons.
    QPushButton* Button1; // "V Set"
    QPushButton* Button2; // "ON/OFF"
    QPushButton* Button3; // "+"
    QPushButton* Button4; // "-"
    QPushButton* Button5; // "Stop"
    QPushButton* Button6; // "Manual Step" (hidden)
    QPushButton* Button7; // "Auto Step" (hidden)
    QPushButton* Button8; // "Start"
    QPushButton* Button9; // "I Set"
    // Run settings and displays.
    QProgressBar* ProgressBar1;
    QStatusBar* StatusBar1;
    QLineEdit* Edit4; // step number
    QLineEdit* Edit7; // step time, ms
    UpDown* UpDown3;
    QLineEdit* Edit8; // passes
    UpDown* UpDown4;
    QLineEdit* Edit9;           // comment of the running step
    QCheckBox* CheckBox3;       // "Auto DC ON"
    QCheckBox* CheckBox4;       // "Auto DC OFF"
    QCheckBox* CheckBox5;       // "Loop"
    QRadioButton* RadioButton1; // Manual
    QRadioButton* RadioButton2; // Auto
    // Timers.
    WindowTimer* Timer1; // status poll of a manual run, 333 ms
    WindowTimer* Timer2; // automatic step timer
    WindowTimer* Timer3; // idle status poll, 1000 ms
    // Menu.
    QMenu* File1;
    QAction* New1;
    QAction* Load1;
    QAction* Import1;
    QAction* Save1;
    QAction* Quit1;
    QMenu* Sequence1;
    QAction* Editor1;
    QMenu* instrument1;
    QAction* KM417R1;
    QAction* Vd826R1;
    QAction* Zn826R1;
    QMenu* Comms1;
    QAction* Configure1;
    QMenu* About1;
    QAction* About2;
    // File dialogs.
    FileDialogSpec OpenDialog1;
    FileDialogSpec SaveDialog1;
    FileDialogSpec importdialog;

    // Status bar text (one simple panel).
    void setStatus(const QString& text);
    QString status() const;

    // Runs before the window closes by any means; returning false keeps it open.
    std::function<bool()> onCloseQuery;
    // Runs when the window closes.
    std::function<void()> onClose;

    // The face the readouts use, after the font registration at start-up.
    static QString readoutFamily();

protected:
    void closeEvent(QCloseEvent* e) override;
};

// Colour of a lit lamp (red, colour value 255).
inline QColor lampOn() {
    return QColor(255, 0, 0);
}
inline QColor lampOff() {
    return QColor(0, 0, 0);
}

} // namespace kadenzo
