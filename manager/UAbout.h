#pragma once
// The about box: a borderless box whose background is a gradient label,
// with the program's name and version, the maker's home page (a click opens
// it in the browser) and two more lines. A click on the background closes it.

#include <functional>
#include <memory>
#include <vector>

#include "framework/Form.h"
#include "framework/Thread.h"
#include "manager/GradientLabel.h"
#include "skin/windows/qLabelFX.h"

namespace vantrel {

// The maker's home page.
extern String HomePageAddress;
// Opens an address in the user's browser (the shell's default action);
// TOpenHttp calls it from its own thread. Tests put a recorder here.
extern std::function<void(const String& Address)> OpenAddress;

// Opens the home page on a thread of its own, so that a slow browser start
// never holds up the window.
class TOpenHttp : public TThread {
public:
    TOpenHttp() : TThread(false) {}

protected:
    void Execute() override;
};

class TFmAbout : public TForm {
public:
    explicit TFmAbout(TComponent* AOwner);
    ~TFmAbout() override;

    void FormShow(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void GradientLabel1Click(TObject* Sender);
    void qLabelFX2Click(TObject* Sender);

    TGradientLabel* GradientLabel1;
    TqLabelFX* qLabelFX1;
    TqLabelFX* qLabelFX2;
    TqLabelFX* qLabelFX3;
    TqLabelFX* qLabelFX4;

private:
    // Threads opening the home page; finished ones are freed at the next
    // click, the rest when the box is freed.
    std::vector<std::unique_ptr<TThread>> FOpenThreads;
};

extern TFmAbout* FmAbout;

} // namespace vantrel
