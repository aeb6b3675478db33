#include "app/ControlSets.h"
#include "AppFixture.h"
#include "ui/Forms.h"
#include "ui/TForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include <functional>

using namespace kadenzo;
using namespace kadenzo::test;

namespace {

// One switchable thing and how to read and set it.
struct Control {
    const char* name;
    std::function<bool(Context&)> get;
    std::function<void(Context&, bool)> set;
};

template <class F> Control widget(const char* name, F member) {
    return {name, [member](Context& c) { return member(c)->isEnabled(); },
            [member](Context& c, bool on) { member(c)->setEnabled(on); }};
}
template <class F> Control menu(const char* name, F member) {
    return {name, [member](Context& c) { return member(c)->menuAction()->isEnabled(); },
            [member](Context& c, bool on) { member(c)->menuAction()->setEnabled(on); }};
}
template <class F> Control timer(const char* name, F member) {
    return {name, [member](Context& c) { return member(c)->enabled(); },
            [member](Context& c, bool on) { member(c)->setEnabled(on); }};
}

// Expected effect: '+' on, '-' off, '.' unchanged, 'a' on in Auto and unchanged in Manual.
struct Expect {
    Control control;
    const char* effects; // automatic start, manual start, stop, auto completion, manual completion,
                         // time-out
};

std::vector<Expect> expectations() {
    return {
        {widget("Start", [](Context& c) { return c.Form1->Button8; }), "..++++"},
        {widget("Stop", [](Context& c) { return c.Form1->Button5; }), "++----"},
        {widget("+", [](Context& c) { return c.Form1->Button3; }), ".+----"},
        {widget("-", [](Context& c) { return c.Form1->Button4; }), "..----"},
        {widget("Button6", [](Context& c) { return c.Form1->Button6; }), "--++++"},
        {widget("Button7", [](Context& c) { return c.Form1->Button7; }), "--++++"},
        {widget("ON/OFF", [](Context& c) { return c.Form1->Button2; }), "++...."},
        {widget("V Set", [](Context& c) { return c.Form1->Button1; }), "......"},
        {widget("I Set", [](Context& c) { return c.Form1->Button9; }), "......"},
        {widget("UpDown1", [](Context& c) { return c.Form1->UpDown1; }), ".+---."},
        {widget("UpDown2", [](Context& c) { return c.Form1->UpDown2; }), ".+---."},
        {widget("CheckBox3", [](Context& c) { return c.Form1->CheckBox3; }), "--++++"},
        {widget("CheckBox4", [](Context& c) { return c.Form1->CheckBox4; }), "--++++"},
        {widget("CheckBox5", [](Context& c) { return c.Form1->CheckBox5; }), "--++++"},
        {widget("RadioButton1", [](Context& c) { return c.Form1->RadioButton1; }), "--++++"},
        {widget("RadioButton2", [](Context& c) { return c.Form1->RadioButton2; }), "--++++"},
        {widget("Edit8", [](Context& c) { return c.Form1->Edit8; }), "--++++"},
        {widget("UpDown4", [](Context& c) { return c.Form1->UpDown4; }), ".....+"},
        {widget("Edit7", [](Context& c) { return c.Form1->Edit7; }), "--a+aa"},
        {widget("UpDown3", [](Context& c) { return c.Form1->UpDown3; }), ".....a"},
        {menu("File", [](Context& c) { return c.Form1->File1; }), "--++++"},
        {menu("Instrument", [](Context& c) { return c.Form1->instrument1; }), "--++++"},
        {menu("Comms", [](Context& c) { return c.Form1->Comms1; }), "--++++"},
        {menu("Sequence", [](Context& c) { return c.Form1->Sequence1; }), "......"},
        {menu("About", [](Context& c) { return c.Form1->About1; }), "......"},
        {widget("grid", [](Context& c) { return c.Form2->StringGrid1; }), "--++++"},
        {widget("Add", [](Context& c) { return c.Form2->Button1; }), "--++++"},
        {widget("Delete", [](Context& c) { return c.Form2->Button2; }), "--++++"},
        {widget("Insert", [](Context& c) { return c.Form2->Button3; }), "--++++"},
        {widget("Copy", [](Context& c) { return c.Form2->Button4; }), "--++++"},
        {widget("Close", [](Context& c) { return c.Form2->Button6; }), "......"},
        {menu("editor File", [](Context& c) { return c.Form2->File1; }), "--++++"},
        {menu("editor Instrument", [](Context& c) { return c.Form2->I1; }), "--++++"},
        {widget("TForm3", [](Context& c) { return c.Form3; }), ".-++++"},
        {widget("Send volts", [](Context& c) { return c.Form6->Button1; }), "-.++.-"},
        {widget("Send amps", [](Context& c) { return c.Form7->Button1; }), "-.++.-"},
        {timer("Timer1", [](Context& c) { return c.Form1->Timer1; }), "..----"},
        {timer("Timer2", [](Context& c) { return c.Form1->Timer2; }), "..--.-"},
        {timer("Timer3", [](Context& c) { return c.Form1->Timer3; }), "--++++"},
    };
}

class ControlSets : public AppFixture {
protected:
    void SetUp() override {
        writeConfig("1,0,1");
        start();
    }
};

TEST_F(ControlSets, EachSetSwitchesExactlyItsControls) {
    const ControlSet sets[] = {
        ControlSet::AutomaticStart,      ControlSet::ManualStart,      ControlSet::Stop,
        ControlSet::AutomaticCompletion, ControlSet::ManualCompletion, ControlSet::LinkTimeout};
    const auto table = expectations();
    for (bool autoMode : {false, true}) {
        for (size_t s = 0; s < 6; ++s) {
            for (bool before : {false, true}) {
                SCOPED_TRACE(testing::Message() << "set " << s << (autoMode ? " Auto" : " Manual")
                                                << " from " << (before ? "on" : "off"));
                (autoMode ? ctx().Form1->RadioButton2 : ctx().Form1->RadioButton1)
                    ->setChecked(true);
                for (const Expect& e : table)
                    e.control.set(ctx(), before);
                applyControlSet(ctx(), sets[s]);
                for (const Expect& e : table) {
                    char effect = e.effects[s];
                    bool expected = effect == '+'   ? true
                                    : effect == '-' ? false
                                    : effect == 'a' ? (autoMode ? true : before)
                                                    : before;
                    EXPECT_EQ(e.control.get(ctx()), expected) << e.control.name;
                }
            }
        }
    }
}

} // namespace
