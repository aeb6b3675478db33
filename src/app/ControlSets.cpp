#include "app/ControlSets.h"

#include "ui/Forms.h"
#include "ui/TForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <array>
#include <functional>
#include <vector>

namespace kadenzo {
namespace {

// What a set does to one control: leave it, enable, disable, or enable only in Auto mode.
enum Act : char { _ = 0, On, Off, OnIfAuto };

struct Row {
    // Order of the columns: automatic start, manual start, stop, automatic completion,
    // manual completion, link time-out.
    std::array<Act, 6> acts;
    std::function<void(Context&, bool)> set;
};

template <class... W> std::function<void(Context&, bool)> widgets(W... members) {
    return [=](Context& c, bool on) { (members(c)->setEnabled(on), ...); };
}

const std::vector<Row>& table() {
    static const std::vector<Row> rows = {
        {{_, _, On, On, On, On}, widgets([](Context& c) { return c.Form1->Button8; })},
        {{On, On, Off, Off, Off, Off}, widgets([](Context& c) { return c.Form1->Button5; })},
        {{_, On, Off, Off, Off, Off}, widgets([](Context& c) { return c.Form1->Button3; })},
        {{_, _, Off, Off, Off, Off}, widgets([](Context& c) { return c.Form1->Button4; })},
        {{Off, Off, On, On, On, On},
         widgets([](Context& c) { return c.Form1->Button6; },
                 [](Context& c) { return c.Form1->Button7; })},
        {{On, On, _, _, _, _}, widgets([](Context& c) { return c.Form1->Button2; })},
        {{_, On, Off, Off, Off, _},
         widgets([](Context& c) { return c.Form1->UpDown1; },
                 [](Context& c) { return c.Form1->UpDown2; })},
        {{Off, Off, On, On, On, On},
         widgets([](Context& c) { return c.Form1->CheckBox3; },
                 [](Context& c) { return c.Form1->CheckBox4; },
                 [](Context& c) { return c.Form1->CheckBox5; })},
        {{Off, Off, On, On, On, On},
         widgets([](Context& c) { return c.Form1->RadioButton1; },
                 [](Context& c) { return c.Form1->RadioButton2; })},
        {{Off, Off, On, On, On, On}, widgets([](Context& c) { return c.Form1->Edit8; })},
        {{_, _, _, _, _, On}, widgets([](Context& c) { return c.Form1->UpDown4; })},
        {{Off, Off, OnIfAuto, On, OnIfAuto, OnIfAuto},
         widgets([](Context& c) { return c.Form1->Edit7; })},
        {{_, _, _, _, _, OnIfAuto}, widgets([](Context& c) { return c.Form1->UpDown3; })},
        {{Off, Off, On, On, On, On},
         [](Context& c, bool on) {
             for (QMenu* m : {c.Form1->File1, c.Form1->instrument1, c.Form1->Comms1})
                 m->menuAction()->setEnabled(on);
         }},
        {{Off, Off, On, On, On, On},
         widgets([](Context& c) { return c.Form2->StringGrid1; },
                 [](Context& c) { return c.Form2->Button1; },
                 [](Context& c) { return c.Form2->Button2; },
                 [](Context& c) { return c.Form2->Button3; },
                 [](Context& c) { return c.Form2->Button4; })},
        // The editor's own File and Instrument menus follow the main window's, so the
        // table cannot change under a running sequence.
        {{Off, Off, On, On, On, On},
         [](Context& c, bool on) {
             for (QMenu* m : {c.Form2->File1, c.Form2->I1})
                 m->menuAction()->setEnabled(on);
         }},
        {{_, Off, On, On, On, On}, widgets([](Context& c) { return c.Form3; })},
        {{Off, _, On, On, _, Off},
         widgets([](Context& c) { return c.Form6->Button1; },
                 [](Context& c) { return c.Form7->Button1; })},
        // Timer1: the manual start arms it itself after the first step.
        {{_, _, Off, Off, Off, Off}, [](Context& c, bool on) { c.Form1->Timer1->setEnabled(on); }},
        // Timer2: the automatic start sets the step time and arms it itself.
        {{_, _, Off, Off, _, Off}, [](Context& c, bool on) { c.Form1->Timer2->setEnabled(on); }},
        {{Off, Off, On, On, On, On}, [](Context& c, bool on) { c.Form1->Timer3->setEnabled(on); }},
    };
    return rows;
}

} // namespace

void applyControlSet(Context& c, ControlSet set) {
    const auto column = static_cast<size_t>(set);
    const bool autoMode = c.Form1->RadioButton2->isChecked();
    for (const Row& row : table()) {
        switch (row.acts[column]) {
        case _:
            break;
        case On:
            row.set(c, true);
            break;
        case Off:
            row.set(c, false);
            break;
        case OnIfAuto:
            if (autoMode)
                row.set(c, true);
            break;
        }
    }
}

} // namespace kadenzo
