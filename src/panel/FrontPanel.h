#pragma once
// Working the supply by hand: output on/off, preset voltage and current limit, and
// fine adjustment during a manual run.
#include "app/Context.h"

namespace kadenzo {

class PresetForm;
struct SettingSide;

class FrontPanel {
public:
    explicit FrontPanel(Context& c) : c(c) {}
    // Binds the main window's ON/OFF, V Set, I Set and fine-adjustment controls and the
    // two preset windows (which must exist by then).
    void wire();

    // "ON/OFF".
    void Button2Click();
    // "V Set" and "I Set": show the preset windows.
    void Button1Click();
    void Button9Click();
    // Fine adjustment: the hidden buddies of UpDown1 and UpDown2 changed.
    void Edit1Change();
    void Edit2Change();

    // The preset windows: key filter of the entry and "Send".
    void Form6Edit1KeyPress(char16_t& key);
    void Form6Button1Click();
    void Form7Edit1KeyPress(char16_t& key);
    void Form7Button1Click();

private:
    void showPreset(PresetForm* form);
    void presetKeyPress(const SettingSide& side, char16_t& key);
    void presetSend(const SettingSide& side);
    void fineAdjust(const SettingSide& side);

    Context& c;
};

} // namespace kadenzo
