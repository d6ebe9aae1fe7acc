// A command page whose options are kept in a settings file: it holds the
// options, and their field list reads and writes the page's file and names
// the flag that its Cumulative Output box shows. UI thread only.
#pragma once

#include "core/settings_fields.h"
#include "pages/command_page.h"
#include "res/resource.h"
#include "settings/page_settings.h"

namespace tracewick {

// A flag of the options shown by a pair of radio buttons, `on` checked for
// true and `off` for false. Kept out of the data exchange: once the page has
// its window, the buttons hold it.
template <class Options>
struct RadioFlag {
    bool Options::*flag = nullptr;
    int on = 0;
    int off = 0;
};

template <class Options>
class OptionsPage : public AsyncCommandPage, public PageSettings {
public:
    OptionsPage(const CommandPageTraits& traits, HostList* hosts, SettingsLayout<Options> layout,
                RadioFlag<Options> radio = {})
        : AsyncCommandPage(traits, hosts), layout_(layout), radio_(radio) {}

    void ReadSettings(SettingsReader& reader) override { layout_.Read(reader, options_); }
    void WriteSettings(SettingsWriter& writer) const override {
        Options saved = options_;
        if (radio_.flag) saved.*radio_.flag = IsChecked(radio_.on, options_.*radio_.flag);
        layout_.Write(saved, writer);
    }

protected:
    // Defaults put back every option but Cumulative Output. A click on a check box takes the boxes into
    // the options at once: Run, a page that reads another's options and Exit read the options.
    bool OnMessage(UINT message, WPARAM wparam, LPARAM lparam, INT_PTR& result) override {
        const bool clicked = message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED;
        if (clicked && LOWORD(wparam) == IDC_DEFAULTS) {
            const bool cumulative = Cumulative();
            options_ = Options{};
            Cumulative() = cumulative;
            ShowSettings();
            UpdateData(false);
            result = 0;
            return true;
        }
        if (clicked && (GetWindowLongPtrW(reinterpret_cast<HWND>(lparam), GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX)
            UpdateData(true);
        return AsyncCommandPage::OnMessage(message, wparam, lparam, result);
    }
    bool& Cumulative() override { return options_.*layout_.Cumulative(); }
    void ShowSettings() override {
        if (!radio_.flag) return;
        const bool on = options_.*radio_.flag;
        ChooseRadio(on ? radio_.on : radio_.off, on ? radio_.off : radio_.on);
    }

    const SettingsLayout<Options> layout_;
    Options options_;

private:
    RadioFlag<Options> radio_;
};

}  // namespace tracewick
