#pragma once
// The secondary windows: sequence editor, communication configuration, About and the
// two preset entry windows. Layout only; behaviour is wired to them by the application.
#include <QDialog>
#include <QMainWindow>
#include <QWidget>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;

namespace kadenzo {

// "Sequence Editor".
class TForm2 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);

    QTableView* StringGrid1;
    QPushButton* Button1; // "Add"
    QPushButton* Button2; // "Delete"
    QPushButton* Button3; // "Insert"
    QPushButton* Button4; // "Copy"
    QPushButton* Button6; // "Close"
    QMenu* File1;
    QAction* New1;
    QAction* Load1;
    QAction* Importcsv1;
    QAction* Save1;
    QMenu* I1;
    QAction* KM417R1;
    QAction* Vd826R1;
    QAction* ZN826R1;

    std::function<void()> onShow;       // FormShow
    std::function<void()> onDeactivate; // FormDeactivate

protected:
    void showEvent(QShowEvent* e) override;
    void changeEvent(QEvent* e) override;
};

// "Communication Configuration".
class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);

    QLabel* Panel2; // "Comport"
    QComboBox* comport_combo;
    QLabel* Panel3; // "Baud"
    QComboBox* baud_combo;
    QPushButton* Button2; // "Suspend" / "Resume"
    QPushButton* Button1; // "Test"
    QLineEdit* Edit1;
    QCheckBox* CheckBox1; // "PSU Firmware : v1.12 or later"

    std::function<void()> onClose; // FormClose

protected:
    void closeEvent(QCloseEvent* e) override;
};

// "About".
class TForm5 : public QDialog {
    Q_OBJECT
public:
    explicit TForm5(QWidget* parent = nullptr);
    QLabel* Image1;
    QLabel* Label1; // maker and product
    QLabel* Label2; // version
    QLabel* Label3; // legal lines
    QLabel* Label4;
    QPushButton* Button1; // "OK"
};

// A preset entry window: "Preset Volts Entry" (TForm6) or "Preset Amps Entry" (TForm7).
class PresetForm : public QWidget {
    Q_OBJECT
public:
    PresetForm(const QString& caption, QWidget* parent);
    QLineEdit* Edit1;
    QPushButton* Button1; // "Send"
};

class TForm6 : public PresetForm {
    Q_OBJECT
public:
    explicit TForm6(QWidget* parent = nullptr) : PresetForm("Preset Volts Entry", parent) {}
};

class TForm7 : public PresetForm {
    Q_OBJECT
public:
    explicit TForm7(QWidget* parent = nullptr) : PresetForm("Preset Amps Entry", parent) {}
};

// Places a top-level window in the middle of its screen.
void centreOnScreen(QWidget* w);

} // namespace kadenzo
